// Playing through the real sound server: the test server's null sink kerf_null is
// recorded through its monitor, and the recording is compared with the file frame for
// frame. scripts/test starts the server; without one these tests are skipped.

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>

#include "media_player.h"
#include "sound_server.h"
#include "test_files.h"

namespace kerf::test {
namespace {

using State = MediaPlayer::State;

// One buffer of the sound server and a little more: how far sound may run on after a stop.
constexpr std::int64_t kServerLatencyFrames = 11025;  // 250 ms
// Silence that separates two playbacks in a recording (padding makes it longer).
constexpr std::int64_t kGapFrames = 4410;
constexpr int kTimeoutMs = 20000;

struct Move {
    QString path;
    WavData wav;
    std::int64_t pulses = 0;
};

class PlaybackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString problem = sound_server_problem();
        if (!problem.isEmpty()) GTEST_SKIP() << problem.toStdString();
        ASSERT_TRUE(dir.isValid());
    }

    Move make_move(const char* name, double mm) {
        Move m;
        m.path = dir.filePath(QString::fromUtf8(name));
        const MoveResult r = write_move_file(m.path, mm);
        EXPECT_EQ(r.end, MoveResult::End::written) << r.error;
        m.wav = read_wav(m.path.toStdString());
        m.pulses = r.pulses;
        return m;
    }

    std::unique_ptr<MonitorRecorder> record(int latency_ms) {
        auto recorder = std::make_unique<MonitorRecorder>(
            dir.filePath(QStringLiteral("monitor.wav")), latency_ms);
        EXPECT_TRUE(recorder->started()) << recorder->why().toStdString();
        return recorder;
    }

    // Plays to the end; checks along the way that the position only grows and never
    // reports the end before the player does.
    void play_to_end(MediaPlayer& player) {
        QSignalSpy states(&player, &MediaPlayer::stateChanged);
        player.play();
        ASSERT_EQ(player.state(), State::Playing) << player.lastError().toStdString();
        qint64 last = 0;
        const bool ended = QTest::qWaitFor(
            [&] {
                if (player.state() != State::Playing) return true;
                const qint64 now = player.currentTime();
                EXPECT_GE(now, last);
                EXPECT_LT(now, player.duration()) << "end reported while still playing";
                last = now;
                return false;
            },
            kTimeoutMs);
        ASSERT_TRUE(ended) << "playback did not end";
        ASSERT_EQ(states.count(), 2);
        EXPECT_EQ(states.at(0).at(0).value<State>(), State::Playing);
        EXPECT_EQ(states.at(1).at(0).value<State>(), State::Stopped);
        EXPECT_EQ(player.currentTime(), player.duration());
        EXPECT_FALSE(player.failed()) << player.lastError().toStdString();
        EXPECT_TRUE(player.lastError().isEmpty());
    }

    QTemporaryDir dir;
};

// Index of the first frame with sound.
std::int64_t first_sound(const WavData& wav) {
    const auto it =
        std::find_if(wav.samples.begin(), wav.samples.end(), [](std::int16_t s) { return s != 0; });
    return std::int64_t(it - wav.samples.begin()) / wav.channels;
}

// Expects the file's frames [0, frames) to stand in the recording where the stretch
// begins, sample for sample; returns the number of frames that match.
std::int64_t expect_file_at(const WavData& rec, const Stretch& stretch, const WavData& file,
                            std::int64_t frames) {
    const std::int64_t offset = stretch.begin - first_sound(file);
    EXPECT_GE(offset, 0) << "the file's first samples are missing";
    for (std::int64_t f = 0; f < frames; ++f) {
        const std::int64_t r = offset + f;
        for (int c = 0; c < 2; ++c) {
            const int want = file.samples[f * 2 + c];
            const int got = r >= 0 && r < rec.frames() ? rec.samples[r * 2 + c] : 0;
            if (want != got) {
                ADD_FAILURE() << "frame " << f << " of " << file.frames() << ", channel " << c
                              << ": recorded " << got << ", the file holds " << want
                              << " (lost or altered: the sink's volume must be 100% and nothing "
                                 "else may play into kerf_null)";
                return f;
            }
        }
    }
    return frames;
}

// Pulses of the file's first frames as they sound: followed by silence. A signal that
// stops above zero falls back to silence, which the counting rule takes for one more
// pulse (the writer's files end on the first sample at or above zero).
std::int64_t pulses_as_played(const WavData& wav, std::int64_t frames) {
    WavData part;
    part.channels = 2;
    part.sample_rate = wav.sample_rate;
    frames = std::min(frames, wav.frames());
    part.samples.assign(wav.samples.begin(), wav.samples.begin() + frames * 2);
    part.samples.insert(part.samples.end(), {0, 0});
    return count_pulses(part);
}
std::int64_t pulses_as_played(const WavData& wav) { return pulses_as_played(wav, wav.frames()); }

// The sink's latency follows the recorder's; a fresh stream loses more of its start
// when the sink runs with a longer latency.
class EveryPulse : public PlaybackTest, public ::testing::WithParamInterface<int> {};

