#include "job_plan.h"

#include <cmath>
#include <limits>

#include "numbers.h"

namespace kerf {
namespace {

// The most fill moves a cut may have: the counters and titles stay within 32 bits.
constexpr double kMostFillMoves = std::numeric_limits<std::int32_t>::max() - 1;

// (cut - saw) / saw: fill moves per cut before rounding.
double fill_ratio(double cut_width, double saw_width) {
    return (cut_width - saw_width) / saw_width;
}

}  // namespace

FillPlan plan_fill(double cut_width, double saw_width) {
    const double x = fill_ratio(cut_width, saw_width);
    // Nearest whole number, a tie going to the even one; raised by one when x lies more
    // than 0.001 above it.
    double w = std::nearbyint(x);
    if (x - 0.001 > w) w += 1;
    if (!(w >= 0)) w = 0;  // a cut at most 1e-5 narrower than the saw: no fill move
    if (w > kMostFillMoves) w = kMostFillMoves;
    FillPlan plan;
    plan.w_Counter = static_cast<std::int32_t>(w);
    plan.fill_cut = plan.w_Counter == 0 ? 0.0 : (cut_width - saw_width) / plan.w_Counter;
    return plan;
}

std::optional<std::string> reject_job(double saw_width, double cut_width, double pin_width,
                                      std::int32_t cuts) {
    if (saw_width > cut_width + kJobTolerance) {
        return "Saw width " + format_fixed2(saw_width) + " is bigger than cut width " +
               format_fixed2(cut_width);
    }
    if (saw_width < kJobTolerance || cut_width < kJobTolerance || pin_width < kJobTolerance ||
        cuts < 1) {
        return std::string("Please do not enter numbers less than or equal zero");
    }
    // A saw width tiny against the cut width would need more fill moves than can be counted.
    if (!(fill_ratio(cut_width, saw_width) - 0.001 <= kMostFillMoves)) {
        return "Saw width " + format_fixed2(saw_width) + " is too small for cut width " +
               format_fixed2(cut_width) + ": a cut would need more than 2147483646 fill moves";
    }
    return std::nullopt;
}

Stage walk_stages(std::int64_t stage_counter, std::int32_t w_Counter, std::int32_t cuts) {
    Stage at;
    if (w_Counter < 0 || cuts < 1) return at;
    std::int32_t cut_counter = 0;
    std::int64_t processcounter = 1;  // the move to the start position
    for (;;) {
        // The fill moves of this cut.
        for (std::int32_t fast_counter = 0; fast_counter < w_Counter; ++fast_counter) {
            ++processcounter;
            if (processcounter == stage_counter)
                return {StageKind::fill, cut_counter, fast_counter, processcounter};
        }
        ++cut_counter;
        ++processcounter;
        if (cut_counter < cuts && processcounter == stage_counter)
            return {StageKind::pin, cut_counter, w_Counter, processcounter};
        if (cut_counter == cuts) {
            if (processcounter == stage_counter)
                return {StageKind::end, cut_counter, w_Counter, processcounter};
            return {StageKind::none, cut_counter, w_Counter, processcounter};
        }
        // Stage numbers only grow: a number already passed is not in this job.
        if (processcounter >= stage_counter)
            return {StageKind::none, cut_counter, w_Counter, processcounter};
    }
}

std::string moving_title(double distance, std::int64_t pass, std::int64_t passes,
                         std::int64_t cut) {
    return "Moving " + format_fixed2(distance) + " mm for cutting: " + std::to_string(pass) +
           " of " + std::to_string(passes) + " for cut: " + std::to_string(cut);
}

std::string in_position_title(std::int64_t pass, std::int64_t passes, std::int64_t cut) {
    return "In Position for cutting: " + std::to_string(pass) + " of " + std::to_string(passes) +
           " for cut: " + std::to_string(cut);
}

}  // namespace kerf
