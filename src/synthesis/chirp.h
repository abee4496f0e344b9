#pragma once
// One phase of a move: a linear frequency sweep of a sine, sampled at a fixed
// period. One sine period is one motor step; a step pulse is counted at the
// first falling sample after a rise.

#include <cstdint>
#include <vector>

namespace kerf {

// Mono 16-bit samples at 44100 per second, in time order.
using SampleStream = std::vector<std::int16_t>;

inline constexpr double kSampleRate = 44100.0;
inline constexpr double kSamplePeriod = 1.0 / 44100.0;
inline constexpr double kAmplitude = 30000.0;

// Renders one sweep from f0 at t0 to f1 at t1 (formt 1 is the only form; any other
// value emits nothing). timebase, ddt, remnant, oldsample, counted and sub_total_steps
// are carried from call to call by the caller. With writeMS the samples are appended
// to aMS, otherwise aMS is not touched. add_to_chart is accepted and ignored.
void chirp(double t0, double f0, double t1, double f1, double dt, int formt, double phase,
           double& timebase, double amplitude, double& ddt, SampleStream& aMS,
           bool add_to_chart, bool finish_wave, bool writeMS, double& remnant,
           std::int16_t& oldsample, bool& counted, std::int32_t& sub_total_steps);

}  // namespace kerf