TEST_P(EveryPulse, ReachesTheSoundCardUnchanged) {
    const Move move = make_move("Fillcut.wav", 5.0);
    MediaPlayer player;
    player.setFileName(move.path);
    ASSERT_TRUE(player.hasMedia()) << player.lastError().toStdString();
    ASSERT_EQ(player.duration(), move.wav.frames());

    auto recorder = record(GetParam());
    if (HasFailure()) return;
    play_to_end(player);
    const WavData rec = recorder->finish();

    EXPECT_EQ(count_pulses(rec), pulses_as_played(move.wav));
    EXPECT_TRUE(is_antiphase(rec));
    const auto stretches = sound_stretches(rec, kGapFrames);
    ASSERT_EQ(stretches.size(), 1u);
    expect_file_at(rec, stretches[0], move.wav, move.wav.frames());
}

INSTANTIATE_TEST_SUITE_P(RecorderLatency, EveryPulse, ::testing::Values(20, 300),
                         [](const auto& info) { return std::to_string(info.param) + "ms"; });

TEST_F(PlaybackTest, PlaysAgainFromTheStartAndTheNextFileAfterIt) {
    const Move a = make_move("Start.wav", 1.0);
    const Move b = make_move("Pin.wav", 2.5);
    MediaPlayer player;
    auto recorder = record(20);
    if (HasFailure()) return;

    player.setFileName(a.path);
    play_to_end(player);
    play_to_end(player);
    player.clear();
    player.setFileName(b.path);
    play_to_end(player);
    const WavData rec = recorder->finish();

    EXPECT_EQ(count_pulses(rec), 2 * pulses_as_played(a.wav) + pulses_as_played(b.wav));
    EXPECT_TRUE(is_antiphase(rec));
    const auto stretches = sound_stretches(rec, kGapFrames);
    ASSERT_EQ(stretches.size(), 3u);
    expect_file_at(rec, stretches[0], a.wav, a.wav.frames());
    expect_file_at(rec, stretches[1], a.wav, a.wav.frames());
    expect_file_at(rec, stretches[2], b.wav, b.wav.frames());
}

// Ways the sound must end at once in the middle of a move: the operator's stop, a new
// move clearing the player, the window closing.
enum class Halt { stop, clear, destroy };
void PrintTo(Halt h, std::ostream* os) {
    *os << (h == Halt::stop ? "stop" : h == Halt::clear ? "clear" : "destroy");
}

class HaltTest : public PlaybackTest, public ::testing::WithParamInterface<Halt> {};

TEST_P(HaltTest, NothingSoundsBeyondTheMoment) {
    const Move move = make_move("Home.wav", 20.0);
    auto player = std::make_unique<MediaPlayer>();
    player->setFileName(move.path);
    ASSERT_TRUE(player->hasMedia()) << player->lastError().toStdString();
    auto recorder = record(20);
    if (HasFailure()) return;

    QSignalSpy states(player.get(), &MediaPlayer::stateChanged);
    player->play();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return player->currentTime() > move.wav.frames() / 3; }, kTimeoutMs));
    ASSERT_EQ(player->state(), State::Playing);
    const qint64 before = player->currentTime();
    qint64 at = before;
    switch (GetParam()) {
        case Halt::stop:
            player->stop();
            EXPECT_EQ(player->state(), State::Stopped);
            EXPECT_FALSE(player->failed());
            at = player->currentTime();
            EXPECT_GE(at, before);
            EXPECT_LT(at, player->duration());
            EXPECT_TRUE(player->hasMedia());
            break;
        case Halt::clear:
            player->clear();
            EXPECT_EQ(player->state(), State::Stopped);
            EXPECT_FALSE(player->hasMedia());
            EXPECT_EQ(player->currentTime(), 0);
            break;
        case Halt::destroy:
            player.reset();
            break;
    }
    if (player) {
        ASSERT_EQ(states.count(), 2);
        EXPECT_EQ(states.at(1).at(0).value<State>(), State::Stopped);
    }
    const WavData rec = recorder->finish();

    const auto stretches = sound_stretches(rec, kGapFrames);
    ASSERT_EQ(stretches.size(), 1u) << "sound after the halt";
    const std::int64_t offset = stretches[0].begin - first_sound(move.wav);
    const std::int64_t played = stretches[0].end - offset;  // file frames that sounded
    EXPECT_LE(played, at + kServerLatencyFrames) << "sound ran on after the halt";
    EXPECT_GE(played, before - kServerLatencyFrames) << "the position ran ahead of the sound";
    EXPECT_EQ(expect_file_at(rec, stretches[0], move.wav, played), played);
    EXPECT_LE(count_pulses(rec), pulses_as_played(move.wav, at + kServerLatencyFrames));
    EXPECT_LT(count_pulses(rec), move.pulses);
    EXPECT_TRUE(is_antiphase(rec));
}

INSTANTIATE_TEST_SUITE_P(Ways, HaltTest, ::testing::Values(Halt::stop, Halt::clear, Halt::destroy),
                         [](const auto& info) { return ::testing::PrintToString(info.param); });

}  // namespace
}  // namespace kerf::test
