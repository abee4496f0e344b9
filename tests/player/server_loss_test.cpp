// The sound server dies in the middle of a move. This test runs a sound server of its own
// (the process's sound connection goes to it), so it needs no test server, only pulseaudio.

#include <gtest/gtest.h>

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "media_player.h"
#include "test_files.h"

namespace kerf::test {
namespace {

using State = MediaPlayer::State;

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
                 .arg(socket())});
    }
    ~OwnSoundServer() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    QString socket() const { return dir_.filePath(QStringLiteral("native")); }
    QString server() const { return QStringLiteral("unix:") + socket(); }
    bool answers() const {
        QProcess pactl;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PULSE_SERVER"), server());
        pactl.setProcessEnvironment(env);
        pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
        return pactl.waitForFinished(3000) && pactl.exitCode() == 0;
    }
    void kill() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    QString log() const {
        QFile f(dir_.filePath(QStringLiteral("log")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

  private:
    QTemporaryDir dir_;
    QProcess process_;
};

TEST(ServerLoss, AMoveCutShortIsAFailureNotAnEnd) {
    if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty()) {
        GTEST_SKIP() << "pulseaudio is not installed";
    }
    OwnSoundServer server;
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.answers(); }, 10000))
        << "the test's own sound server did not start:\n"
        << server.log().toStdString();
    // Before anything in this process talks to a sound server.
    qputenv("PULSE_SERVER", server.server().toUtf8());

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Home.wav"));
    ASSERT_EQ(write_move_file(file, 20.0).end, MoveResult::End::written);
    MediaPlayer player;
    player.setFileName(file);
    ASSERT_TRUE(player.hasMedia()) << player.lastError().toStdString();

    QSignalSpy states(&player, &MediaPlayer::stateChanged);
    player.play();
    ASSERT_EQ(player.state(), State::Playing) << player.lastError().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.currentTime() > 0; }, 10000));
    server.kill();

    ASSERT_TRUE(QTest::qWaitFor([&] { return player.state() == State::Stopped; }, 15000))
        << "the player still plays into a dead server";
    EXPECT_TRUE(player.failed());
    EXPECT_LT(player.currentTime(), player.duration());
    EXPECT_FALSE(player.lastError().isEmpty());
    ASSERT_EQ(states.count(), 2);
    EXPECT_EQ(states.at(1).at(0).value<State>(), State::Stopped);

    // Nor does the next move count as played while the server is gone.
    player.play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.state() == State::Stopped; }, 15000));
    EXPECT_TRUE(player.failed());
    EXPECT_LT(player.currentTime(), player.duration());
    EXPECT_FALSE(player.lastError().isEmpty());
}

}  // namespace
}  // namespace kerf::test
