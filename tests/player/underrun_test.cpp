// A feeder that falls behind leaves a gap in the step signal: the motor stalls at speed
// and loses steps. Such a playback must end as a failure, never as a move done.

#include <gtest/gtest.h>

#include <QMediaDevices>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include "audio_worker.h"
#include "sound_server.h"

namespace kerf::player {
namespace {

TEST(Underrun, AGapInTheSignalIsAFailure) {
    const QString problem = test::sound_server_problem();
    if (!problem.isEmpty()) GTEST_SKIP() << problem.toStdString();

    // Fed from this thread, so that blocking it starves the output.
    AudioWorker worker;
    QSignalSpy ended(&worker, &AudioWorker::ended);
    const QByteArray signal(44100 * 4 * 3, '\x10');  // 3 s of a quiet constant
    ASSERT_TRUE(worker.start(QMediaDevices::defaultAudioOutput(), signal, 1.0, 7).isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return worker.played() > 4410; }, 10000));
    QThread::msleep(1000);

    ASSERT_TRUE(ended.wait(10000));
    const auto outcome = ended.at(0).at(1).value<Outcome>();
    EXPECT_EQ(ended.at(0).at(0).toULongLong(), 7u);
    EXPECT_TRUE(outcome.failed);
    EXPECT_NE(outcome.error.toStdString().find("underrun"), std::string::npos)
        << outcome.error.toStdString();
    EXPECT_LT(outcome.played, signal.size() / 4);
}

}  // namespace
}  // namespace kerf::player
