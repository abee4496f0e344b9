// The sine sweep: pulse counting, continuity from one sweep to the next, the remnant,
// and that counting alone stores nothing.

#include "chirp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>

#include "chirp_count.h"

namespace kerf {
namespace {

// What the caller carries from one sweep to the next.
struct Carry {
    double timebase = 0;
    double ddt = 0;
    double remnant = 0;
    std::int16_t oldsample = 0;
    bool counted = false;
    std::int32_t pulses = 0;

    bool operator==(const Carry&) const = default;
};

// One sweep starting at the carried phase (the planner's way of chaining sweeps).
void sweep(Carry& c, double f0, double t1, double f1, bool finish, bool write, SampleStream& out) {
    chirp(0, f0, t1, f1, kSamplePeriod, 1, c.ddt, c.timebase, kAmplitude, c.ddt, out, false, finish,
          write, c.remnant, c.oldsample, c.counted, c.pulses);
}

// The counting rule over a whole stream, from a previous sample of 0.
int count(const SampleStream& s) {
    int pulses = 0;
    int previous = 0;
    bool latch = false;
    for (int v : s) {
        if (v < previous && !latch) {
            ++pulses;
            latch = true;
        } else if (v > previous) {
            latch = false;
        }
        previous = v;
    }
    return pulses;
}

// A sine of constant frequency sampled at 44100 per second, continuous from the start.
SampleStream reference_sine(double f, std::size_t n) {
    SampleStream s;
    double t = 0;
    for (std::size_t i = 0; i < n; ++i) {
        s.push_back(std::int16_t(std::nearbyint(std::sin(2 * std::numbers::pi * f * t) * 30000)));
        t += kSamplePeriod;
    }
    return s;
}

struct ConstantSine {
    double f;
    bool finish;
    double t1;
    std::size_t samples;
    int pulses;
};

void PrintTo(const ConstantSine& p, std::ostream* os) {
    *os << p.f << " steps/s, finish " << p.finish << ", t1 " << p.t1;
}

class ChirpConstantSine : public testing::TestWithParam<ConstantSine> {};

// One second of a constant sine counts one pulse per period below half the sample
// rate (equal samples at a flat peak count once); above it the count follows the
// aliased peaks: 44100 - 30000 = 14100.
TEST_P(ChirpConstantSine, CountsOnePulsePerPeriodBelowHalfTheSampleRate) {
    const ConstantSine& p = GetParam();
    Carry c;
    SampleStream out;
    sweep(c, p.f, p.t1, p.f, p.finish, true, out);
    EXPECT_EQ(out.size(), p.samples);
    EXPECT_EQ(c.pulses, p.pulses);
    EXPECT_EQ(count(out), p.pulses);
    EXPECT_NEAR(c.timebase, double(p.samples) * kSamplePeriod, 1e-9);
    EXPECT_EQ(c.oldsample, out.back());
}

// Without finishing, a t1 just past one second yields exactly the 44100 samples of one
// second; finishing at t1 = 1 runs on to the zero crossing at 1 s.
const double kOneSecond = 1.0 + kSamplePeriod / 2;
INSTANTIATE_TEST_SUITE_P(OneSecond, ChirpConstantSine,
                         testing::Values(ConstantSine{10000, false, kOneSecond, 44100, 10000},
                                         ConstantSine{22000, false, kOneSecond, 44100, 22000},
                                         ConstantSine{30000, false, kOneSecond, 44100, 14100},
                                         ConstantSine{50, false, kOneSecond, 44100, 50},
                                         ConstantSine{10000, true, 1.0, 44101, 10000},
                                         ConstantSine{22000, true, 1.0, 44101, 22000}));

TEST(Chirp, PhaseZeroStartsAtZeroRisingWithoutCounting) {
    Carry c;
    SampleStream out;
    sweep(c, 1000, 0.0002, 1000, false, true, out);  // a fifth of a period
    ASSERT_GE(out.size(), 3u);
    EXPECT_EQ(out[0], 0);
    EXPECT_GT(out[1], 0);
    EXPECT_EQ(c.pulses, 0);
}

struct Split {
    double f;
    double first_t1;  // nominal length of the first sweep
    bool finish;
};

void PrintTo(const Split& p, std::ostream* os) {
    *os << p.f << " steps/s, first sweep " << p.first_t1 << " s, finish " << p.finish;
}

class ChirpChained : public testing::TestWithParam<Split> {};

// Two chained sweeps make the same wave as one continuous sine, whether the first ends
// rising or falling, at a zero crossing or anywhere; a peak at the joint counts once.
TEST_P(ChirpChained, ContinuesTheWaveAcrossTheJoint) {
    const Split& p = GetParam();
    Carry c;
    SampleStream out;
    sweep(c, p.f, p.first_t1, p.f, p.finish, true, out);
    const std::size_t first = out.size();
    sweep(c, p.f, 0.004 + c.remnant, p.f, p.finish, true, out);
    ASSERT_GT(out.size(), first + 10);

    const SampleStream ref = reference_sine(p.f, out.size());
    int worst = 0;
    for (std::size_t i = 0; i < out.size(); ++i) worst = std::max(worst, std::abs(out[i] - ref[i]));
    EXPECT_LE(worst, 1) << "split after " << first << " samples";
    EXPECT_EQ(c.pulses, count(ref));
    EXPECT_EQ(c.pulses, count(out));
}

INSTANTIATE_TEST_SUITE_P(Splits, ChirpChained,
                         testing::Values(Split{1000, 0.00500, true}, Split{1000, 0.00530, true},
                                         Split{1000, 0.00555, true}, Split{1000, 0.00500, false},
                                         Split{1000, 0.00523, false},  // ends near a peak
                                         Split{1000, 0.00547, false},  // ends falling
                                         Split{1000, 0.00573, false},  // ends near a trough
                                         Split{1000, 0.00598, false},  // ends rising
                                         Split{2000, 0.00300, true}, Split{2000, 0.00311, false},
                                         Split{2000, 0.00317, false}, Split{2000, 0.00322, false}));

class ChirpChainedFast : public testing::TestWithParam<Split> {};

// With only a few samples per period the next sweep still begins with the value this
// one would have emitted next, and the pulses it counts are those of the samples made.
TEST_P(ChirpChainedFast, BeginsWithTheNextValue) {
    const Split& p = GetParam();
    Carry c;
    SampleStream out;
    sweep(c, p.f, p.first_t1, p.f, p.finish, true, out);
    const std::size_t first = out.size();
    sweep(c, p.f, 0.004 + c.remnant, p.f, p.finish, true, out);
    ASSERT_GT(out.size(), first + 10);
    const SampleStream ref = reference_sine(p.f, first + 1);
    EXPECT_NEAR(out[first], ref[first], 1) << "split after " << first << " samples";
    EXPECT_EQ(c.pulses, count(out));
}

INSTANTIATE_TEST_SUITE_P(Splits, ChirpChainedFast,
                         testing::Values(Split{7000, 0.00300, true}, Split{7000, 0.00311, false},
                                         Split{10000, 0.00300, true}, Split{10000, 0.00317, true},
                                         Split{10000, 0.00322, false}));

// Every split point of a sine, one sample apart: whatever the sample at the joint, the
// pulses are those of the continuous wave.
TEST(Chirp, EverySplitPointCountsThePulsesOfTheContinuousWave) {
    const double f = 441;  // 100 samples per period
    const SampleStream ref = reference_sine(f, 2000);
    for (int n = 1; n < 120; ++n) {
        Carry c;
        SampleStream out;
        sweep(c, f, (n + 0.5) * kSamplePeriod, f, false, true, out);
        ASSERT_EQ(out.size(), std::size_t(n));
        sweep(c, f, 0.02, f, false, true, out);
        const SampleStream expected(ref.begin(), ref.begin() + std::ptrdiff_t(out.size()));
        EXPECT_EQ(c.pulses, count(expected)) << "split after " << n << " samples";
    }
}

struct Ending {
    double f0;
    double t1;
    double f1;
    bool late;  // the last sample lies past t1
};

void PrintTo(const Ending& p, std::ostream* os) {
    *os << p.f0 << " to " << p.f1 << " steps/s in " << p.t1 << " s";
}

class ChirpRemnant : public testing::TestWithParam<Ending> {};

// The remnant is t1 minus the time of the last sample: negative for a sweep that ran
// past t1, positive for one that ended early.
TEST_P(ChirpRemnant, IsNominalEndMinusLastSampleTime) {
    const Ending& p = GetParam();
    Carry c;
    SampleStream out;
    sweep(c, p.f0, p.t1, p.f1, true, true, out);
    ASSERT_FALSE(out.empty());
    const double last = double(out.size() - 1) * kSamplePeriod;
    EXPECT_NEAR(c.remnant, p.t1 - last, 1e-12);
    if (p.late) {
        EXPECT_LT(c.remnant, 0);
    } else {
        EXPECT_GT(c.remnant, 0);
    }
    // The last sample is the first one at or past the zero crossing.
    const int before = out[out.size() - 2];
    const int after = out.back();
    EXPECT_LE(before * after, 0) << before << " then " << after;
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ChirpRemnant,
    testing::Values(Ending{50, 0.001, 50, true},        // shorter than half a period
                    Ending{1000, 0.0102, 1000, false},  // ends at the crossing before t1
                    Ending{300, 0.0105, 300, false},
                    Ending{50, 0.1, 10000, true},  // an acceleration ramp, one sample over
                    Ending{10000, 0.1, 50, true}));

// A sweep shorter than half a period at its final frequency has no main run: all its
// samples come from running on to the zero crossing at pi (10 ms at 50 Hz).
TEST(Chirp, ShortSweepRunsOnToTheZeroCrossing) {
    Carry c;
    SampleStream out;
    sweep(c, 50, 0.001, 50, true, true, out);
    // Samples 0 .. 441 reach 10 ms; the crossing lies within a sample of it.
    EXPECT_GE(out.size(), 442u);
    EXPECT_LE(out.size(), 443u);
    EXPECT_EQ(c.pulses, 1);
    EXPECT_NEAR(c.remnant, 0.001 - 0.01, 2 * kSamplePeriod);
}

struct Sweep {
    double f0;
    double t1;
    double f1;
    bool finish;
};

void PrintTo(const Sweep& p, std::ostream* os) {
    *os << p.f0 << " to " << p.f1 << " steps/s in " << p.t1 << " s, finish " << p.finish;
}

class ChirpCountOnly : public testing::TestWithParam<Sweep> {};

// Counting alone leaves the stream as it was (not even its capacity changes), and
// every carried value ends exactly as when the samples are stored.
TEST_P(ChirpCountOnly, LeavesTheStreamButNotTheState) {
    const Sweep& p = GetParam();
    Carry stored{0.25, 1.0, 0.001, 1234, true, 7};
    Carry counted = stored;
    SampleStream with(3, std::int16_t{-5});
    SampleStream without(3, std::int16_t{-5});
    without.reserve(4);
    const auto capacity = without.capacity();
    sweep(stored, p.f0, p.t1, p.f1, p.finish, true, with);
    sweep(counted, p.f0, p.t1, p.f1, p.finish, false, without);

    EXPECT_EQ(without, SampleStream(3, std::int16_t{-5}));
    EXPECT_EQ(without.capacity(), capacity);
    EXPECT_GT(with.size(), 3u);
    EXPECT_TRUE(stored == counted);
    EXPECT_EQ(counted.oldsample, with.back());
}

INSTANTIATE_TEST_SUITE_P(Sweeps, ChirpCountOnly,
                         testing::Values(Sweep{50, 0.1, 10000, true},
                                         Sweep{10000, 0.05, 10000, true},
                                         Sweep{10000, 0.1, 50, true},
                                         Sweep{300, 0.02, 900, false}));

// Only the linear sweep exists: any other form emits nothing and changes nothing.
TEST(Chirp, OtherFormsChangeNothing) {
    for (int formt : {0, 2, -1}) {
        Carry c{0.5, 1.25, 0.003, 99, true, 3};
        const Carry before = c;
        SampleStream out(2, std::int16_t{7});
        chirp(0, 100, 0.1, 200, kSamplePeriod, formt, 0.3, c.timebase, kAmplitude, c.ddt, out,
              false, true, true, c.remnant, c.oldsample, c.counted, c.pulses);
        EXPECT_TRUE(c == before) << "formt " << formt;
        EXPECT_EQ(out, SampleStream(2, std::int16_t{7}));
    }
}

// Sweeps that could never end (no time step, no frequency) emit nothing and change
// nothing instead of running for ever.
TEST(Chirp, SweepsThatCouldNotEndChangeNothing) {
    const struct {
        double f0, f1, dt;
    } cases[] = {{100, 200, 0},
                 {100, 200, -kSamplePeriod},
                 {0, 0, kSamplePeriod},
                 {100, 0, kSamplePeriod},
                 {std::nan(""), 100, kSamplePeriod}};
    for (const auto& p : cases) {
        Carry c{0.5, 1.25, 0.003, 99, true, 3};
        const Carry before = c;
        SampleStream out;
        chirp(0, p.f0, 0.1, p.f1, p.dt, 1, 0.3, c.timebase, kAmplitude, c.ddt, out, false, true,
              true, c.remnant, c.oldsample, c.counted, c.pulses);
        EXPECT_TRUE(c == before) << p.f0 << " to " << p.f1 << ", dt " << p.dt;
        EXPECT_TRUE(out.empty());
    }
}

struct Rounding {
    double value;
    std::int16_t sample;
};

void PrintTo(const Rounding& p, std::ostream* os) { *os << p.value; }

class SampleRounding : public testing::TestWithParam<Rounding> {};

// Samples round to the nearest integer with ties to even, and never wrap.
TEST_P(SampleRounding, TiesGoToEven) { EXPECT_EQ(to_sample(GetParam().value), GetParam().sample); }

INSTANTIATE_TEST_SUITE_P(Values, SampleRounding,
                         testing::Values(Rounding{0.5, 0}, Rounding{1.5, 2}, Rounding{2.5, 2},
                                         Rounding{-0.5, 0}, Rounding{-1.5, -2}, Rounding{-2.5, -2},
                                         Rounding{29999.5, 30000}, Rounding{29998.5, 29998},
                                         Rounding{-30000.0, -30000}, Rounding{0.49999, 0},
                                         Rounding{40000.0, 32767}, Rounding{-40000.0, -32768},
                                         Rounding{std::numeric_limits<double>::quiet_NaN(), 0}));

}  // namespace
}  // namespace kerf
