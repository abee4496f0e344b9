// The WAV writer: exact bytes, progress points, pulse count, cancellation and errors,
// and that no partial file is ever left under the file's name.

#include "wav_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "chirp.h"
#include "recording_steps.h"
#include "scratch_dir.h"
#include "wav_reader.h"

namespace kerf {
namespace {

using test::Event;
using test::RecordingSteps;
using test::ScratchDir;
namespace fs = std::filesystem;

std::vector<unsigned char> header(std::uint32_t data_bytes) {
    const auto le = [](std::uint32_t v) {
        return std::vector<unsigned char>{static_cast<unsigned char>(v & 0xFF),
                                          static_cast<unsigned char>((v >> 8) & 0xFF),
                                          static_cast<unsigned char>((v >> 16) & 0xFF),
                                          static_cast<unsigned char>((v >> 24) & 0xFF)};
    };
    std::vector<unsigned char> h;
    const auto add = [&h](const std::vector<unsigned char>& b) {
        h.insert(h.end(), b.begin(), b.end());
    };
    add({'R', 'I', 'F', 'F'});
    add(le(36 + data_bytes));
    add({'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    add(le(16));
    add({1, 0, 2, 0});  // PCM, two channels
    add(le(44100));
    add(le(176400));
    add({4, 0, 16, 0});  // block align 4, 16 bits
    add({'d', 'a', 't', 'a'});
    add(le(data_bytes));
    return h;
}

// A sweep as the planner renders it: up from 50 to 2000 steps/s.
SampleStream sweep_samples(double seconds, std::int32_t& pulses) {
    SampleStream s;
    double timebase = 0, ddt = 0, remnant = 0;
    std::int16_t old = 0;
    bool counted = false;
    pulses = 0;
    chirp(0, 50, seconds, 2000, kSamplePeriod, 1, 0, timebase, kAmplitude, ddt, s, false, true,
          true, remnant, old, counted, pulses);
    return s;
}

class WavWriter : public testing::Test {
  protected:
    ScratchDir dir;
    RecordingSteps steps;
    std::atomic<bool> stop{false};
    std::string name = dir.file("Pin.wav");
};

TEST_F(WavWriter, FourByteStreamGivesThe52ByteFile) {
    const WriteResult r = writestreamtofile({0, 9000}, stop, name, steps);
    EXPECT_TRUE(r.complete);
    auto expected = header(8);
    for (unsigned char b : {0x00, 0x00, 0x00, 0x00,     // 0, -0
                            0x28, 0x23, 0xD8, 0xDC}) {  // 9000, -9000
        expected.push_back(b);
    }
    EXPECT_EQ(test::read_bytes(name), expected);
    EXPECT_EQ(steps.kinds(), (std::vector<std::string>{"writer_start", "done"}));
    EXPECT_EQ(steps.events().back().text, name);
}

TEST_F(WavWriter, EmptyStreamGivesTheHeaderAloneAndIsComplete) {
    const WriteResult r = writestreamtofile({}, stop, name, steps);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.pulses, 0);
    EXPECT_EQ(test::read_bytes(name), header(0));
    EXPECT_EQ(steps.kinds(), (std::vector<std::string>{"writer_start", "done"}));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"Pin.wav"});
}

// A one-second move: 44100 samples, 176400 bytes of frames, antiphase channels, and
// the pulses counted while writing are those the sweep counted and those in the file.
TEST_F(WavWriter, OneSecondMoveHoldsItsFramesAndPulses) {
    SampleStream s(44100);
    std::int32_t rendered = 0;
    const SampleStream sweep = sweep_samples(0.9, rendered);
    ASSERT_LT(sweep.size(), s.size());
    std::copy(sweep.begin(), sweep.end(), s.begin());  // the rest stays silent
    const WriteResult r = writestreamtofile(s, stop, name, steps);

    ASSERT_TRUE(r.complete);
    EXPECT_EQ(fs::file_size(name), 176444u);
    EXPECT_EQ(r.pulses, rendered);
    EXPECT_GT(rendered, 100);
    const Event done = steps.events().back();
    EXPECT_EQ(done.kind, "done");
    EXPECT_EQ(done.pulses, rendered);

    const WavData wav = read_wav(name);
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.sample_rate, 44100);
    EXPECT_EQ(wav.frames(), 44100);
    EXPECT_EQ(count_pulses(wav), rendered);
    EXPECT_TRUE(is_antiphase(wav));
    const auto bytes = test::read_bytes(name);
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.begin() + 44), header(176400));
}

struct Progress {
    std::size_t samples;
    int points;
};

void PrintTo(const Progress& p, std::ostream* os) { *os << p.samples << " samples"; }

class WavWriterProgress : public testing::TestWithParam<Progress> {};

// Progress where the position in the mono stream, in bytes, modulo a hundredth of the
// stream is 1 or 2: about 100 times, none for a stream under 300 bytes.
TEST_P(WavWriterProgress, ReportsAboutAHundredTimes) {
    ScratchDir dir;
    RecordingSteps steps;
    std::atomic<bool> stop{false};
    const WriteResult r = writestreamtofile(SampleStream(GetParam().samples, std::int16_t{5}), stop,
                                            dir.file("a.wav"), steps);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(steps.count("progress"), GetParam().points);
    EXPECT_EQ(steps.kinds().back(), "done");
}

INSTANTIATE_TEST_SUITE_P(StreamSizes, WavWriterProgress,
                         testing::Values(Progress{0, 0}, Progress{1, 0}, Progress{149, 0},
                                         Progress{150, 100}, Progress{199, 133}, Progress{200, 100},
                                         Progress{44100, 100}, Progress{44101, 101},
                                         Progress{50050, 100}, Progress{250000, 100}));

