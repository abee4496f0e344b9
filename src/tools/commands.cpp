// The two commands every build of kerfplanner-signal has: write one move, count a file.

#include <charconv>
#include <filesystem>
#include <string>
#include <utility>

#include "synthesis/chirp.h"
#include "synthesis/move.h"
#include "synthesis/move_steps.h"
#include "synthesis/wav_reader.h"
#include "tool.h"

namespace kerf::tool {
namespace {

// The motion settings by their option and by the caption the program gives them, so
// that a message about a setting can name the option the user typed.
const std::pair<const char*, const char*> kSettingOptions[] = {
    {"--min-freq", "Minimum frequency (steps/sec.)"},
    {"--max-freq", "Maximum frequency (steps/sec.)"},
    {"--ramp-time", "Time to reach max. frequency (sec.)"},
    {"--steps-rev", "Step motor driver dipswitch setting (steps/rev.)"},
    {"--mm-rev", "Spindle advancement (mm/ rev.)"},
};

// "--max-freq: <message>" for a message about that setting; the message as it is else.
std::string naming_the_option(const std::string& message) {
    std::size_t first = std::string::npos;
    const char* option = nullptr;
    for (const auto& [name, caption] : kSettingOptions) {
        const auto at = message.find(caption);
        if (at < first) {
            first = at;
            option = name;
        }
    }
    return option ? std::string(option) + ": " + message : message;
}

std::string fixed(double value, int decimals) {
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

// The steps of a move, run in place: the tool shows no banner or progress, only the
// outcome, and remembers whether the writer had started when an error came.
class ToolSteps : public MoveSteps {
  public:
    explicit ToolSteps(std::ostream& err) : err_(err) {}

    void no_movement() override {}
    void banner(const std::string&) override {}
    void writer_start() override { writing_ = true; }
    void progress() override {}
    void done(const std::string&, std::int32_t) override {}
    void error(const std::string&) override {}
    void log(const std::string& message, bool critical) override {
        if (critical) err_ << kProgram << ": " << message << "\n" << std::flush;
    }

    bool writing() const { return writing_; }

  private:
    std::ostream& err_;
    bool writing_ = false;
};

std::string file_option(const Values& values, const std::string& name) {
    const std::string& file = values.at(name);
    if (file.empty()) throw UsageError(name + ": the file name is empty");
    return file;
}

// Fails before any planning when the file could not be written anyway.
void check_output(const std::string& file) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(file, ec)) throw FileError(file + ": is a folder, not a file");
    const fs::path folder = fs::path(file).parent_path();
    if (!folder.empty() && !fs::is_directory(folder, ec)) {
        throw FileError(file + ": the folder " + folder.string() + " does not exist");
    }
}

int write_move(const Values& values, std::ostream& out, std::ostream& err) {
    MoveRequest request;
    request.distance_mm = decimal_option(values, "--distance", 0);
    request.settings.f_min = whole_option(values, "--min-freq", 50);
    request.settings.f_max = whole_option(values, "--max-freq", 10000);
    request.settings.t_ramp = decimal_option(values, "--ramp-time", 0.1);
    request.settings.steps_rev = whole_option(values, "--steps-rev", 5000);
    request.settings.mm_rev = decimal_option(values, "--mm-rev", 5);
    request.file = file_option(values, "--output");
    request.stop = interrupt_flag();

    if (const auto fault = check_motion_settings(request.settings)) {
        throw UsageError(naming_the_option(*fault));
    }
    if (movement_possible(request.distance_mm, request.settings)) check_output(request.file);

    ToolSteps steps(err);
    const MoveResult result = run_move(request, steps);
    switch (result.end) {
        case MoveResult::End::no_movement:
            out << "no movement\n" << std::flush;
            return kExitOk;
        case MoveResult::End::written:
            out << "steps_wanted=" << fixed(result.steps_wanted, 4) << " pulses=" << result.pulses
                << " frames=" << result.frames
                << " seconds=" << fixed(double(result.frames) / kSampleRate, 3)
                << " passes=" << result.passes << "\n"
                << std::flush;
            return kExitOk;
        case MoveResult::End::cancelled:
            err << kProgram << ": interrupted; no file written\n" << std::flush;
            return kExitInterrupted;
        case MoveResult::End::failed:
            break;
    }
    // Once the writer has started, the failure is the file's; before, it is the move's.
    if (steps.writing()) throw FileError(result.error);
    throw UsageError(naming_the_option(result.error));
}

int count_file(const Values& values, std::ostream& out, std::ostream&) {
    const std::string file = file_option(values, "--count");
    WavData wav;
    try {
        wav = read_wav(file);
    } catch (const std::exception& e) {
        throw FileError(e.what());
    }
    out << "pulses=" << count_pulses(wav) << " frames=" << wav.frames()
        << " antiphase=" << (is_antiphase(wav) ? "yes" : "no") << "\n"
        << std::flush;
    return kExitOk;
}

}  // namespace

std::vector<Command> standard_commands() {
    Command move;
    move.selector = {"--distance", "MM", "length of the move in millimetres (decimal)"};
    move.options = {
        {"--output", "FILE",
         "the WAV file to write: 16-bit PCM, two channels in antiphase,\n"
         "44100 frames per second; an existing file is replaced"},
        {"--min-freq", "N",
         "start and end step frequency, steps per second\n(whole number, default 50)"},
        {"--max-freq", "N",
         "cruise step frequency, steps per second (whole number, default\n"
         "10000; above the minimum and below 22050)"},
        {"--ramp-time", "S",
         "time from the minimum to the maximum frequency, seconds\n(decimal, default 0.1)"},
        {"--steps-rev", "N",
         "motor driver steps per revolution of the lead screw, its dip\n"
         "switch setting (whole number, default 5000)"},
        {"--mm-rev", "MM",
         "advance of the lead screw per revolution, millimetres\n(decimal, default 5)"},
    };
    move.required = {"--output"};
    move.title = "Writing a move (--distance)";
    move.description =
        "  Plans the move as the program does (ramp up from the minimum frequency, cruise at\n"
        "  the maximum, ramp down), corrects the plan until the signal holds the wanted\n"
        "  number of steps, writes the WAV file and prints one line:\n"
        "    steps_wanted=<distance / mm-rev * steps-rev, 4 decimals> pulses=<steps in the\n"
        "    file> frames=<stereo frames> seconds=<playing time, 3 decimals>\n"
        "    passes=<planning passes made>\n"
        "  A distance of less than half a step (zero or negative among them) writes no file\n"
        "  and prints \"no movement\". A file whose steps differ from the wanted number by one\n"
        "  or more is written all the same, with a warning on the error output.\n";
    move.examples = {
        std::string(kProgram) + " --distance 12.7 --output move.wav",
        std::string(kProgram) + " --distance 100 --max-freq 8000 --ramp-time 0.2 --output slow.wav",
    };
    move.run = write_move;

    Command count;
    count.selector = {"--count", "FILE", "the WAV file to read (16-bit PCM, mono or stereo)"};
    count.title = "Counting the steps of a file (--count)";
    count.description =
        "  Counts the step pulses of the first channel as the program does (a pulse at the\n"
        "  first falling sample after a rise) and prints one line:\n"
        "    pulses=<steps> frames=<frames> antiphase=<yes|no>\n"
        "  antiphase is yes when every frame's second channel is the negated first, as the\n"
        "  motor driver needs it; a mono file gives no.\n";
    count.examples = {std::string(kProgram) + " --count move.wav"};
    count.run = count_file;

    return {move, count};
}

}  // namespace kerf::tool
