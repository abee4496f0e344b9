// What keeps a move from starting unexpectedly or from being reported as done when it did
// not play: stale cached files, a stop while the file is handed over, files the player
// cannot load, sound that ends early, moves that cannot start, and closing the window.

#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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

// A manual move stopped before its file was written leaves the Home file of the previous
// distance in place. It must never be played for the new distance.
TEST_F(MovesTest, AFileIsNeverReplayedForADistanceItWasNotBuiltFor) {
    Tjoint_form& w = open_moves("distance=2\n");
    w.TabControl1->setCurrentWidget(w.TabItem3);
    click(w.homebutton);
    ASSERT_TRUE(wait_for_idle());
    ASSERT_EQ(file_pulses(cache("Home.wav")), steps_for(2));

    w.distance->setText(QStringLiteral("40"));
    click(w.homebutton);
    click(w.Homequit);  // stopped while it is prepared: Home.wav still holds 2 mm
    ASSERT_TRUE(wait_for_workers());
    ASSERT_EQ(file_pulses(cache("Home.wav")), steps_for(2));

    clear_banners();
    click(w.homebutton);  // 40 mm again
    EXPECT_NE(w.memplay.state(), State::Playing) << "the 2 mm file was started for 40 mm";
    ASSERT_TRUE(wait_for_idle());
    EXPECT_FALSE(planner_banners().isEmpty());
    EXPECT_EQ(file_pulses(cache("Home.wav")), steps_for(40));

    // And back: the file now holds 40 mm, so 2 mm is built anew too.
    w.distance->setText(QStringLiteral("2"));
    clear_banners();
    click(w.homebutton);
    EXPECT_NE(w.memplay.state(), State::Playing);
    ASSERT_TRUE(wait_for_idle());
    EXPECT_EQ(file_pulses(cache("Home.wav")), steps_for(2));
}

TEST_F(MovesTest, AJobFileIsNeverReplayedForAStartItWasNotBuiltFor) {
    Tjoint_form& w =
        open_moves("saw_width=3.2\ncut_width=10\npin_width=10\nno_cuts=1\nstart_x=5\n");
    click(w.startstopbutton);
    ASSERT_TRUE(wait_for_cut());
    click(w.jobquit);
    press(dialogs().front(), QMessageBox::Yes);

    w.start_x->setText(QStringLiteral("30"));
    click(w.startstopbutton);
    click(w.jobquit);  // no question while the move is prepared
    ASSERT_TRUE(wait_for_workers());
    ASSERT_EQ(file_pulses(cache("Start.wav")), steps_for(5));

    click(w.startstopbutton);
    EXPECT_NE(w.memplay.state(), State::Playing);
    ASSERT_TRUE(wait_for_cut());
    EXPECT_EQ(file_pulses(cache("Start.wav")), steps_for(30));
}

// The writer has finished and handed the file over; the operator stops before the next tick
// of filewritten. The file must not be loaded or started.
TEST_F(MovesTest, AMoveStoppedWhileItsFileIsHandedOverDoesNotStart) {
    Tjoint_form& w = open_moves("start_x=5\n");
    click(w.startstopbutton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.filewritten->isActive(); }, 30000));
    ASSERT_FALSE(w.memplay.hasMedia());
    click(w.jobquit);
    QTest::qWait(400);
    EXPECT_FALSE(w.filewritten->isActive());
    EXPECT_FALSE(w.checktimer->isActive());
    EXPECT_FALSE(w.memplay.hasMedia());
    EXPECT_EQ(w.memplay.state(), State::Stopped);
    EXPECT_TRUE(log_with(QStringLiteral(" : Playing: ")).isEmpty());
    EXPECT_EQ(w.cutlabel->text(), QStringLiteral("Job cancelled by user"));
}

// ---- Moves that did not play ----------------------------------------------------------

enum class Fault { unloadable_file, sound_ends_early };

