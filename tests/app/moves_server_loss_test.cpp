// The sound server dies while a job's move plays: the carriage stopped somewhere on its
// way. The window must not report the move as done. This test runs a sound server of its
// own (the process's sound goes to it), so it needs only pulseaudio, not the test server.

#include <QColor>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include "image_button.h"
#include "progress_chart.h"
#include "window_fixture.h"

namespace {

class OwnSoundServer {
  public:
    OwnSoundServer() {
        QDir(dir_.path()).mkpath(QStringLiteral("runtime"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), dir_.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.filePath(QStringLiteral("runtime")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.path());
        env.remove(QStringLiteral("PULSE_SERVER"));
        process_.setProcessEnvironment(env);
        process_.start(
            QStringLiteral("pulseaudio"),
            {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
             QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
             QStringLiteral("--log-target=file:%1").arg(dir_.filePath(QStringLiteral("log"))),
             QStringLiteral("--load=module-null-sink sink_name=kerf_null rate=44100 channels=2 "
                            "format=s16le"),
             QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=%1")
                 .arg(dir_.filePath(QStringLiteral("native")))});
    }
    ~OwnSoundServer() { kill(); }
    QString server() const {
        return QStringLiteral("unix:") + dir_.filePath(QStringLiteral("native"));
    }
    bool answers() const {
        QProcess pactl;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PULSE_SERVER"), server());
        pactl.setProcessEnvironment(env);
        pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
        return pactl.waitForFinished(3000) && pactl.exitCode() == 0;
    }
    void kill() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.kill();
        process_.waitForFinished(5000);
    }

  private:
    QTemporaryDir dir_;
    QProcess process_;
};

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
