// kerfplanner-signal --play through the test sound server: the sink kerf_null is recorded
// through its monitor while the tool plays. scripts/test starts the server; without one
// these tests are skipped.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <chrono>
#include <regex>

#include "process.h"
#include "sound_server.h"
#include "synthesis/wav_reader.h"

namespace kerf {
namespace {

using namespace std::chrono_literals;
using test::run_signal_tool;

constexpr std::int64_t kGapFrames = 4410;
constexpr std::int64_t kServerLatencyFrames = 11025;  // 250 ms

WavData frames_of(const WavData& wav, std::int64_t begin, std::int64_t end) {
    WavData part;
    part.channels = wav.channels;
    part.sample_rate = wav.sample_rate;
    part.samples.assign(wav.samples.begin() + begin * wav.channels,
                        wav.samples.begin() + end * wav.channels);
    return part;
}

class PlayTool : public testing::Test {
  protected:
    void SetUp() override {
        const QString problem = test::sound_server_problem();
        if (!problem.isEmpty()) GTEST_SKIP() << problem.toStdString();
        ASSERT_TRUE(dir_.isValid());
    }
    // Writes a move with the tool: 40 steps per millimetre.
    std::string make_move(double mm, int max_freq) {
        const std::string file = path("move.wav");
        const auto run =
            run_signal_tool({"--distance", std::to_string(mm), "--output", file, "--min-freq",
                             "1000", "--max-freq", std::to_string(max_freq), "--ramp-time", "0.01",
                             "--steps-rev", "200", "--mm-rev", "5"});
        EXPECT_EQ(run.exit_status, 0) << run.err;
        return file;
    }
    std::string path(const char* name) const {
        return dir_.filePath(QString::fromUtf8(name)).toStdString();
    }
    QTemporaryDir dir_;
};

// "played pulses=<n> frames=<n>"
bool parse_played(const std::string& out, std::int64_t& pulses, std::int64_t& frames) {
    std::smatch m;
    if (!std::regex_match(out, m, std::regex(R"(played pulses=(\d+) frames=(\d+)\n)")))
        return false;
    pulses = std::stoll(m[1]);
    frames = std::stoll(m[2]);
    return true;
}

TEST_F(PlayTool, PlaysEveryPulseAndSaysSo) {
    const std::string file = make_move(20, 20000);
    const WavData wav = read_wav(file);
    ASSERT_EQ(count_pulses(wav), 800);
    test::MonitorRecorder recorder(QString::fromStdString(path("monitor.wav")), 20);
    ASSERT_TRUE(recorder.started()) << recorder.why().toStdString();

    const auto run = run_signal_tool({"--play", file});
    EXPECT_EQ(run.exit_status, 0) << run.err;
    std::int64_t pulses = 0, frames = 0;
    ASSERT_TRUE(parse_played(run.out, pulses, frames)) << run.out;
    EXPECT_EQ(pulses, 800);
    EXPECT_EQ(frames, wav.frames());

    const WavData rec = recorder.finish();
    const auto stretches = test::sound_stretches(rec, kGapFrames);
    ASSERT_EQ(stretches.size(), 1u);
    const WavData heard = frames_of(rec, stretches[0].begin, stretches[0].end);
    EXPECT_EQ(count_pulses(heard), 800);
    EXPECT_TRUE(is_antiphase(heard));
}

TEST_F(PlayTool, CtrlCSilencesAtOnce) {
    // About two seconds of signal, interrupted in the middle.
    const std::string file = make_move(100, 2000);
    const WavData wav = read_wav(file);
    test::MonitorRecorder recorder(QString::fromStdString(path("monitor.wav")), 20);
    ASSERT_TRUE(recorder.started()) << recorder.why().toStdString();

    const auto run = run_signal_tool({"--play", file}, 1500ms);
    EXPECT_EQ(run.exit_status, 130) << run.err;
    EXPECT_NE(run.err.find("interrupted"), std::string::npos) << run.err;
    std::int64_t pulses = 0, frames = 0;
    ASSERT_TRUE(parse_played(run.out, pulses, frames)) << run.out;
    EXPECT_LT(pulses, count_pulses(wav));
    EXPECT_LT(frames, wav.frames());

    const WavData rec = recorder.finish();
    const auto stretches = test::sound_stretches(rec, kGapFrames);
    ASSERT_LE(stretches.size(), 1u);
    const std::int64_t heard = stretches.empty() ? 0 : stretches[0].end - stretches[0].begin;
    EXPECT_LE(heard, frames + kServerLatencyFrames) << "sound ran on after Ctrl-C";
    if (!stretches.empty()) {
        const WavData part = frames_of(rec, stretches[0].begin, stretches[0].end);
        EXPECT_LT(count_pulses(part), count_pulses(wav));
        EXPECT_TRUE(is_antiphase(part));
    }
}

}  // namespace
}  // namespace kerf