// Writing a file that already exists replaces it, as does a temporary file left over.
TEST_F(WavWriter, ReplacesAnEarlierFile) {
    test::write_bytes(name, std::vector<unsigned char>(1000, 0xAB));
    test::write_bytes(name + ".part", std::vector<unsigned char>(3000, 0xCD));
    const WriteResult r = writestreamtofile({1, 2, 3}, stop, name, steps);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(fs::file_size(name), 44u + 12u);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"Pin.wav"});
}

struct StopAt {
    const char* step;  // stop when this step has been made ...
    int nth;           // ... for the nth time
    std::size_t samples;
    bool stop_before;  // or stop before writing at all
};

void PrintTo(const StopAt& p, std::ostream* os) {
    *os << (p.stop_before ? "before writing" : p.step) << " " << p.nth;
}

class WavWriterStop : public testing::TestWithParam<StopAt> {};

// A stop at a progress point or after the last frame leaves no file, neither the new
// one nor one of an earlier move under the same name, and no done step.
TEST_P(WavWriterStop, LeavesNoFileAndNoDoneStep) {
    const StopAt& p = GetParam();
    ScratchDir dir;
    RecordingSteps steps;
    std::atomic<bool> stop{p.stop_before};
    const std::string name = dir.file("Fillcut.wav");
    test::write_bytes(name, header(0));  // an earlier move's file
    int seen = 0;
    steps.on_event = [&](const Event& e) {
        if (e.kind == p.step && ++seen == p.nth) stop = true;
    };
    const WriteResult r =
        writestreamtofile(SampleStream(p.samples, std::int16_t{0}), stop, name, steps);
    EXPECT_FALSE(r.complete);
    EXPECT_TRUE(r.error.empty());
    EXPECT_EQ(steps.count("done"), 0);
    EXPECT_EQ(steps.count("error"), 0);
    EXPECT_TRUE(dir.names().empty()) << dir.names().front();
}

INSTANTIATE_TEST_SUITE_P(
    Points, WavWriterStop,
    testing::Values(StopAt{"writer_start", 1, 44100, false}, StopAt{"progress", 1, 44100, false},
                    StopAt{"progress", 60, 44100, false},
                    StopAt{"progress", 100, 44100, false},  // the last one
                    StopAt{"none", 0, 100, true},           // tested after the last frame
                    StopAt{"none", 0, 0, true}));

// A stop at a progress point leaves the pulses written so far in the result.
TEST_F(WavWriter, StopKeepsThePulsesWrittenSoFar) {
    std::int32_t rendered = 0;
    const SampleStream s = sweep_samples(1.0, rendered);
    int seen = 0;
    steps.on_event = [&](const Event& e) {
        if (e.kind == "progress" && ++seen == 50) stop = true;
    };
    const WriteResult r = writestreamtofile(s, stop, name, steps);
    EXPECT_FALSE(r.complete);
    EXPECT_GT(r.pulses, 0);
    EXPECT_LT(r.pulses, rendered);
}

struct Unwritable {
    const char* what;
    std::string (*path)(const ScratchDir&);
    const char* reason;  // the platform's message for it
};

void PrintTo(const Unwritable& p, std::ostream* os) { *os << p.what; }

class WavWriterUnwritable : public testing::TestWithParam<Unwritable> {};

// A file that cannot be made gives the error step with the platform's message and the
// file's name, and leaves nothing behind.
TEST_P(WavWriterUnwritable, GivesTheErrorStepAndNoFile) {
    ScratchDir dir;
    RecordingSteps steps;
    std::atomic<bool> stop{false};
    const std::string name = GetParam().path(dir);
    const auto before = dir.names();
    const WriteResult r = writestreamtofile(SampleStream(1000, std::int16_t{3}), stop, name, steps);
    EXPECT_FALSE(r.complete);
    ASSERT_EQ(steps.count("error"), 1);
    const Event error = steps.events().back();
    EXPECT_EQ(error.kind, "error");
    EXPECT_EQ(error.text, r.error);
    EXPECT_NE(error.text.find(name), std::string::npos) << error.text;
    EXPECT_NE(error.text.find(GetParam().reason), std::string::npos) << error.text;
    EXPECT_EQ(steps.count("done"), 0);
    EXPECT_FALSE(fs::exists(name + ".part"));
    EXPECT_EQ(dir.names(), before);
}

INSTANTIATE_TEST_SUITE_P(Paths, WavWriterUnwritable,
                         testing::Values(Unwritable{"missing folder",
                                                    [](const ScratchDir& d) {
                                                        return d.file("no-such-folder/Home.wav");
                                                    },
                                                    "No such file or directory"},
                                         Unwritable{"name of a folder",
                                                    [](const ScratchDir& d) {
                                                        fs::create_directory(d.path() / "Home.wav");
                                                        return d.file("Home.wav");
                                                    },
                                                    "Is a directory"}));

// A write that fails half way (here: the file size limit) is an error, not a short file.
TEST_F(WavWriter, FailedWriteLeavesNoFile) {
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const WriteResult r =
        writestreamtofile(SampleStream(100000, std::int16_t{3}), stop, name, steps);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(r.complete);
    EXPECT_NE(r.error.find("File too large"), std::string::npos) << r.error;
    EXPECT_EQ(steps.count("error"), 1);
    EXPECT_EQ(steps.count("done"), 0);
    EXPECT_TRUE(dir.names().empty());
}

}  // namespace
}  // namespace kerf
