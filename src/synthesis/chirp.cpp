// A linear sine sweep, one sample at a time: one sine per sample, no tables, so the
// planning passes and the final pass compute exactly the same values.

#include "chirp.h"

#include <cmath>
#include <numbers>

#include "chirp_count.h"
#include "pulse_counter.h"

namespace kerf {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;  // doubling is exact: the double nearest 2 pi

// The sweep itself. Write selects whether samples go to the stream; everything else,
// the pulse counting included, is identical in both forms.
template <bool Write>
std::int64_t sweep(double t0, double f0, double t1, double f1, double dt, double phase,
                   double& timebase, double amplitude, double& ddt, SampleStream& aMS,
                   bool finish_wave, double& remnant, std::int16_t& oldsample, bool& counted,
                   std::int32_t& sub_total_steps) {
    // theta(t) = k t^2 + w t + phase: the frequency runs linearly from f0 at 0 to f1 at t1.
    const double k = (f1 - f0) * kPi / t1;
    const double w = kTwoPi * f0;
    const auto theta = [k, w, phase](double t) { return k * (t * t) + w * t + phase; };

    // Local copies: the loop must not re-read the caller's variables through references.
    double tb = timebase;
    PulseCounter<std::int32_t> pulses{oldsample, counted, sub_total_steps};
    std::int64_t emitted = 0;

    double t = t0;
    double s_last = std::sin(theta(t));

    const auto emit = [&](double th) {
        const double s = std::sin(th);
        s_last = s;
        const std::int16_t v = to_sample(s * amplitude);
        pulses.add(v);
        if constexpr (Write) aMS.push_back(v);
        ++emitted;
        t += dt;
        tb += dt;
    };

    // Main run: up to half a period at the final frequency before the nominal end.
    const double t_end = finish_wave ? t1 - 1.0 / (2.0 * f1) : t1 - dt;
    while (t <= t_end) emit(theta(t));

    // Finishing run: on to the zero crossing that ends the current half period, or to a
    // later one while one more half period still ends by t1.
    if (finish_wave) {
        const double n = std::trunc(theta(t) / kPi);
        double r = theta(t) - n * kPi;
        double o = 0;
        while (-(o + 1) * kPi < r && r < (o + 1) * kPi) {
            const double th = theta(t);
            r = th - n * kPi;
            if (r > (o + 1) * kPi || r < -(o + 1) * kPi) {
                const double f_now = f0 + (f1 - f0) * t / t1;
                if ((t - dt) + 1.0 / (f1 + f_now) <= t1) o += 1;
            }
            emit(th);
        }
    }

    // The phase at which the next sweep starts: it begins with the value this sweep
    // would have emitted next, moving in the same direction.
    const double c = std::sin(theta(t));
    ddt = c >= s_last ? std::asin(c) : kPi - std::asin(c);
    remnant = t1 - (t - dt);

    timebase = tb;
    oldsample = pulses.previous;
    counted = pulses.latch;
    sub_total_steps = pulses.count;
    return emitted;
}

}  // namespace

std::int16_t to_sample(double v) {
    const double r = std::nearbyint(v);  // ties to even under the default rounding mode
    if (r >= 32767.0) return 32767;
    if (r <= -32768.0) return -32768;
    if (r != r) return 0;
    return static_cast<std::int16_t>(r);
}

std::int64_t chirp_count(double t0, double f0, double t1, double f1, double dt, int formt,
                         double phase, double& timebase, double amplitude, double& ddt,
                         SampleStream& aMS, bool finish_wave, bool writeMS, double& remnant,
                         std::int16_t& oldsample, bool& counted, std::int32_t& sub_total_steps) {
    if (formt != 1) return 0;  // the only form: anything else emits nothing, changes nothing
    // A sweep that could never end (no time step, or no frequency to carry the wave on to a
    // zero crossing) emits nothing either. Moves never ask for one.
    if (!(dt > 0) || !std::isfinite(dt) || !(f0 > 0) || !(f1 > 0)) return 0;
    if (writeMS) {
        return sweep<true>(t0, f0, t1, f1, dt, phase, timebase, amplitude, ddt, aMS, finish_wave,
                           remnant, oldsample, counted, sub_total_steps);
    }
    return sweep<false>(t0, f0, t1, f1, dt, phase, timebase, amplitude, ddt, aMS, finish_wave,
                        remnant, oldsample, counted, sub_total_steps);
}

void chirp(double t0, double f0, double t1, double f1, double dt, int formt, double phase,
           double& timebase, double amplitude, double& ddt, SampleStream& aMS,
           bool /*add_to_chart*/, bool finish_wave, bool writeMS, double& remnant,
           std::int16_t& oldsample, bool& counted, std::int32_t& sub_total_steps) {
    chirp_count(t0, f0, t1, f1, dt, formt, phase, timebase, amplitude, ddt, aMS, finish_wave,
                writeMS, remnant, oldsample, counted, sub_total_steps);
}

}  // namespace kerf
