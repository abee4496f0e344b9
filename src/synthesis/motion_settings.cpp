// The five motion settings: which values can make a speed profile, and the wanted
// number of steps for a distance.

#include <charconv>
#include <cmath>
#include <string>

#include "move.h"
#include "planner.h"

namespace kerf {
namespace {

const char* const kMinFreq = "Minimum frequency (steps/sec.)";
const char* const kMaxFreq = "Maximum frequency (steps/sec.)";
const char* const kRampTime = "Time to reach max. frequency (sec.)";
const char* const kStepsRev = "Step motor driver dipswitch setting (steps/rev.)";
const char* const kMmRev = "Spindle advancement (mm/ rev.)";

std::string quoted(const char* name) { return std::string("\"") + name + "\""; }

std::string is_value(double v) { return " (it is " + format_number(v) + ")."; }

}  // namespace

std::string format_number(double v) {
    char buf[64];
    const double a = std::fabs(v);
    const bool plain = std::isfinite(v) && (a == 0 || (a >= 1e-6 && a < 1e15));
    const auto res = plain ? std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed)
                           : std::to_chars(buf, buf + sizeof buf, v);
    if (res.ec != std::errc{}) return "?";
    return std::string(buf, res.ptr);
}

std::optional<std::string> check_motion_settings(const MotionSettings& s) {
    const struct {
        const char* name;
        double value;
    } all[] = {{kMinFreq, s.f_min},
               {kMaxFreq, s.f_max},
               {kRampTime, s.t_ramp},
               {kStepsRev, s.steps_rev},
               {kMmRev, s.mm_rev}};
    for (const auto& setting : all) {
        if (!std::isfinite(setting.value)) return quoted(setting.name) + " is not a number.";
    }
    if (s.f_min <= 0) return quoted(kMinFreq) + " must be greater than 0" + is_value(s.f_min);
    if (s.f_max <= s.f_min) {
        return quoted(kMaxFreq) + " must be greater than " + quoted(kMinFreq) + " (" +
               format_number(s.f_min) + ")" + is_value(s.f_max);
    }
    if (s.f_max >= 22050) {
        return quoted(kMaxFreq) +
               " must be below 22050, half the sound card's 44100 samples per second: from "
               "there on the signal no longer carries one pulse per step" +
               is_value(s.f_max);
    }
    if (s.t_ramp <= kPhaseEpsilon) {
        return quoted(kRampTime) + " must be greater than 0.00001" + is_value(s.t_ramp);
    }
    if (s.steps_rev <= 0)
        return quoted(kStepsRev) + " must be greater than 0" + is_value(s.steps_rev);
    if (s.mm_rev <= 0) return quoted(kMmRev) + " must be greater than 0" + is_value(s.mm_rev);
    return std::nullopt;
}

double wanted_steps(double distance_mm, const MotionSettings& s) {
    return distance_mm / s.mm_rev * s.steps_rev;  // divide first, then multiply
}

bool movement_possible(double distance_mm, const MotionSettings& s) {
    return wanted_steps(distance_mm, s) >= 0.5;
}

}  // namespace kerf
