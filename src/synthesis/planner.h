#pragma once
// The inner workings of a move, shared by run_move, the tests and the benchmarks:
// the initial speed profile, one rendering pass, the planning loop.

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "chirp.h"
#include "move.h"

namespace kerf {

// A phase whose duration is not greater than this is not rendered (s).
inline constexpr double kPhaseEpsilon = 0.00001;
// Most planning passes; the loop ends once this many have been made.
inline constexpr int kMaxPasses = 21;
// The WAV data size is a 32-bit field: 4 bytes per frame, at most 0x7FFFFFFF - 36 bytes.
inline constexpr std::int64_t kMaxDataBytes = 0x7FFFFFFF - 36;
inline constexpr std::int64_t kMaxSamples = kMaxDataBytes / 4;

// A move that cannot be made; the message is for the operator.
class MoveFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Durations of the three phases, in seconds.
struct Profile {
    double t_acc = 0;
    double t_cruise = 0;
    double t_dec = 0;
};

// The profile before any correction: a short move is two ramps (one, for fewer than
// 1.5 steps), a long one ramps of t_ramp with a cruise between.
Profile initial_profile(double steps_wanted, const MotionSettings& s);

// Samples the profile's durations add up to (an estimate: each phase runs on to a zero
// crossing).
double planned_samples(const Profile& p);

struct PassResult {
    std::int32_t pulses = 0;   // pulses counted
    std::int64_t samples = 0;  // samples emitted
    double f_acc = 0;          // frequency reached at the end of acceleration
    double f_dec = 0;          // frequency at the start of deceleration
    bool cancelled = false;    // before_phase said stop
};

// Renders the present phases in order, acceleration, cruise, deceleration, carrying
// the phase and the pulse counting from one to the next. remnant is carried in and out.
// With a stream the samples are appended to it. before_phase(1, 2 or 3) runs before each
// present phase; when it returns false the pass ends there (cancelled).
PassResult render_pass(const Profile& p, const MotionSettings& s, double& remnant,
                       SampleStream* stream, const std::function<bool(int)>& before_phase);

struct Plan {
    Profile profile;                // timings for the final pass
    double remnant = 0;             // remnant left by the last planning pass
    int passes = 0;                 // planning passes made
    std::int64_t last_samples = 0;  // samples of the last planning pass
    bool cancelled = false;         // stopped between passes or phases
};

// Corrects the profile pass by pass until the counted pulses are within half a step of
// the wanted count, or kMaxPasses passes have been made. Tests stop before every pass
// and every phase. Throws MoveFailure when a value stops being finite. after_pass, when
// given, runs after each pass with the number of passes made.
Plan plan_move(double steps_wanted, const MotionSettings& s, const std::atomic<bool>& stop,
               const std::function<void(int)>& after_pass = {});

// Throws MoveFailure when the profile would need more samples than a WAV file can hold.
void check_move_length(double samples);

// The critical log line for a file whose pulses differ from the wanted count rounded
// to the nearest integer (ties to even) by one or more; nothing when they agree.
std::optional<std::string> step_difference_line(std::int64_t pulses, double steps_wanted);

// A number for a message: plain decimals where that is readable.
std::string format_number(double v);

}  // namespace kerf
