// kerfplanner-signal as a user runs it: arguments in, one line, an exit status and a
// file out.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "process.h"
#include "synthesis/wav_reader.h"

namespace kerf {
namespace {

namespace fs = std::filesystem;
using test::run_signal_tool;
using test::ScratchDir;

struct ToolCase {
    std::string name;
    std::vector<std::string> args;  // "{out}" stands for a file in a fresh folder
    int exit_status;
    std::string out_pattern;    // the whole standard output, as a regular expression
    std::string err_contains;   // part of the error output ("" when it must be empty)
    std::optional<int> pulses;  // a file with these pulses; nothing: no file
};

void PrintTo(const ToolCase& c, std::ostream* os) { *os << c.name; }

class ToolRuns : public testing::TestWithParam<ToolCase> {};

const char* const kWritten =
    R"(steps_wanted=(\d+\.\d{4}) pulses=(\d+) frames=(\d+) seconds=(\d+\.\d{3}) passes=(\d+)\n)";

TEST_P(ToolRuns, PrintAndWriteAsDocumented) {
    const ToolCase& c = GetParam();
    ScratchDir dir;
    const std::string out_file = dir.file("move.wav");
    std::vector<std::string> args;
    for (std::string a : c.args) {
        for (std::size_t at; (at = a.find("{out}")) != std::string::npos;) {
            a.replace(at, 5, out_file);
        }
        for (std::size_t at; (at = a.find("{dir}")) != std::string::npos;) {
            a.replace(at, 5, dir.path().string());
        }
        args.push_back(a);
    }

    const auto run = run_signal_tool(args);
    EXPECT_EQ(run.exit_status, c.exit_status) << run.err;
    std::smatch match;
    EXPECT_TRUE(std::regex_match(run.out, match, std::regex(c.out_pattern)))
        << "output: " << run.out;
    if (c.err_contains.empty()) {
        EXPECT_EQ(run.err, "");
    } else {
        EXPECT_NE(run.err.find(c.err_contains), std::string::npos) << "errors: " << run.err;
    }

    if (!c.pulses) {
        EXPECT_FALSE(fs::exists(out_file));
        EXPECT_TRUE(dir.names().empty()) << "nothing may be left in the folder";
        return;
    }
    ASSERT_TRUE(fs::exists(out_file));
    EXPECT_EQ(dir.names().size(), 1u) << "only the file itself, no temporary file";
    ASSERT_EQ(match.size(), 6u);
    EXPECT_EQ(std::stoi(match[2]), *c.pulses);
    const std::int64_t frames = std::stoll(match[3]);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", double(frames) / 44100.0);
    EXPECT_EQ(match[4].str(), seconds);
    EXPECT_GE(std::stoi(match[5]), 1);
    EXPECT_LE(std::stoi(match[5]), 21);

    // The file holds what the line says: 44 header bytes and 4 bytes a frame, every
    // pulse, the channels in antiphase.
    EXPECT_EQ(fs::file_size(out_file), std::uintmax_t(44 + 4 * frames));
    const WavData wav = read_wav(out_file);
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.sample_rate, 44100);
    EXPECT_EQ(wav.frames(), frames);
    EXPECT_EQ(count_pulses(wav), *c.pulses);
    EXPECT_TRUE(is_antiphase(wav));
}

const std::string kNoOutput = "";
const std::string kNoMovement = "no movement\n";

std::string wanted(const std::string& steps) {
    return "steps_wanted=(" + steps +
           R"() pulses=(\d+) frames=(\d+) seconds=(\d+\.\d{3}) passes=(\d+)\n)";
}

INSTANTIATE_TEST_SUITE_P(
    Moves, ToolRuns,
    testing::Values(
        ToolCase{"one_mm", {"--distance", "1", "--output", "{out}"}, 0, kWritten, "", 1000},
        ToolCase{"half_inch",
                 {"--distance", "12.7", "--output", "{out}"},
                 0,
                 wanted(R"(12700\.0000)"),
                 "",
                 12700},
        ToolCase{"options_after_equals", {"--output={out}", "--distance=1"}, 0, kWritten, "", 1000},
        ToolCase{
            "other_screw_and_driver",
            {"--distance", "100", "--steps-rev", "200", "--mm-rev", "1.25", "--output", "{out}"},
            0,
            wanted(R"(16000\.0000)"),
            "",
            16000},
        ToolCase{"slow_profile",
                 {"--distance", "1", "--min-freq", "100", "--max-freq", "1000", "--ramp-time",
                  "0.5", "--output", "{out}"},
                 0,
                 kWritten,
                 "",
                 1000},
        ToolCase{"hex_and_exponent",
                 {"--distance", "1e0", "--max-freq", "0x2710", "--steps-rev", "$1388", "--output",
                  "{out}"},
                 0,
                 wanted(R"(1000\.0000)"),
                 "",
                 1000},
        ToolCase{"fraction_of_a_step",
                 {"--distance", "0.0013", "--output", "{out}"},
                 0,
                 wanted(R"(1\.3000)"),
                 "",
                 1},
        ToolCase{"under_half_a_step",
                 {"--distance", "0.0004", "--output", "{out}"},
                 0,
                 kNoMovement,
                 "",
                 {}},
        ToolCase{"zero", {"--distance", "0", "--output", "{out}"}, 0, kNoMovement, "", {}},
        ToolCase{"negative", {"--distance", "-5", "--output", "{out}"}, 0, kNoMovement, "", {}}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    BadValues, ToolRuns,
    testing::Values(ToolCase{"word_for_whole",
                             {"--distance", "1", "--max-freq", "abc", "--output", "{out}"},
                             1,
                             kNoOutput,
                             "--max-freq: 'abc' is not a valid round number",
                             {}},
                    ToolCase{"fraction_for_whole",
                             {"--distance", "1", "--steps-rev", "50.5", "--output", "{out}"},
                             1,
                             kNoOutput,
                             "--steps-rev: '50.5' is not a valid round number",
                             {}},
                    ToolCase{"whole_out_of_range",
                             {"--distance", "1", "--min-freq", "2147483648", "--output", "{out}"},
                             1,
                             kNoOutput,
                             "--min-freq: '2147483648' is not a valid round number",
                             {}},
                    ToolCase{"whole_with_trailing_space",
                             {"--distance", "1", "--max-freq", "10000 ", "--output", "{out}"},
                             1,
                             kNoOutput,
                             "--max-freq: '10000 ' is not a valid round number",
                             {}},
                    ToolCase{"decimal_comma",
                             {"--distance", "3,2", "--output", "{out}"},
                             1,
                             kNoOutput,
                             "--distance: '3,2' is not a valid floating point number",
                             {}},
                    ToolCase{"infinite_decimal",
                             {"--distance", "1", "--mm-rev", "inf", "--output", "{out}"},
                             1,
                             kNoOutput,
                             "--mm-rev: 'inf' is not a valid floating point number",
                             {}},
                    ToolCase{"empty_decimal",
                             {"--distance", "", "--output", "{out}"},
                             1,
                             kNoOutput,
                             "--distance: '' is not a valid floating point number",
                             {}},
                    ToolCase{"aliasing_max_freq",
                             {"--distance", "1", "--max-freq", "22050", "--output", "{out}"},
                             1,
                             kNoOutput,
                             "--max-freq: ",
                             {}},
                    ToolCase{"max_below_min",
                             {"--distance", "1", "--min-freq", "500", "--max-freq", "400",
                              "--output", "{out}"},
                             1,
                             kNoOutput,
                             "--max-freq: ",
                             {}},
                    ToolCase{"zero_min_freq",
                             {"--distance", "1", "--min-freq", "0", "--output", "{out}"},
                             1,
                             kNoOutput,
                             "--min-freq: ",
                             {}},
                    ToolCase{"zero_ramp_time",
                             {"--distance", "1", "--ramp-time", "0", "--output", "{out}"},
                             1,
                             kNoOutput,
                             "--ramp-time: ",
                             {}},
                    ToolCase{"zero_steps_rev",
                             {"--distance", "1", "--steps-rev", "0", "--output", "{out}"},
                             1,
                             kNoOutput,
                             "--steps-rev: ",
                             {}},
                    ToolCase{"negative_mm_rev",
                             {"--distance", "1", "--mm-rev", "-5", "--output", "{out}"},
                             1,
                             kNoOutput,
                             "--mm-rev: ",
                             {}},
                    ToolCase{"too_long_for_one_file",
                             {"--distance", "1e7", "--output", "{out}"},
                             1,
                             kNoOutput,
                             "too long",
                             {}}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    BadArguments, ToolRuns,
    testing::Values(
        ToolCase{"nothing", {}, 1, kNoOutput, "nothing to do: give --distance or --count", {}},
        ToolCase{
            "output_missing", {"--distance", "1"}, 1, kNoOutput, "--output FILE is missing", {}},
        ToolCase{"value_missing",
                 {"--output", "{out}", "--distance"},
                 1,
                 kNoOutput,
                 "--distance: the value is missing",
                 {}},
        ToolCase{"option_for_value",
                 {"--distance", "--output", "{out}"},
                 1,
                 kNoOutput,
                 "--distance: the value is missing",
                 {}},
        ToolCase{"unknown_option",
                 {"--distance", "1", "--speed", "5", "--output", "{out}"},
                 1,
                 kNoOutput,
                 "unknown option '--speed'",
                 {}},
        ToolCase{"given_twice",
                 {"--distance", "1", "--distance", "2", "--output", "{out}"},
                 1,
                 kNoOutput,
                 "--distance is given twice",
                 {}},
        ToolCase{"two_commands",
                 {"--distance", "1", "--count", "{out}"},
                 1,
                 kNoOutput,
                 "cannot be used together",
                 {}},
        ToolCase{"setting_with_count",
                 {"--count", "{out}", "--max-freq", "5"},
                 1,
                 kNoOutput,
                 "--max-freq cannot be used with --count",
                 {}},
        ToolCase{"stray_argument",
                 {"--distance", "1", "{out}"},
                 1,
                 kNoOutput,
                 "unexpected argument",
                 {}},
        ToolCase{"empty_file_name",
                 {"--distance", "1", "--output", ""},
                 1,
                 kNoOutput,
                 "--output: the file name is empty",
                 {}}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    FileErrors, ToolRuns,
    testing::Values(ToolCase{"missing_folder",
                             {"--distance", "1", "--output", "{dir}/gone/move.wav"},
                             2,
                             kNoOutput,
                             "/gone does not exist",
                             {}},
                    ToolCase{"output_is_a_folder",
                             {"--distance", "1", "--output", "{dir}"},
                             2,
                             kNoOutput,
                             "is a folder",
                             {}},
                    ToolCase{
                        "count_missing_file", {"--count", "{out}"}, 2, kNoOutput, "move.wav", {}},
                    ToolCase{"count_a_folder", {"--count", "{dir}"}, 2, kNoOutput, "folder", {}}),
    [](const auto& info) { return info.param.name; });

// --- Counting ------------------------------------------------------------------------

void put16(std::ofstream& out, std::uint16_t v) {
    out.put(char(v & 0xFF));
    out.put(char(v >> 8));
}
void put32(std::ofstream& out, std::uint32_t v) {
    put16(out, std::uint16_t(v & 0xFFFF));
    put16(out, std::uint16_t(v >> 16));
}

// A PCM WAV file of sine periods of 100 samples each.
void write_sine_wav(const std::string& path, int channels, int bits, int periods,
                    bool second_negated) {
    const int frames = periods * 100;
    const int bytes_per_sample = bits / 8;
    const std::uint32_t data_size = std::uint32_t(frames * channels * bytes_per_sample);
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    put32(out, 36 + data_size);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);
    put16(out, std::uint16_t(channels));
    put32(out, 44100);
    put32(out, std::uint32_t(44100 * channels * bytes_per_sample));
    put16(out, std::uint16_t(channels * bytes_per_sample));
    put16(out, std::uint16_t(bits));
    out.write("data", 4);
    put32(out, data_size);
    for (int i = 0; i < frames; ++i) {
        const double s = 30000 * std::sin(2 * M_PI * i / 100.0);
        for (int ch = 0; ch < channels; ++ch) {
            const double v = (ch == 1 && second_negated) ? -s : s;
            if (bits == 16) {
                put16(out, std::uint16_t(std::int16_t(std::lround(v))));
            } else {
                out.put(char(std::lround(v / 256) + 128));
            }
        }
    }
}

TEST(ToolCount, FileWrittenByTheTool) {
    ScratchDir dir;
    const auto file = dir.file("move.wav");
    const auto written = run_signal_tool({"--distance", "1", "--output", file});
    ASSERT_EQ(written.exit_status, 0) << written.err;
    std::smatch m;
    ASSERT_TRUE(std::regex_match(written.out, m, std::regex(kWritten)));

    const auto counted = run_signal_tool({"--count", file});
    EXPECT_EQ(counted.exit_status, 0) << counted.err;
    EXPECT_EQ(counted.out, "pulses=1000 frames=" + m[3].str() + " antiphase=yes\n");
    EXPECT_EQ(counted.err, "");
}

struct CountCase {
    std::string name;
    int channels;
    int bits;
    bool second_negated;
    int exit_status;
    std::string out;
    std::string err_contains;
};

void PrintTo(const CountCase& c, std::ostream* os) { *os << c.name; }

class ToolCounts : public testing::TestWithParam<CountCase> {};

TEST_P(ToolCounts, ReadAnySixteenBitPcm) {
    const auto& c = GetParam();
    ScratchDir dir;
    const auto file = dir.file("in.wav");
    write_sine_wav(file, c.channels, c.bits, 5, c.second_negated);
    const auto run = run_signal_tool({"--count", file});
    EXPECT_EQ(run.exit_status, c.exit_status) << run.err;
    EXPECT_EQ(run.out, c.out);
    if (!c.err_contains.empty()) {
        EXPECT_NE(run.err.find(c.err_contains), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(file), std::string::npos) << "names the file: " << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ToolCounts,
                         testing::Values(CountCase{"mono", 1, 16, false, 0,
                                                   "pulses=5 frames=500 antiphase=no\n", ""},
                                         CountCase{"stereo_antiphase", 2, 16, true, 0,
                                                   "pulses=5 frames=500 antiphase=yes\n", ""},
                                         CountCase{"stereo_in_phase", 2, 16, false, 0,
                                                   "pulses=5 frames=500 antiphase=no\n", ""},
                                         CountCase{"eight_bit", 2, 8, true, 2, "", "16-bit"}),
                         [](const auto& info) { return info.param.name; });

TEST(ToolCount, DamagedFilesGetAClearMessage) {
    ScratchDir dir;
    const auto good = dir.file("move.wav");
    ASSERT_EQ(run_signal_tool({"--distance", "1", "--output", good}).exit_status, 0);

    const auto truncated = dir.file("truncated.wav");
    fs::copy_file(good, truncated);
    fs::resize_file(truncated, fs::file_size(good) / 2);
    const auto header_only = dir.file("header_only.wav");
    fs::copy_file(good, header_only);
    fs::resize_file(header_only, 20);
    const auto text = dir.file("notes.wav");
    std::ofstream(text) << "saw 3.2 mm, pins 10 mm\n";
    const auto empty = dir.file("empty.wav");
    std::ofstream{empty};

    for (const auto& [file, words] :
         std::vector<std::pair<std::string, std::string>>{{truncated, "truncated"},
                                                          {header_only, "WAV"},
                                                          {text, "not a WAV file"},
                                                          {empty, "WAV"}}) {
        const auto run = run_signal_tool({"--count", file});
        EXPECT_EQ(run.exit_status, 2) << file;
        EXPECT_EQ(run.out, "") << file;
        EXPECT_NE(run.err.find(file), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(words), std::string::npos) << run.err;
    }
}

// --- Help, version, interruption -------------------------------------------------------

TEST(ToolHelp, ExplainsEveryOptionDefaultAndExitStatus) {
    const auto run = run_signal_tool({"--help"});
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.err, "");
    for (const char* part : {"--distance MM",
                             "--output FILE",
                             "--min-freq N",
                             "default 50",
                             "--max-freq N",
                             "10000",
                             "--ramp-time S",
                             "default 0.1",
                             "--steps-rev N",
                             "default 5000",
                             "--mm-rev MM",
                             "default 5",
                             "--count FILE",
                             "antiphase",
                             "no movement",
                             "Exit status",
                             "  0 ",
                             "  1 ",
                             "  2 ",
                             "Examples",
                             "steps_wanted=",
                             "millimetres",
                             "steps per second",
                             "seconds"}) {
        EXPECT_NE(run.out.find(part), std::string::npos) << "help lacks \"" << part << '"';
    }
    // Also when asked for among other arguments.
    EXPECT_EQ(run_signal_tool({"--distance", "1", "--help"}).out, run.out);
}

TEST(ToolHelp, Version) {
    const auto run = run_signal_tool({"--version"});
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_TRUE(std::regex_match(run.out, std::regex(R"(kerfplanner-signal \d+\.\d+\.\d+\n)")))
        << run.out;
}

// Ctrl-C during a long move: the tool stops, says so, and leaves nothing behind.
TEST(ToolInterrupt, LeavesNoFile) {
    ScratchDir dir;
    const auto file = dir.file("long.wav");
    const auto run =
        run_signal_tool({"--distance", "5000", "--output", file}, std::chrono::milliseconds(300));
    EXPECT_EQ(run.exit_status, 130) << run.out << run.err;
    EXPECT_NE(run.err.find("interrupted"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(dir.names().empty());
}

}  // namespace
}  // namespace kerf
