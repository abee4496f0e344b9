// A whole move on the calling thread: exact pulse counts read back from the file, the
// steps the window sees, the settings that cannot make a profile, stops, and moves
// that are refused.

#include "move.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "planner.h"
#include "recording_steps.h"
#include "scratch_dir.h"
#include "wav_reader.h"

namespace kerf {
namespace {

using test::Event;
using test::RecordingSteps;
using test::ScratchDir;
namespace fs = std::filesystem;

const std::string kPhase1 = "Calculating phase 1 of 3";
const std::string kPhase2 = "Calculating phase 2 of 3";
const std::string kPhase3 = "Calculating phase 3 of 3";
const std::string kSoundFile = "Creating sound file, PLEASE WAIT";
const std::string kDifference = "Calculation error, more than one step difference: ";

MoveRequest request(double distance, const std::string& file, MotionSettings s = {}) {
    MoveRequest r;
    r.distance_mm = distance;
    r.settings = s;
    r.file = file;
    return r;
}

struct Exact {
    double distance;
    std::int64_t pulses;
    std::vector<std::string> phases;  // banners of the phases rendered
};

void PrintTo(const Exact& e, std::ostream* os) { *os << e.distance << " mm"; }

class MoveExact : public testing::TestWithParam<Exact> {};

// At the default settings (50 to 10000 steps/s in 0.1 s, 5000 steps per 5 mm) every
// distance gives a file that holds exactly the wanted steps, with no difference line.
TEST_P(MoveExact, FileHoldsTheWantedSteps) {
    const Exact& p = GetParam();
    ScratchDir dir;
    RecordingSteps steps;
    const std::string file = dir.file("Home.wav");
    const MoveResult r = run_move(request(p.distance, file), steps);

    ASSERT_EQ(r.end, MoveResult::End::written) << r.error;
    const WavData wav = read_wav(file);
    EXPECT_EQ(count_pulses(wav), p.pulses);
    EXPECT_EQ(r.pulses, p.pulses);
    EXPECT_EQ(wav.frames(), r.frames);
    EXPECT_TRUE(is_antiphase(wav));
    EXPECT_GE(r.passes, 1);
    EXPECT_LE(r.passes, 21);

    std::vector<std::string> expected = p.phases;
    expected.push_back(kSoundFile);
    EXPECT_EQ(steps.banners(), expected);
    EXPECT_EQ(steps.count("log"), 0) << steps.events().back().text;
    EXPECT_EQ(steps.count("error"), 0);
    const std::vector<Event> events = steps.events();
    ASSERT_EQ(events.back().kind, "done");
    EXPECT_EQ(events.back().text, file);
    EXPECT_EQ(events.back().pulses, p.pulses);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"Home.wav"});
}

const std::vector<std::string> kAll = {kPhase1, kPhase2, kPhase3};
const std::vector<std::string> kRamps = {kPhase1, kPhase3};
const std::vector<std::string> kOneRamp = {kPhase1};

INSTANTIATE_TEST_SUITE_P(
    DefaultSettings, MoveExact,
    testing::Values(Exact{0.0006, 1, kOneRamp},  // under 1.5 steps: one ramp up
                    Exact{0.001, 1, kOneRamp}, Exact{0.0014, 1, kOneRamp}, Exact{0.0015, 2, kRamps},
                    Exact{0.002, 2, kRamps}, Exact{0.013, 13, kRamps}, Exact{0.1, 100, kRamps},
                    Exact{1, 1000, kRamps},
                    Exact{1.005, 1005, kRamps},  // exactly two full ramps: still no cruise
                    Exact{1.0051, 1005, kAll}, Exact{1.5, 1500, kAll}, Exact{3.2, 3200, kAll},
                    Exact{12.7, 12700, kAll}, Exact{25.4, 25400, kAll}, Exact{33.3333, 33333, kAll},
                    Exact{100, 100000, kAll}, Exact{1000, 1000000, kAll}));

// The default settings' 1 mm and 12.7 mm, and a table of distances from a thousandth of a
// millimetre up, at other usable settings.
struct ExactAt {
    MotionSettings settings;
    double distance;
};

