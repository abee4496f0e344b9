// The sound server dies while a job's move plays: the carriage stopped somewhere on its
// way. The window must not report the move as done. This test runs a sound server of its
// own (the process's sound goes to it), so it needs only pulseaudio, not the test server.

#include <QColor>
#include <QLabel>
#include <QStandardPaths>
#include <QTest>

#include "image_button.h"
#include "own_sound_server.h"
#include "progress_chart.h"
#include "window_fixture.h"

namespace {

using kerf::test::OwnSoundServer;

TEST_F(WindowTest, AMoveCutShortByALostSoundServerIsNotReportedAsDone) {
    if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty())
        GTEST_SKIP() << "pulseaudio is not installed";
    OwnSoundServer server;
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.answers(); }, 10000));
    qputenv("PULSE_SERVER", server.server().toUtf8());  // before anything plays

    // A start move of 2 s of signal.
    write_ini(
        "[program]\nis_checked=1\nminfreq=1000\nmaxfreq=2000\nst_time=0.01\n"
        "steps_rev=200\nmm_rev=5\nstart_x=100\n");
    Tjoint_form& w = open();
    QTest::mouseClick(w.startstopbutton, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.memplay.currentTime() > 0; }, 30000))
        << w.cutlabel->text().toStdString();
    server.kill();

    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return w.cutlabel->text().startsWith(QStringLiteral("Error: ")); }, 20000))
        << w.cutlabel->text().toStdString();
    EXPECT_TRUE(w.cutlabel->text().contains(QStringLiteral("has not reached its place")));
    EXPECT_FALSE(w.Calloutlabel->text().isEmpty());
    QTest::qWait(300);
    EXPECT_EQ(w.banner_colour(), QColor::fromRgba(kerf::kBannerMoving));
    EXPECT_EQ(w.startstopbutton->imageIndex(), 4);
    EXPECT_FALSE(w.startstopbutton->isEnabled());
    EXPECT_EQ(w.ProgressChart->points().size(), 2);
    EXPECT_EQ(w.ProgressChart->title(), QStringLiteral("Moving to Start position"));

    QTest::mouseClick(w.jobquit, Qt::LeftButton);
    EXPECT_EQ(w.startstopbutton->imageIndex(), 0);
    EXPECT_EQ(w.cutlabel->text(), QStringLiteral("Job cancelled by user"));
}

}  // namespace
