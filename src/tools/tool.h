#pragma once
// kerfplanner-signal: makes and checks step signals without the window.
//
// The tool is a table of commands. Each command is chosen by its own option
// ("--distance", "--count"), takes further options of its own, and runs with the
// values given. A command that needs more than the UI-free libraries (playing a file
// through the sound card, say) lives in a library of its own and is added to the table
// by main.cpp; the parsing, the help text and the exit statuses come from here.

#include <functional>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "synthesis/move.h"

namespace kerf::tool {

inline constexpr const char* kProgram = "kerfplanner-signal";

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitBadArguments = 1;   // unknown option, missing or unusable value
inline constexpr int kExitFileError = 2;      // a file that cannot be read or written
inline constexpr int kExitInterrupted = 130;  // Ctrl-C or SIGTERM; nothing is left behind

// Bad arguments or values: the message names the argument ("--max-freq: ...").
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A file that cannot be read or written; the message names the file.
class FileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One option: "--min-freq N".
struct Option {
    std::string name;        // "--min-freq"
    std::string value_name;  // "N"
    std::string help;        // what it means, its unit and its default
};

// The values given on the command line, by option name, as typed.
using Values = std::map<std::string, std::string>;

struct Command {
    Option selector;                    // chooses the command: "--count FILE"
    std::vector<Option> options;        // further options it takes
    std::vector<std::string> required;  // options among them that must be given
    std::string title;                  // heading of its section in --help
    std::string description;            // paragraph(s) of --help: what it does, what it prints
    std::vector<std::string> examples;
    // Runs the command; returns the exit status. May throw UsageError or FileError.
    std::function<int(const Values& values, std::ostream& out, std::ostream& err)> run;
};

// The commands every build has: --distance (write a move) and --count (count a file).
std::vector<Command> standard_commands();

// Parses the arguments (without the program name), runs the command they choose and
// returns the exit status. Messages go to err, results to out.
int run_tool(const std::vector<std::string>& args, const std::vector<Command>& commands,
             std::ostream& out, std::ostream& err);

// The text of --help for these commands.
std::string help_text(const std::vector<Command>& commands);

// Number values, by the rules of the window's entry fields. Throw UsageError naming the
// option when the text is not a number of that kind; give the default when it is absent.
double decimal_option(const Values& values, const std::string& name, double fallback);
std::int32_t whole_option(const Values& values, const std::string& name, std::int32_t fallback);

// The stop flag of everything the tool runs: set by Ctrl-C and SIGTERM once
// stop_on_interrupt has been called (main does), never otherwise.
StopFlag interrupt_flag();
void stop_on_interrupt();

}  // namespace kerf::tool