struct FaultCase {
    const char* name;
    bool manual;
    Fault fault;
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class NotPlayed : public MovesTest, public testing::WithParamInterface<FaultCase> {};

TEST_P(NotPlayed, IsNotReportedAsDone) {
    const FaultCase& c = GetParam();
    Tjoint_form& w = open_moves("distance=5\nstart_x=5\n");
    kerf::ImageButton* run = c.manual ? w.homebutton : w.startstopbutton;
    kerf::ImageButton* stop = c.manual ? w.Homequit : w.jobquit;
    const QString file = cache(c.manual ? "Home.wav" : "Start.wav");
    w.TabControl1->setCurrentWidget(c.manual ? w.TabItem3 : w.TabItem1);

    if (c.fault == Fault::unloadable_file) {
        // A first move builds the file; then it is damaged on disk.
        click(run);
        if (c.manual) {
            ASSERT_TRUE(wait_for_idle());
        } else {
            ASSERT_TRUE(wait_for_cut());
            click(stop);
            press(dialogs().front(), QMessageBox::Yes);
        }
        QFile damaged(file);
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write("RIFF....WAVEjunk");
        damaged.close();
        click(run);  // the cached file is chosen and fails to load at once
        const QStringList critical = log_with(
            QStringLiteral(" : Wav file does exist but error loading .wav file into mediaplayer."));
        ASSERT_EQ(critical.size(), 1);
        EXPECT_TRUE(w.Calloutlabel->text().endsWith(
            QStringLiteral("Wav file does exist but error loading .wav file into mediaplayer.")));
    } else {
        click(run);
        ASSERT_TRUE(wait_for_playing());
        w.memplay.stop();  // the sound ends, but not by the operator's Stop
        ASSERT_TRUE(wait_for_banner(QStringLiteral("Error: ")));
        EXPECT_TRUE(w.cutlabel->text().contains(QStringLiteral("has not reached its place")));
        EXPECT_TRUE(log_lines().back().contains(QStringLiteral(" : Error: ")));
        EXPECT_TRUE(w.Calloutlabel->text().contains(QStringLiteral("has not reached its place")));
    }
    EXPECT_TRUE(w.cutlabel->text().startsWith(QStringLiteral("Error: ")));

    // Nothing moves on: not green, no "Continue", no chart points, no "Finished movement".
    QTest::qWait(400);
    EXPECT_TRUE(w.cutlabel->text().startsWith(QStringLiteral("Error: ")));
    EXPECT_EQ(w.banner_colour(), QColor::fromRgba(kerf::kBannerMoving));
    EXPECT_EQ(run->imageIndex(), 4);
    EXPECT_FALSE(run->isEnabled());
    EXPECT_TRUE(stop->isVisible());
    EXPECT_FALSE(w.checktimer->isActive());
    EXPECT_FALSE(w.filewritten->isActive());
    if (!c.manual) {
        EXPECT_EQ(chart_points(w).size(), 2u);
        EXPECT_EQ(w.ProgressChart->title(), QStringLiteral("Moving to Start position"));
        EXPECT_TRUE(w.start_x->isEnabled());
    }

    // Stop is the way back, without a question.
    click(stop);
    EXPECT_TRUE(dialogs().isEmpty());
    EXPECT_EQ(run->imageIndex(), 0);
    EXPECT_EQ(w.cutlabel->text(), c.manual ? QStringLiteral("Movement stopped by user")
                                           : QStringLiteral("Job cancelled by user"));

    // The next try plays (a damaged file is built anew).
    clear_banners();
    click(run);
    if (c.manual) {
        ASSERT_TRUE(wait_for_idle());
        EXPECT_EQ(w.cutlabel->text(), QStringLiteral("Finished movement"));
    } else {
        ASSERT_TRUE(wait_for_cut());
    }
    EXPECT_EQ(planner_banners().isEmpty(), c.fault == Fault::sound_ends_early);
    EXPECT_EQ(file_pulses(file), steps_for(5));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NotPlayed,
    testing::Values(FaultCase{"JobUnloadableFile", false, Fault::unloadable_file},
                    FaultCase{"ManualUnloadableFile", true, Fault::unloadable_file},
                    FaultCase{"JobSoundEndsEarly", false, Fault::sound_ends_early},
                    FaultCase{"ManualSoundEndsEarly", true, Fault::sound_ends_early}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MovesTest, AMoveThatCannotBeWrittenWaitsForStop) {
    // The data folder cannot be made: something that is not a folder has its name.
    QFile blocker(home_->path() + QStringLiteral("/blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_DATA_HOME", blocker.fileName().toUtf8());
    Tjoint_form& w = open_moves("start_x=5\n");
    click(w.startstopbutton);
    EXPECT_TRUE(w.cutlabel->text().startsWith(QStringLiteral("Error: ")));
    EXPECT_TRUE(w.cutlabel->text().contains(QStringLiteral("blocked")));
    EXPECT_TRUE(log_lines().back().contains(QStringLiteral(" : Error: ")));
    QTest::qWait(300);
    EXPECT_EQ(w.startstopbutton->imageIndex(), 4);
    EXPECT_EQ(w.banner_colour(), QColor::fromRgba(kerf::kBannerMoving));
    click(w.jobquit);
    EXPECT_EQ(w.startstopbutton->imageIndex(), 0);
    EXPECT_EQ(w.cutlabel->text(), QStringLiteral("Job cancelled by user"));
}

// ---- Closing the window ---------------------------------------------------------------

enum class Moment { planning, writing, playing };
void PrintTo(Moment m, std::ostream* os) {
    *os << (m == Moment::planning ? "planning" : m == Moment::writing ? "writing" : "playing");
}

class CloseWhile : public MovesTest, public testing::WithParamInterface<Moment> {};

TEST_P(CloseWhile, SilencesStopsAndLeavesNoPartialFile) {
    // A long move at slow settings, so that planning and writing take a while.
    Tjoint_form& w =
        open_moves(GetParam() == Moment::playing
                       ? QByteArray("distance=5\n")
                       : QByteArray("distance=3000\nminfreq=50\nmaxfreq=10000\nst_time=0.1\n"
                                    "steps_rev=5000\nmm_rev=5\n"));
    w.TabControl1->setCurrentWidget(w.TabItem3);
    click(w.homebutton);
    switch (GetParam()) {
        case Moment::planning:
            QTest::qWait(50);
            ASSERT_FALSE(w.filewritten->isActive());
            break;
        case Moment::writing:
            ASSERT_TRUE(QTest::qWaitFor([&] { return w.ProgressBar2->value() > 0; }, 60000));
            break;
        case Moment::playing:
            ASSERT_TRUE(wait_for_playing());
            break;
    }
    QElapsedTimer closing;
    closing.start();
    EXPECT_TRUE(w.close());
    EXPECT_LT(closing.elapsed(), 5000);
    EXPECT_EQ(w.memplay.state(), State::Stopped);
    EXPECT_EQ(kerf::running_moves(), 0);
    if (GetParam() != Moment::playing) {
        EXPECT_EQ(QDir(data_dir()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
    window_.reset();  // the window goes; nothing of the move outlives it
    QTest::qWait(200);
    EXPECT_EQ(kerf::running_moves(), 0);
}

INSTANTIATE_TEST_SUITE_P(Moments, CloseWhile,
                         testing::Values(Moment::planning, Moment::writing, Moment::playing),
                         [](const auto& info) {
                             return info.param == Moment::planning  ? "Planning"
                                    : info.param == Moment::writing ? "Writing"
                                                                    : "Playing";
                         });

TEST_F(MovesTest, DestroyingTheWindowDuringAMoveReleasesItsWorker) {
    Tjoint_form& w = open_moves(
        "distance=3000\nminfreq=50\nmaxfreq=10000\nst_time=0.1\nsteps_rev=5000\nmm_rev=5\n");
    w.TabControl1->setCurrentWidget(w.TabItem3);
    click(w.homebutton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.ProgressBar2->value() > 0; }, 60000));
    window_.reset();
    EXPECT_TRUE(wait_for_workers());
    EXPECT_EQ(QDir(data_dir()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// ---- The settings file on a fresh account -------------------------------------------

TEST_F(WindowTest, SavingCreatesAMissingConfigurationFolder) {
    ASSERT_TRUE(QDir(config_dir()).removeRecursively());
    Tjoint_form& w = open();
    w.TabControl1->setCurrentWidget(w.TabItem2);
    QTest::mouseClick(w.Saveset, Qt::LeftButton);
    ASSERT_EQ(dialogs().size(), 1);
    EXPECT_EQ(dialogs().front()->text(), QStringLiteral("Settings saved"));
    EXPECT_EQ(ini_value(QStringLiteral("saw_width")), QStringLiteral("3.2"));
}

}  // namespace

// A stop, and at once a new move: nothing of the stopped move may act on the new one. A tick
// of the stopped move's timers that came after the new request would otherwise load the
// file of the stopped move (already in place, for another distance) or take the new move,
// still being prepared, for one that has ended.
class StopThenNewMove : public MovesTest, public testing::WithParamInterface<bool> {};

TEST_P(StopThenNewMove, TheNewMoveIsPlayedOnceItsOwnFileIsReady) {
    const bool while_playing = GetParam();
    Tjoint_form& w = open_moves("distance=40\n");
    w.TabControl1->setCurrentWidget(w.TabItem3);
    QStringList banner_at_play;
    QObject::connect(&w.memplay, &kerf::MediaPlayer::stateChanged, &w, [&](State state) {
        if (state == State::Playing) banner_at_play << w.cutlabel->text();
    });

    click(w.homebutton);
    if (while_playing) {
        ASSERT_TRUE(wait_for_playing());
    } else {
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.filewritten->isActive(); }, 30000));
    }
    banner_at_play.clear();
    click(w.Homequit);
    w.distance->setText(QStringLiteral("3"));
    clear_banners();
    click(w.homebutton);  // within the same tick as the stop
    ASSERT_TRUE(wait_for_idle());
    EXPECT_EQ(w.cutlabel->text(), QStringLiteral("Finished movement"))
        << banners().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(banners().filter(QStringLiteral("Error: ")).isEmpty())
        << banners().join(QLatin1Char('|')).toStdString();
    // Played once, and only after the writer had reported the new file.
    EXPECT_EQ(banner_at_play, QStringList({QStringLiteral("Moving, do not cut")}));
    EXPECT_EQ(file_pulses(cache("Home.wav")), steps_for(3));
}

INSTANTIATE_TEST_SUITE_P(Moments, StopThenNewMove, testing::Bool(), [](const auto& info) {
    return info.param ? "StoppedWhilePlaying" : "StoppedWhileHandedOver";
});
