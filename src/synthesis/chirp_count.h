#pragma once
// chirp, reporting how many samples it emitted: the planner sizes the final stream
// and checks a move against the largest WAV file from it.

#include <cstdint>

#include "chirp.h"

namespace kerf {

// Same parameters and effects as chirp; returns the number of samples emitted.
std::int64_t chirp_count(double t0, double f0, double t1, double f1, double dt, int formt,
                         double phase, double& timebase, double amplitude, double& ddt,
                         SampleStream& aMS, bool finish_wave, bool writeMS, double& remnant,
                         std::int16_t& oldsample, bool& counted, std::int32_t& sub_total_steps);

// A sample value: v rounded to the nearest integer with ties to even, held in 16 bits
// (values beyond the 16-bit range saturate, an undefined value gives 0).
std::int16_t to_sample(double v);

}  // namespace kerf