void PrintTo(const ExactAt& p, std::ostream* os) {
    const MotionSettings& s = p.settings;
    *os << p.distance << " mm at " << s.f_min << "-" << s.f_max << " steps/s, " << s.t_ramp
        << " s, " << s.steps_rev << " steps/" << s.mm_rev << " mm";
}

class MoveExactAt : public testing::TestWithParam<ExactAt> {};

TEST_P(MoveExactAt, FileHoldsTheWantedSteps) {
    const ExactAt& p = GetParam();
    ScratchDir dir;
    RecordingSteps steps;
    const MoveResult r = run_move(request(p.distance, dir.file("Pin.wav"), p.settings), steps);
    ASSERT_EQ(r.end, MoveResult::End::written) << r.error;
    const auto wanted = std::int64_t(std::nearbyint(wanted_steps(p.distance, p.settings)));
    EXPECT_EQ(count_pulses(read_wav(dir.file("Pin.wav"))), wanted);
    EXPECT_EQ(steps.count("log"), 0);
}

MotionSettings settings(double f_min, double f_max, double t_ramp, double steps_rev,
                        double mm_rev) {
    return {f_min, f_max, t_ramp, steps_rev, mm_rev};
}

INSTANTIATE_TEST_SUITE_P(OtherSettings, MoveExactAt,
                         testing::Values(ExactAt{settings(100, 20000, 0.5, 400, 1.25), 0.01},
                                         ExactAt{settings(100, 20000, 0.5, 400, 1.25), 17.3},
                                         ExactAt{settings(100, 20000, 0.5, 400, 1.25), 123.4},
                                         ExactAt{settings(1, 2000, 1, 3200, 2), 0.0013},
                                         ExactAt{settings(1, 2000, 1, 3200, 2), 0.9},
                                         ExactAt{settings(1, 2000, 1, 3200, 2), 7.77},
                                         ExactAt{settings(5000, 21000, 0.2, 1600, 4), 3.3},
                                         ExactAt{settings(5000, 21000, 0.2, 1600, 4), 55},
                                         ExactAt{settings(50, 51, 0.1, 200, 8), 1},
                                         ExactAt{settings(10, 100, 3, 200, 1), 0.5}));

struct NoMove {
    double distance;
    MotionSettings settings;
};

void PrintTo(const NoMove& p, std::ostream* os) { *os << p.distance << " mm"; }

class MoveNone : public testing::TestWithParam<NoMove> {};

// Fewer than half a step: the no-movement step and nothing else, no file.
TEST_P(MoveNone, WritesNothing) {
    ScratchDir dir;
    RecordingSteps steps;
    const MoveResult r =
        run_move(request(GetParam().distance, dir.file("Start.wav"), GetParam().settings), steps);
    EXPECT_EQ(r.end, MoveResult::End::no_movement);
    EXPECT_EQ(steps.kinds(), std::vector<std::string>{"no_movement"});
    EXPECT_TRUE(dir.names().empty());
    EXPECT_FALSE(movement_possible(GetParam().distance, GetParam().settings));
}

INSTANTIATE_TEST_SUITE_P(Distances, MoveNone,
                         testing::Values(NoMove{0.0004, {}},  // 0.4 steps
                                         NoMove{0.4, settings(50, 10000, 0.1, 1, 1)}, NoMove{0, {}},
                                         NoMove{-0.0, {}}, NoMove{-1, {}}, NoMove{-1e300, {}},
                                         NoMove{0.00049999, {}}));

// Half a step is a move: R rounds 0.5 to 0 (ties to even), so its one-pulse file is
// reported as one step over.
TEST(Move, HalfAStepWritesOnePulseAndReportsTheDifference) {
    ScratchDir dir;
    RecordingSteps steps;
    const MotionSettings half = settings(50, 10000, 0.1, 1, 2);
    ASSERT_EQ(wanted_steps(1, half), 0.5);
    EXPECT_TRUE(movement_possible(1, half));
    const MoveResult r = run_move(request(1, dir.file("Home.wav"), half), steps);
    ASSERT_EQ(r.end, MoveResult::End::written);
    EXPECT_EQ(count_pulses(read_wav(dir.file("Home.wav"))), 1);
    const Event last = steps.events().back();
    EXPECT_EQ(last.kind, "log");
    EXPECT_EQ(last.text, kDifference + "1");
    EXPECT_TRUE(last.critical);
    EXPECT_EQ(steps.kinds()[steps.kinds().size() - 2], "done");
}

