// What the sound output's states mean for a move: only a playback that reaches the end
// of the file may count as a move done.

#include "playback_judge.h"

#include <gtest/gtest.h>

namespace kerf::player {
namespace {

struct Case {
    QAudio::State state;
    QAudio::Error error;
    bool delivered_all;
    bool failed;
    const char* why;  // a word the message holds
};

class JudgeOutput : public ::testing::TestWithParam<Case> {};

TEST_P(JudgeOutput, FailsExactlyWhenTheMoveCannotHavePlayed) {
    const Case& c = GetParam();
    const Judgement j = judge_output(c.state, c.error, c.delivered_all);
    EXPECT_EQ(j.failed, c.failed);
    if (c.failed) {
        EXPECT_NE(j.error.toStdString().find(c.why), std::string::npos) << j.error.toStdString();
    } else {
        EXPECT_TRUE(j.error.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    States, JudgeOutput,
    ::testing::Values(Case{QAudio::ActiveState, QAudio::NoError, false, false, ""},
                      Case{QAudio::IdleState, QAudio::NoError, true, false, ""},
                      // Running dry after the trailing silence was handed over is the normal end.
                      Case{QAudio::IdleState, QAudio::UnderrunError, true, false, ""},
                      Case{QAudio::ActiveState, QAudio::UnderrunError, true, false, ""},
                      // Running dry before that leaves a gap in the step signal.
                      Case{QAudio::IdleState, QAudio::UnderrunError, false, true, "underrun"},
                      Case{QAudio::StoppedState, QAudio::FatalError, false, true, "lost"},
                      Case{QAudio::StoppedState, QAudio::FatalError, true, true, "lost"},
                      Case{QAudio::IdleState, QAudio::IOError, false, true, "Writing"},
                      Case{QAudio::ActiveState, QAudio::IOError, true, true, "Writing"},
                      Case{QAudio::StoppedState, QAudio::OpenError, false, true, "opened"},
                      // A stop that nobody asked for: the last frames may not have been played.
                      Case{QAudio::StoppedState, QAudio::NoError, false, true, "stopped"},
                      Case{QAudio::StoppedState, QAudio::NoError, true, true, "stopped"},
                      Case{QAudio::StoppedState, QAudio::UnderrunError, true, true, "stopped"}));

}  // namespace
}  // namespace kerf::player
