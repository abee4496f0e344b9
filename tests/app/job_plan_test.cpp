// The plan of a joint job: fill moves per cut, refused values, the stage walk, the titles.

#include "job_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace kerf {
namespace {

struct FillCase {
    const char* name;
    double saw, cut;
    int w;
    double fill;
};

class FillPlanTest : public testing::TestWithParam<FillCase> {};

TEST_P(FillPlanTest, CountsAndLength) {
    const FillCase& c = GetParam();
    const FillPlan plan = plan_fill(c.cut, c.saw);
    EXPECT_EQ(plan.w_Counter, c.w);
    EXPECT_NEAR(plan.fill_cut, c.fill, 1e-12);
    if (plan.w_Counter > 0) {
        // The fill moves widen the kerf exactly to the cut width.
        EXPECT_NEAR(c.saw + plan.w_Counter * plan.fill_cut, c.cut, 1e-9);
        // No fill move is wider than the saw (beyond the 0.001 allowance).
        EXPECT_LE(plan.fill_cut, c.saw * 1.001 + 1e-12);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FillPlanTest,
    testing::Values(FillCase{"SawEqualsCut", 3.2, 3.2, 0, 0.0},
                    FillCase{"JustAboveTwo", 3.2, 10, 3, 6.8 / 3},
                    FillCase{"ExactlyTwo", 2.5, 7.5, 2, 2.5},
                    // x = 2.5 rounds to 2 (tie to even), then is raised by the 0.001 test.
                    FillCase{"TieRoundsToEvenThenUp", 2, 7, 3, 5.0 / 3},
                    // x = 3.5 rounds to 4 (tie to even): not raised.
                    FillCase{"TieToEvenAbove", 2, 9, 4, 7.0 / 4},
                    // Less than 0.001 above 2: stays 2.
                    FillCase{"WithinAllowance", 1, 3.0005, 2, 2.0005 / 2},
                    FillCase{"JustOverAllowance", 1, 3.002, 3, 2.002 / 3},
                    FillCase{"CutNarrowerWithinTolerance", 3.2, 3.2 - 5e-6, 0, 0.0},
                    FillCase{"OneFill", 3, 5, 1, 2.0}),
    [](const auto& info) { return std::string(info.param.name); });

struct RejectCase {
    const char* name;
    double saw, cut, pin;
    int cuts;
    const char* message;  // "" when accepted
};

class RejectTest : public testing::TestWithParam<RejectCase> {};

TEST_P(RejectTest, Message) {
    const RejectCase& c = GetParam();
    const auto message = reject_job(c.saw, c.cut, c.pin, c.cuts);
    if (std::string(c.message).empty()) {
        EXPECT_FALSE(message.has_value()) << *message;
    } else {
        ASSERT_TRUE(message.has_value());
        EXPECT_EQ(*message, c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RejectTest,
    testing::Values(
        RejectCase{"Good", 3.2, 10, 10, 2, ""},
        RejectCase{"SawWithinToleranceOfCut", 3.2 + 9e-6, 3.2, 10, 1, ""},
        RejectCase{"SawBigger", 3.3, 3.2, 10, 1, "Saw width 3.30 is bigger than cut width 3.20"},
        // The size test comes first, even when a value is also zero or negative.
        RejectCase{"SawBiggerThanZeroCut", 3.2, 0, 10, 1,
                   "Saw width 3.20 is bigger than cut width 0.00"},
        RejectCase{"NoCuts", 3.2, 10, 10, 0, "Please do not enter numbers less than or equal zero"},
        RejectCase{"NegativeCuts", 3.2, 10, 10, -3,
                   "Please do not enter numbers less than or equal zero"},
        RejectCase{"ZeroSaw", 0, 10, 10, 1, "Please do not enter numbers less than or equal zero"},
        RejectCase{"ZeroPin", 3.2, 10, 0, 1, "Please do not enter numbers less than or equal zero"},
        RejectCase{"NegativeBoth", -1, -1, 10, 1,
                   "Please do not enter numbers less than or equal zero"},
        RejectCase{"TinySawHugeCut", 1e-5, 1e6, 10, 1,
                   "Saw width 0.00 is too small for cut width 1000000.00: a cut would need more "
                   "than 2147483646 fill moves"}),
    [](const auto& info) { return std::string(info.param.name); });

// The moves of a job, stage 2 on, as "F<cut>.<fill>", "P<cut>" and "E".
std::vector<std::string> stages_of(int w, int cuts) {
    std::vector<std::string> out;
    for (std::int64_t stage = 2;; ++stage) {
        const Stage s = walk_stages(stage, w, cuts);
        EXPECT_EQ(s.processcounter, stage) << "stage " << stage;
        switch (s.kind) {
            case StageKind::fill:
                out.push_back("F" + std::to_string(s.cut_counter) + "." +
                              std::to_string(s.fast_counter));
                break;
            case StageKind::pin:
                out.push_back("P" + std::to_string(s.cut_counter));
                break;
            case StageKind::end:
                out.push_back("E");
                return out;
            case StageKind::none:
                out.push_back("none");
                return out;
        }
        if (out.size() > 100) return out;
    }
}

struct WalkCase {
    const char* name;
    int w, cuts;
    std::vector<std::string> stages;
};

class WalkTest : public testing::TestWithParam<WalkCase> {};

TEST_P(WalkTest, StagesInOrder) {
    const WalkCase& c = GetParam();
    EXPECT_EQ(stages_of(c.w, c.cuts), c.stages);
    // A job takes n(w+1)+1 clicks; no stage lies beyond its end.
    EXPECT_EQ(c.stages.size() + 1, std::size_t(c.cuts * (c.w + 1) + 1));
    const Stage beyond = walk_stages(c.cuts * (c.w + 1) + 2, c.w, c.cuts);
    EXPECT_EQ(beyond.kind, StageKind::none);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WalkTest,
    testing::Values(WalkCase{"TwoCutsTwoFills", 2, 2, {"F0.0", "F0.1", "P1", "F1.0", "F1.1", "E"}},
                    WalkCase{"OneCutThreeFills", 3, 1, {"F0.0", "F0.1", "F0.2", "E"}},
                    WalkCase{"NoFills", 0, 3, {"P1", "P2", "E"}},
                    WalkCase{"OneCutNoFill", 0, 1, {"E"}},
                    WalkCase{"ThreeCutsOneFill", 1, 3, {"F0.0", "P1", "F1.0", "P2", "F2.0", "E"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StageWalk, TheStartStageIsNotAWalkStage) {
    EXPECT_EQ(walk_stages(1, 3, 2).kind, StageKind::none);
    EXPECT_EQ(walk_stages(0, 3, 2).kind, StageKind::none);
}

TEST(StageWalk, ManyCutsAndFillsAreWalkedOnlyUpToTheStage) {
    // A huge plan: the walk stops at the stage asked for.
    const Stage s = walk_stages(5, 2147483646, 2147483647);
    EXPECT_EQ(s.kind, StageKind::fill);
    EXPECT_EQ(s.cut_counter, 0);
    EXPECT_EQ(s.fast_counter, 3);
}

TEST(Titles, FormatAsTheChartShowsThem) {
    EXPECT_EQ(moving_title(6.8 / 3, 2, 4, 1), "Moving 2.27 mm for cutting: 2 of 4 for cut: 1");
    EXPECT_EQ(moving_title(13.2, 1, 4, 2), "Moving 13.20 mm for cutting: 1 of 4 for cut: 2");
    EXPECT_EQ(moving_title(10, 1, 1, 2), "Moving 10.00 mm for cutting: 1 of 1 for cut: 2");
    EXPECT_EQ(in_position_title(1, 4, 1), "In Position for cutting: 1 of 4 for cut: 1");
}

}  // namespace
}  // namespace kerf
