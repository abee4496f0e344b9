#pragma once
// One carriage move: plan the speed profile until the counted pulses match the
// wanted steps, render it, write the WAV file. run_move does it on the calling
// thread; start_move does it on a worker thread of its own.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "move_steps.h"

namespace kerf {

// The five motion settings, as numbers, snapshotted when the move starts.
struct MotionSettings {
    double f_min = 50;       // steps/s, start and end frequency
    double f_max = 10000;    // steps/s, cruise frequency
    double t_ramp = 0.1;     // s, time from f_min to f_max
    double steps_rev = 5000; // driver steps per spindle revolution
    double mm_rev = 5;       // mm per spindle revolution
};

// Names of the settings, as the operator sees them, for error messages.
// Returns a message naming the setting at fault, or nothing when the settings
// can make a profile (finite, f_max > f_min > 0, f_max < 22050, t_ramp > 0.00001,
// steps_rev > 0, mm_rev > 0).
std::optional<std::string> check_motion_settings(const MotionSettings& s);

// Wanted steps for a distance: distance / mm_rev * steps_rev.
double wanted_steps(double distance_mm, const MotionSettings& s);

// A move wants to be made: at least half a step.
bool movement_possible(double distance_mm, const MotionSettings& s);

// The stop flag belongs to one move; quitjob sets it, the worker reads it.
using StopFlag = std::shared_ptr<std::atomic<bool>>;
inline StopFlag make_stop_flag() { return std::make_shared<std::atomic<bool>>(false); }

struct MoveRequest {
    double distance_mm = 0;
    MotionSettings settings;
    std::string file;  // full path of the WAV file to write
    StopFlag stop = make_stop_flag();
};

struct MoveResult {
    enum class End { no_movement, written, cancelled, failed };
    End end = End::failed;
    double steps_wanted = 0;
    std::int32_t pulses = 0;    // pulses written into the file
    std::int64_t frames = 0;    // stereo frames in the file
    int passes = 0;             // planning passes made
    std::string error;          // message of a failed move
};

// Plans, renders and writes one move on the calling thread, reporting through steps.
MoveResult run_move(const MoveRequest& request, MoveSteps& steps);

// Starts one worker thread for the move and returns at once; nothing joins it.
// A new move never renders or writes while an earlier (stopped) one still runs:
// its worker waits until the earlier one has ended.
void start_move(MoveRequest request, std::shared_ptr<MoveSteps> steps);

// Workers that have not yet ended (for a clean shutdown).
int running_moves();

}  // namespace kerf