// Near half the sample rate the planning may not converge. A file with fewer pulses than
// wanted is reported just like one with more: a lost step ruins the joint too.
TEST(Move, FewerPulsesThanWantedAreReported) {
    ScratchDir dir;
    RecordingSteps steps;
    const MoveResult r =
        run_move(request(3779, dir.file("Pin.wav"), settings(50, 22049, 0.01, 1, 1)), steps);
    ASSERT_EQ(r.end, MoveResult::End::written);
    EXPECT_EQ(r.passes, 21);
    EXPECT_EQ(count_pulses(read_wav(dir.file("Pin.wav"))), 3778);
    const Event last = steps.events().back();
    EXPECT_EQ(last.text, kDifference + "-1");
    EXPECT_TRUE(last.critical);
}

struct Difference {
    std::int64_t pulses;
    double wanted;
    const char* line;  // nullptr: no line
};

void PrintTo(const Difference& p, std::ostream* os) {
    *os << p.pulses << " pulses for " << p.wanted << " steps";
}

class StepDifference : public testing::TestWithParam<Difference> {};

TEST_P(StepDifference, ReportsAnyWholeStepEitherWay) {
    const auto line = step_difference_line(GetParam().pulses, GetParam().wanted);
    if (GetParam().line) {
        ASSERT_TRUE(line.has_value());
        EXPECT_EQ(*line, kDifference + GetParam().line);
    } else {
        EXPECT_FALSE(line.has_value()) << *line;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Counts, StepDifference,
    testing::Values(Difference{1000, 1000.0, nullptr}, Difference{1000, 1000.4, nullptr},
                    Difference{1000, 999.5, nullptr},  // 999.5 rounds to 1000
                    Difference{1001, 1000.0, "1"}, Difference{999, 1000.0, "-1"},
                    Difference{1, 0.5, "1"}, Difference{0, 0.5, nullptr},
                    Difference{1, 1.5, "-1"},  // 1.5 rounds to 2
                    Difference{2, 2.5, nullptr}, Difference{0, 12700.0, "-12700"},
                    Difference{3000000000LL, 1.0, "2999999999"}));

struct BadSettings {
    MotionSettings settings;
    const char* name;   // the setting the message names
    const char* limit;  // and what it says about the value
};

void PrintTo(const BadSettings& b, std::ostream* os) { *os << b.name << ": " << b.limit; }

class MoveBadSettings : public testing::TestWithParam<BadSettings> {};

// Settings that cannot make a profile are named in the message, and a move with them
// reports the error step and writes nothing.
TEST_P(MoveBadSettings, NamesTheSettingAndWritesNothing) {
    const BadSettings& p = GetParam();
    const auto message = check_motion_settings(p.settings);
    ASSERT_TRUE(message.has_value());
    EXPECT_NE(message->find(std::string("\"") + p.name + "\""), std::string::npos) << *message;
    EXPECT_NE(message->find(p.limit), std::string::npos) << *message;

    ScratchDir dir;
    RecordingSteps steps;
    const MoveResult r = run_move(request(12.7, dir.file("Start.wav"), p.settings), steps);
    EXPECT_EQ(r.end, MoveResult::End::failed);
    EXPECT_EQ(r.error, *message);
    ASSERT_EQ(steps.kinds(), std::vector<std::string>{"error"});
    EXPECT_EQ(steps.events()[0].text, *message);
    EXPECT_TRUE(dir.names().empty());
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const char* const kMin = "Minimum frequency (steps/sec.)";
const char* const kMax = "Maximum frequency (steps/sec.)";
const char* const kRamp = "Time to reach max. frequency (sec.)";
const char* const kSteps = "Step motor driver dipswitch setting (steps/rev.)";
const char* const kMm = "Spindle advancement (mm/ rev.)";

INSTANTIATE_TEST_SUITE_P(
    Settings, MoveBadSettings,
    testing::Values(BadSettings{settings(50, 50, 0.1, 5000, 5), kMax, "greater than"},
                    BadSettings{settings(500, 100, 0.1, 5000, 5), kMax, "greater than"},
                    BadSettings{settings(0, 10000, 0.1, 5000, 5), kMin, "greater than 0"},
                    BadSettings{settings(-50, 10000, 0.1, 5000, 5), kMin, "greater than 0"},
                    BadSettings{settings(50, 22050, 0.1, 5000, 5), kMax, "below 22050"},
                    BadSettings{settings(50, 30000, 0.1, 5000, 5), kMax, "below 22050"},
                    BadSettings{settings(50, 10000, 0.00001, 5000, 5), kRamp,
                                "greater than 0.00001"},
                    BadSettings{settings(50, 10000, 0, 5000, 5), kRamp, "greater than 0.00001"},
                    BadSettings{settings(50, 10000, -1, 5000, 5), kRamp, "greater than 0.00001"},
                    BadSettings{settings(50, 10000, 0.1, 0, 5), kSteps, "greater than 0"},
                    BadSettings{settings(50, 10000, 0.1, -200, 5), kSteps, "greater than 0"},
                    BadSettings{settings(50, 10000, 0.1, 5000, 0), kMm, "greater than 0"},
                    BadSettings{settings(50, 10000, 0.1, 5000, -5), kMm, "greater than 0"},
                    BadSettings{settings(kNaN, 10000, 0.1, 5000, 5), kMin, "not a number"},
                    BadSettings{settings(50, kInf, 0.1, 5000, 5), kMax, "not a number"},
                    BadSettings{settings(50, 10000, kNaN, 5000, 5), kRamp, "not a number"},
                    BadSettings{settings(50, 10000, 0.1, -kInf, 5), kSteps, "not a number"},
                    BadSettings{settings(50, 10000, 0.1, 5000, kInf), kMm, "not a number"}));

TEST(Move, UsableSettingsPassTheCheck) {
    for (const MotionSettings& s : {MotionSettings{}, settings(50, 22049.99, 0.1, 5000, 5),
                                    settings(1, 2, 0.0000101, 1, 1)}) {
        EXPECT_FALSE(check_motion_settings(s).has_value()) << *check_motion_settings(s);
    }
}

struct Refused {
    double distance;
    MotionSettings settings;
    const char* message;
};

void PrintTo(const Refused& p, std::ostream* os) { *os << p.distance << " mm: " << p.message; }

class MoveRefused : public testing::TestWithParam<Refused> {};

// A move whose numbers cannot be computed, or whose sound would not fit the 32-bit size
// field of a WAV file, is refused before anything is rendered.
TEST_P(MoveRefused, BeforeRendering) {
    ScratchDir dir;
    RecordingSteps steps;
    const MoveResult r =
        run_move(request(GetParam().distance, dir.file("Fillcut.wav"), GetParam().settings), steps);
    EXPECT_EQ(r.end, MoveResult::End::failed);
    EXPECT_EQ(r.passes, 0);
    ASSERT_EQ(steps.kinds(), std::vector<std::string>{"error"});
    EXPECT_NE(steps.events()[0].text.find(GetParam().message), std::string::npos)
        << steps.events()[0].text;
    EXPECT_TRUE(dir.names().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Moves, MoveRefused,
    testing::Values(
        // 14 hours at 2 steps per second.
        Refused{100, settings(1, 2, 0.1, 5000, 5), "too long for one sound file"},
        // 3.4 hours at 10000 steps per second: just over what a WAV file holds.
        Refused{122000, {}, "too long for one sound file"},
        Refused{kNaN, {}, "distance is not a finite number"},
        Refused{kInf, {}, "distance is not a finite number"},
        Refused{1, settings(50, 10000, 0.1, 1e300, 1e-300), "not a finite number"}));

struct StopPoint {
    const char* step;  // stop when this step has been made ...
    const char* text;  // ... with this text (banners)
    int nth;           // ... for the nth time
    std::vector<std::string> kinds;
};

void PrintTo(const StopPoint& p, std::ostream* os) {
    *os << p.step << " " << p.text << " " << p.nth;
}

class MoveStop : public testing::TestWithParam<StopPoint> {};

// A stop takes effect at the next test point: no done step, no file, nothing shown
// after it, and an earlier move's file under the same name is gone once writing began.
TEST_P(MoveStop, EndsAtTheNextTestPoint) {
    const StopPoint& p = GetParam();
    ScratchDir dir;
    RecordingSteps steps;
    MoveRequest r = request(12.7, dir.file("Fillcut.wav"));
    int seen = 0;
    steps.on_event = [&](const Event& e) {
        if (e.kind == p.step && e.text == p.text && ++seen == p.nth) r.stop->store(true);
    };
    const MoveResult result = run_move(r, steps);
    EXPECT_EQ(result.end, MoveResult::End::cancelled);
    EXPECT_EQ(steps.kinds(), p.kinds);
    EXPECT_TRUE(dir.names().empty());
}

const std::vector<std::string> kToWriter = {"banner", "banner", "banner", "banner", "writer_start"};

std::vector<std::string> to_progress(int n) {
    std::vector<std::string> k = kToWriter;
    k.insert(k.end(), std::size_t(n), "progress");
    return k;
}

INSTANTIATE_TEST_SUITE_P(
    Points, MoveStop,
    testing::Values(StopPoint{"banner", "Calculating phase 1 of 3", 1, {"banner"}},
                    StopPoint{"banner", "Calculating phase 2 of 3", 1, {"banner", "banner"}},
                    StopPoint{
                        "banner", "Calculating phase 3 of 3", 1, {"banner", "banner", "banner"}},
                    StopPoint{"banner", "Creating sound file, PLEASE WAIT", 1, kToWriter},
                    StopPoint{"writer_start", "", 1, kToWriter},
                    StopPoint{"progress", "", 30, to_progress(30)}));

TEST(Move, StoppedBeforeItStartsDoesNothing) {
    for (double distance : {12.7, 0.0001}) {
        ScratchDir dir;
        RecordingSteps steps;
        MoveRequest r = request(distance, dir.file("Home.wav"));
        r.stop->store(true);
        const MoveResult result = run_move(r, steps);
        EXPECT_EQ(result.end, MoveResult::End::cancelled);
        EXPECT_EQ(result.passes, 0);
        EXPECT_TRUE(steps.events().empty());
        EXPECT_TRUE(dir.names().empty());
    }
}

// The stop is tested between planning passes as well, so a stopped move does not plan
// on while a new one waits for it.
TEST(Move, StopBetweenPlanningPassesEndsThePlanning) {
    const MotionSettings s = settings(50, 22049, 0.01, 1, 1);  // plans all 21 passes
    std::atomic<bool> stop{false};
    ASSERT_EQ(plan_move(3779, s, stop).passes, 21);
    const Plan plan = plan_move(3779, s, stop, [&stop](int passes) {
        if (passes == 3) stop = true;
    });
    EXPECT_TRUE(plan.cancelled);
    EXPECT_EQ(plan.passes, 3);
}

// A move to the same file replaces it; the second file is the second move's.
TEST(Move, SecondMoveReplacesTheFile) {
    ScratchDir dir;
    RecordingSteps steps;
    const std::string file = dir.file("Pin.wav");
    ASSERT_EQ(run_move(request(12.7, file), steps).end, MoveResult::End::written);
    ASSERT_EQ(run_move(request(1, file), steps).end, MoveResult::End::written);
    EXPECT_EQ(count_pulses(read_wav(file)), 1000);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"Pin.wav"});
}

// A file that cannot be written is the writer's error step, once, and no file.
TEST(Move, UnwritableFileGivesOneErrorStep) {
    ScratchDir dir;
    RecordingSteps steps;
    const MoveResult r = run_move(request(1, dir.file("gone/Home.wav")), steps);
    EXPECT_EQ(r.end, MoveResult::End::failed);
    EXPECT_EQ(steps.count("error"), 1);
    EXPECT_EQ(steps.count("done"), 0);
    EXPECT_EQ(steps.count("log"), 0);
    EXPECT_NE(r.error.find("No such file or directory"), std::string::npos) << r.error;
}

TEST(Move, MovementPossibleFromHalfAStep) {
    const MotionSettings s = settings(50, 10000, 0.1, 1, 1);
    EXPECT_FALSE(movement_possible(0.49999999, s));
    EXPECT_TRUE(movement_possible(0.5, s));
    EXPECT_TRUE(movement_possible(1e6, s));
    EXPECT_FALSE(movement_possible(kNaN, s));
    EXPECT_DOUBLE_EQ(wanted_steps(12.7, MotionSettings{}), 12700);
}

}  // namespace
}  // namespace kerf
