// The manual move, and Stop in every state of a job or a manual move.

#include <QColor>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include "image_button.h"
#include "moves_fixture.h"
#include "progress_chart.h"
#include "synthesis/move.h"
#include "tab_control.h"

namespace {

using State = kerf::MediaPlayer::State;

TEST_F(MovesTest, ManualMoveEndsIdleWithFinishedMovement) {
    Tjoint_form& w = open_moves("distance=2\n");
    w.TabControl1->setCurrentWidget(w.TabItem3);
    click(w.homebutton);
    EXPECT_EQ(w.homebutton->imageIndex(), 4);
    EXPECT_FALSE(w.homebutton->isEnabled());
    EXPECT_TRUE(w.Homequit->isVisible());
    EXPECT_FALSE(w.TabControl1->isTabEnabled(w.TabItem1));
    EXPECT_FALSE(w.TabControl1->isTabEnabled(w.TabItem2));
    EXPECT_EQ(w.banner_colour(), QColor::fromRgba(kerf::kBannerMoving));
    ASSERT_TRUE(wait_for_banner(QStringLiteral("Finished movement")));
    ASSERT_TRUE(wait_for_idle());

    EXPECT_EQ(w.banner_colour(), QColor::fromRgba(kerf::kBannerIdle));
    EXPECT_EQ(w.homebutton->text(), QStringLiteral("Start"));
    EXPECT_EQ(w.startstopbutton->text(), QStringLiteral("Start"));
    EXPECT_TRUE(w.homebutton->isEnabled());
    EXPECT_FALSE(w.Homequit->isVisible());
    EXPECT_EQ(w.ProgressBar2->value(), 0);
    EXPECT_TRUE(w.TabControl1->isTabEnabled(w.TabItem1));
    EXPECT_TRUE(w.TabControl1->isTabEnabled(w.TabItem2));
    EXPECT_EQ(file_pulses(cache("Home.wav")), steps_for(2));
    // One line for the move; its end and its playing are not logged.
    ASSERT_EQ(log_lines().size(), 1);
    EXPECT_TRUE(log_lines().front().endsWith(QStringLiteral(" : Make movement")));
    EXPECT_EQ(banners().front(), QStringLiteral("Moving do not cut"));
    EXPECT_FALSE(planner_banners().isEmpty());
}

// The same manual move again replays the Home file; another text, or another motion
// setting, builds it anew.
struct AgainCase {
    const char* name;
    const char* second;         // text of the distance for the second move
    const char* setting_field;  // a motion setting changed between the moves, or ""
    const char* setting_text;
    bool replayed;
    double mm;  // distance the Home file holds in the end
    double steps_per_mm;
};

void PrintTo(const AgainCase& c, std::ostream* os) { *os << c.name; }

class ManualAgain : public MovesTest, public testing::WithParamInterface<AgainCase> {};

TEST_P(ManualAgain, ReplayOrRebuild) {
    const AgainCase& c = GetParam();
    Tjoint_form& w = open_moves("distance=2\n");
    w.TabControl1->setCurrentWidget(w.TabItem3);
    click(w.homebutton);
    ASSERT_TRUE(wait_for_idle());
    ASSERT_EQ(w.cutlabel->text(), QStringLiteral("Finished movement"));
    const auto first_id = file_id(cache("Home.wav"));

    w.distance->setText(QString::fromUtf8(c.second));
    if (*c.setting_field) {
        auto* field = w.findChild<TFrame1*>(QString::fromUtf8(c.setting_field));
        ASSERT_NE(field, nullptr);
        field->setText(QString::fromUtf8(c.setting_text));
    }
    clear_banners();
    click(w.homebutton);
    EXPECT_EQ(w.memplay.state() == State::Playing, c.replayed);
    ASSERT_TRUE(wait_for_idle());
    EXPECT_EQ(w.cutlabel->text(), QStringLiteral("Finished movement"));
    EXPECT_EQ(planner_banners().isEmpty(), c.replayed)
        << banners().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(file_id(cache("Home.wav")) == first_id, c.replayed);
    EXPECT_EQ(file_pulses(cache("Home.wav")), std::int64_t(std::nearbyint(c.mm * c.steps_per_mm)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ManualAgain,
    testing::Values(AgainCase{"SameText", "2", "", "", true, 2, 40},
                    AgainCase{"SameNumberOtherText", "2.0", "", "", false, 2, 40},
                    AgainCase{"OtherDistance", "3", "", "", false, 3, 40},
                    AgainCase{"StepsPerRevolutionChanged", "2", "steps_rev", "400", false, 2, 80},
                    AgainCase{"MaximumFrequencyChanged", "2", "maxfreq", "15000", false, 2, 40}),
    [](const auto& info) { return std::string(info.param.name); });

class ManualNoMovement : public MovesTest, public testing::WithParamInterface<const char*> {};

TEST_P(ManualNoMovement, FinishesWithoutSound) {
    Tjoint_form& w = open_moves(QByteArray("distance=") + GetParam() + "\n");
    w.TabControl1->setCurrentWidget(w.TabItem3);
    click(w.homebutton);
    ASSERT_TRUE(wait_for_idle());
    EXPECT_EQ(w.cutlabel->text(), QStringLiteral("Finished movement"));
    EXPECT_EQ(w.playfilename, QStringLiteral("nil"));
    EXPECT_EQ(log_with(QStringLiteral(" : Distance less than half a step. no movement.")).size(),
              1);
    EXPECT_FALSE(QFile::exists(cache("Home.wav")));
    EXPECT_TRUE(w.Calloutlabel->text().isEmpty());  // nothing critical
}

// 0.0124 mm is just under half a step at 40 steps per millimetre.
INSTANTIATE_TEST_SUITE_P(Distances, ManualNoMovement, testing::Values("0", "-3", "0.0124"),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

// ---- Stop ---------------------------------------------------------------------------------

enum class When { preparing, playing, waiting_no, waiting_yes, failed };

struct StopCase {
    const char* name;
    bool manual;
    When when;
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class StopIn : public MovesTest, public testing::WithParamInterface<StopCase> {};

TEST_P(StopIn, State) {
    const StopCase& c = GetParam();
    // A failing move: no profile can be made with this maximum frequency.
    Tjoint_form& w = open_moves(c.when == When::failed ? "distance=40\nstart_x=40\nmaxfreq=30000\n"
                                                       : "distance=40\nstart_x=40\n");
    kerf::ImageButton* run = c.manual ? w.homebutton : w.startstopbutton;
    kerf::ImageButton* stop = c.manual ? w.Homequit : w.jobquit;
    w.TabControl1->setCurrentWidget(c.manual ? w.TabItem3 : w.TabItem1);

    click(run);
    switch (c.when) {
        case When::preparing:
            break;
        case When::playing:
            ASSERT_TRUE(wait_for_playing());
            break;
        case When::waiting_no:
        case When::waiting_yes:
            ASSERT_TRUE(wait_for_cut());
            break;
        case When::failed:
            ASSERT_TRUE(wait_for_banner(QStringLiteral("Error: ")));
            EXPECT_TRUE(w.cutlabel->text().contains(QStringLiteral("22050")));
            EXPECT_TRUE(log_lines().back().contains(QStringLiteral(" : Error: ")));
            EXPECT_FALSE(w.Calloutlabel->text().isEmpty());  // critical
            // The window waits in the moving state for Stop.
            QTest::qWait(300);
            EXPECT_EQ(run->imageIndex(), 4);
            EXPECT_FALSE(run->isEnabled());
            break;
    }
    const QString banner_before = w.cutlabel->text();
    clear_banners();
    click(stop);

    if (c.when == When::waiting_no || c.when == When::waiting_yes) {
        ASSERT_EQ(dialogs().size(), 1);
        EXPECT_EQ(dialogs().front()->text(),
                  QStringLiteral("This will cancel the current job, are you sure ?"));
        EXPECT_EQ(dialogs().front()->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        if (c.when == When::waiting_no) {
            press(dialogs().front(), QMessageBox::No);
            EXPECT_EQ(w.startstopbutton->imageIndex(), 1);
            EXPECT_EQ(w.startstopbutton->text(), QStringLiteral("Continue"));
            EXPECT_TRUE(w.jobquit->isVisible());
            EXPECT_EQ(w.cutlabel->text(), banner_before);
            EXPECT_EQ(w.banner_colour(), QColor::fromRgba(kerf::kBannerCut));
            // The job goes on.
            click(w.startstopbutton);
            EXPECT_EQ(w.startstopbutton->imageIndex(), 4);
            ASSERT_TRUE(wait_for_cut());
            return;
        }
        press(dialogs().front(), QMessageBox::Yes);
    }
    EXPECT_TRUE(dialogs().isEmpty()) << "a move is stopped without a question";
    // The sound ends at the click, not a tick later.
    EXPECT_EQ(w.memplay.state(), State::Stopped);

    const QString text = c.manual ? QStringLiteral("Movement stopped by user")
                                  : QStringLiteral("Job cancelled by user");
    const auto expect_idle = [&] {
        EXPECT_EQ(w.cutlabel->text(), text);
        EXPECT_EQ(w.banner_colour(), QColor::fromRgba(kerf::kBannerIdle));
        EXPECT_EQ(w.startstopbutton->imageIndex(), 0);
        EXPECT_EQ(w.homebutton->imageIndex(), 0);
        EXPECT_TRUE(w.startstopbutton->isEnabled());
        EXPECT_TRUE(w.homebutton->isEnabled());
        EXPECT_FALSE(w.jobquit->isVisible());
        EXPECT_FALSE(w.Homequit->isVisible());
        EXPECT_FALSE(w.ProgressChart->isVisible());
        EXPECT_EQ((c.manual ? w.ProgressBar2 : w.ProgressBar1)->value(), 0);
        for (QWidget* tab : {w.TabItem1, w.TabItem2, w.TabItem3})
            EXPECT_TRUE(w.TabControl1->isTabEnabled(tab));
    };
    expect_idle();
    EXPECT_TRUE(log_lines().back().endsWith(QStringLiteral(" : ") + text));

    // Nothing of the stopped move comes back: no late banner, no playback, no file.
    ASSERT_TRUE(wait_for_workers());
    QTest::qWait(400);
    expect_idle();
    EXPECT_EQ(banners(), QStringList({text}));
    EXPECT_EQ(w.memplay.state(), State::Stopped);
    EXPECT_FALSE(w.filewritten->isActive());
    EXPECT_FALSE(w.checktimer->isActive());
    EXPECT_TRUE(log_lines().back().endsWith(QStringLiteral(" : ") + text));
    if (c.when == When::preparing || c.when == When::failed) {
        EXPECT_EQ(QDir(data_dir()).entryList(QDir::Files), QStringList());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, StopIn,
                         testing::Values(StopCase{"JobPreparing", false, When::preparing},
                                         StopCase{"JobPlaying", false, When::playing},
                                         StopCase{"JobWaitingAnswerNo", false, When::waiting_no},
                                         StopCase{"JobWaitingAnswerYes", false, When::waiting_yes},
                                         StopCase{"JobFailed", false, When::failed},
                                         StopCase{"ManualPreparing", true, When::preparing},
                                         StopCase{"ManualPlaying", true, When::playing},
                                         StopCase{"ManualFailed", true, When::failed}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MovesTest, StopWhilePlanningThenANewMoveAtOnce) {
    // A long move, stopped while its worker plans; the next move starts before that
    // worker has ended. It waits for it, then is planned, written and played alone.
    Tjoint_form& w = open_moves("distance=2000\n");
    w.TabControl1->setCurrentWidget(w.TabItem3);
    click(w.homebutton);
    QTest::qWait(20);
    click(w.Homequit);
    w.distance->setText(QStringLiteral("3"));
    clear_banners();
    click(w.homebutton);
    ASSERT_TRUE(wait_for_idle());
    EXPECT_EQ(w.cutlabel->text(), QStringLiteral("Finished movement"));
    EXPECT_EQ(file_pulses(cache("Home.wav")), steps_for(3));
    EXPECT_EQ(planner_banners().filter(QStringLiteral("Moving, do not cut")).size(), 1)
        << banners().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(w.Calloutlabel->text().isEmpty()) << w.Calloutlabel->text().toStdString();
    EXPECT_EQ(QDir(data_dir()).entryList(QDir::Files), QStringList({QStringLiteral("Home.wav")}));
}

}  // namespace
