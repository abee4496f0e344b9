// The sound server dies in the middle of a move. This test runs a sound server of its own
// (the process's sound connection goes to it), so it needs no test server, only pulseaudio.

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "media_player.h"
#include "own_sound_server.h"
#include "test_files.h"

namespace kerf::test {
namespace {

using State = MediaPlayer::State;

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
