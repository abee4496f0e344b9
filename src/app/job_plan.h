#pragma once
// The plan of a joint job: how many fill moves widen one slot, how long each is, which
// values the job refuses, and which move a click performs.
//
// A job with n cuts and w fill moves per cut runs through n·(w+1)+1 stages, one per click:
// stage 1 moves to the start position; then, for every cut, w fill moves followed by a pin
// move to the next cut (none after the last); the last stage ends the job.

#include <cstdint>
#include <optional>
#include <string>

namespace kerf {

// Widths within this much of each other count as equal (mm).
inline constexpr double kJobTolerance = 1e-5;

struct FillPlan {
    std::int32_t w_Counter = 0;  // fill moves per cut
    double fill_cut = 0;         // length of one fill move, mm
};

// The fill moves that widen a saw kerf of saw_width to cut_width: the smallest whole
// number not below (cut - saw) / saw - 0.001, each of an equal share of cut - saw.
// Call only for values that reject_job accepts.
FillPlan plan_fill(double cut_width, double saw_width);

// The message of the rejection dialog for job values that cannot make a joint, or nothing
// when the job may run.
std::optional<std::string> reject_job(double saw_width, double cut_width, double pin_width,
                                      std::int32_t cuts);

enum class StageKind {
    fill,  // a fill move of fill_cut
    pin,   // the move of pin width plus saw width to the next cut
    end,   // the job is finished; no move
    none,  // no stage has this number
};

// Where the walk through the stages stopped.
struct Stage {
    StageKind kind = StageKind::none;
    std::int32_t cut_counter = 0;     // fill: 0-based cut; pin and end: cuts finished
    std::int32_t fast_counter = 0;    // fill: 0-based fill move within its cut
    std::int64_t processcounter = 0;  // the number of the stage reached
};

// The stage numbered stage_counter (2 or more; 1 is the move to the start position) of a
// job with w_Counter fill moves per cut and the given number of cuts.
Stage walk_stages(std::int64_t stage_counter, std::int32_t w_Counter, std::int32_t cuts);

// "Moving %f mm for cutting: %d of %d for cut: %d" and "In Position for cutting: %d of %d for
// cut: %d", "%f" with two decimals.
std::string moving_title(double distance, std::int64_t pass, std::int64_t passes, std::int64_t cut);
std::string in_position_title(std::int64_t pass, std::int64_t passes, std::int64_t cut);

}  // namespace kerf
