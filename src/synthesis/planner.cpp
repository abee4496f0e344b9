// Planning a move: the initial profile, the rendering passes and the corrections that
// bring the counted pulses to the wanted steps.

#include "planner.h"

#include <algorithm>
#include <cmath>

#include "chirp_count.h"

namespace kerf {
namespace {

void require_finite(double v, const char* what) {
    if (!std::isfinite(v)) {
        throw MoveFailure(std::string("The speed profile cannot be computed: ") + what +
                          " is not a finite number. Check the motion settings.");
    }
}

void require_finite(const Profile& p) {
    require_finite(p.t_acc, "the acceleration time");
    require_finite(p.t_cruise, "the cruise time");
    require_finite(p.t_dec, "the deceleration time");
}

// Frequencies of a pass: without a cruise phase the ramps stop where their time takes
// them; with one they reach f_max.
void pass_frequencies(const Profile& p, const MotionSettings& s, double& f_acc, double& f_dec) {
    if (p.t_cruise < kPhaseEpsilon) {
        f_acc = std::min(s.f_max, s.f_min + (s.f_max - s.f_min) * p.t_acc / s.t_ramp);
        f_dec = std::min(s.f_max, s.f_min + (s.f_max - s.f_min) * p.t_dec / s.t_ramp);
    } else {
        f_acc = f_dec = s.f_max;
    }
}

}  // namespace

Profile initial_profile(double N, const MotionSettings& s) {
    Profile p;
    p.t_acc = s.t_ramp;
    p.t_dec = s.t_ramp;
    if (N <= (s.f_max + s.f_min) * s.t_ramp) {
        // Short move: a ramp up of t and a ramp down of t cover N steps.
        p.t_cruise = 0;
        const double a = (s.f_max - s.f_min) / s.t_ramp;
        const double b = 2 * s.f_min;
        const double c = -N;
        const double t = (-b + std::sqrt(b * b - 4 * a * c)) / (2 * a);
        if (N < 1.5) {
            p.t_acc = 2 * t;  // one ramp up, no deceleration
            p.t_dec = 0;
        } else {
            p.t_acc = t;
            p.t_dec = t;
        }
    } else {
        const double A = (s.f_max + s.f_min) * p.t_acc / 2;
        const double D = (s.f_max + s.f_min) * p.t_dec / 2;
        p.t_cruise = (N - A - D) / s.f_max;
    }
    require_finite(p);
    return p;
}

double planned_samples(const Profile& p) {
    double total = 0;
    for (double d : {p.t_acc, p.t_cruise, p.t_dec}) {
        if (d > kPhaseEpsilon) total += d;
    }
    return total * kSampleRate;
}

void check_move_length(double samples) {
    if (!(samples <= double(kMaxSamples))) {
        const double hours = samples / kSampleRate / 3600;
        const double limit = double(kMaxSamples) / kSampleRate / 3600;
        throw MoveFailure("The move is too long for one sound file: it needs about " +
                          format_number(std::round(hours * 100) / 100) +
                          " hours of step signal, a WAV file holds at most " +
                          format_number(std::floor(limit * 100) / 100) + " hours.");
    }
}

PassResult render_pass(const Profile& p, const MotionSettings& s, double& remnant,
                       SampleStream* stream, const std::function<bool(int)>& before_phase) {
    PassResult res;
    pass_frequencies(p, s, res.f_acc, res.f_dec);
    require_finite(res.f_acc, "the frequency reached by acceleration");
    require_finite(res.f_dec, "the frequency at the start of deceleration");

    SampleStream unused;  // stays empty: nothing is stored without a stream
    SampleStream& out = stream ? *stream : unused;
    const bool write = stream != nullptr;
    double timebase = 0;
    double ddt = 0;
    std::int16_t oldsample = 0;
    bool counted = false;

    const auto phase = [&](int number, double f0, double t1, double f1) {
        if (!before_phase(number)) {
            res.cancelled = true;
            return false;
        }
        res.samples += chirp_count(0, f0, t1, f1, kSamplePeriod, 1, ddt, timebase, kAmplitude, ddt,
                                   out, true, write, remnant, oldsample, counted, res.pulses);
        require_finite(ddt, "the phase of the wave");
        require_finite(remnant, "the remaining time of a phase");
        return true;
    };

    if (p.t_acc > kPhaseEpsilon && !phase(1, s.f_min, p.t_acc, res.f_acc)) return res;
    if (p.t_cruise > kPhaseEpsilon && !phase(2, s.f_max, p.t_cruise + remnant, s.f_max)) {
        return res;
    }
    if (p.t_dec > kPhaseEpsilon && !phase(3, res.f_dec, p.t_dec + remnant, s.f_min)) return res;
    return res;
}

Plan plan_move(double N, const MotionSettings& s, const std::atomic<bool>& stop,
               const std::function<void(int)>& after_pass) {
    Plan plan;
    Profile& p = plan.profile;
    p = initial_profile(N, s);
    check_move_length(planned_samples(p));

    double e_best = 10000.0;
    Profile best{0, 0, 0};
    double g = 0.5;
    plan.remnant = 0;
    const auto go_on = [&stop](int) { return !stop.load(std::memory_order_relaxed); };

    for (;;) {
        if (stop.load(std::memory_order_relaxed)) {
            plan.cancelled = true;
            return plan;
        }
        ++plan.passes;
        const PassResult pass = render_pass(p, s, plan.remnant, nullptr, go_on);
        if (pass.cancelled) {
            plan.cancelled = true;
            return plan;
        }
        plan.last_samples = pass.samples;
        if (after_pass) after_pass(plan.passes);
        double e = double(pass.pulses) - N;

        if (std::fabs(e) > 0.5) {
            if (std::fabs(e) > std::fabs(e_best)) {
                // Worse than the best pass: correct the best one again with half the gain.
                g = g / 2;
                p = best;
                e = e_best;
            } else {
                e_best = e;
                best = p;
            }
            // Corrections that would make a duration zero or negative are not applied.
            const double d_acc = g * e / pass.f_acc;
            const double d_dec = g * e / pass.f_dec;
            require_finite(d_acc, "a correction of the profile");
            require_finite(d_dec, "a correction of the profile");
            if (p.t_cruise > kPhaseEpsilon && p.t_cruise - d_acc > 0) {
                p.t_cruise = p.t_cruise - d_acc;
            } else {
                if (p.t_acc - d_acc > 0) p.t_acc = p.t_acc - d_acc;
                if (std::fabs(e) > 1.5 && p.t_dec - d_dec > 0) p.t_dec = p.t_dec - d_dec;
            }
            require_finite(p);
            check_move_length(planned_samples(p));
        }
        if (std::fabs(e) <= 0.5 || plan.passes >= kMaxPasses) break;
    }
    return plan;
}

std::optional<std::string> step_difference_line(std::int64_t pulses, double N) {
    const auto wanted = static_cast<std::int64_t>(std::nearbyint(N));  // ties to even
    const std::int64_t difference = pulses - wanted;
    if (difference == 0) return std::nullopt;
    return "Calculation error, more than one step difference: " + std::to_string(difference);
}

}  // namespace kerf
