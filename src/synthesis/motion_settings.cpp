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

// "<name>" is <value>; (the start of a message about a setting's value)
std::string is(const char* name, double v) {
    return quoted(name) + " is " + format_number(v) + "; ";
}

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
    if (s.f_min <= 0) return is(kMinFreq, s.f_min) + "it must be greater than 0.";
    if (s.f_max <= s.f_min) {
        return is(kMaxFreq, s.f_max) + "it must be greater than " + quoted(kMinFreq) + " (" +
               format_number(s.f_min) + ").";
    }
    if (s.f_max >= 22050) {
        return is(kMaxFreq, s.f_max) +
               "it must be below 22050, half the sound card's 44100 samples per second. From "
               "there on the signal no longer carries one pulse per step.";
    }
    if (s.t_ramp <= kPhaseEpsilon) {
        return is(kRampTime, s.t_ramp) + "it must be greater than 0.00001.";
    }
    if (s.steps_rev <= 0) return is(kStepsRev, s.steps_rev) + "it must be greater than 0.";
    if (s.mm_rev <= 0) return is(kMmRev, s.mm_rev) + "it must be greater than 0.";
    return std::nullopt;
}

double wanted_steps(double distance_mm, const MotionSettings& s) {
    return distance_mm / s.mm_rev * s.steps_rev;  // divide first, then multiply
}

bool movement_possible(double distance_mm, const MotionSettings& s) {
    return wanted_steps(distance_mm, s) >= 0.5;
}

}  // namespace kerf
