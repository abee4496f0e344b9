// Parsing the command line, the help text and the exit statuses of kerfplanner-signal.

#include "tool.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <sstream>

#include "settings/numbers.h"

#ifndef KERF_VERSION
#define KERF_VERSION "unknown"
#endif

namespace kerf::tool {
namespace {

const Option kHelp{"--help", "", "show this text and exit"};
const Option kVersion{"--version", "", "show the version and exit"};

bool is_option(const std::string& arg) { return arg.size() > 2 && arg.starts_with("--"); }

std::string quoted(const std::string& text) { return "'" + text + "'"; }

const Command* find_command(const std::vector<Command>& commands, const std::string& name) {
    for (const auto& c : commands) {
        if (c.selector.name == name) return &c;
    }
    return nullptr;
}

const Option* find_option(const Command& command, const std::string& name) {
    if (command.selector.name == name) return &command.selector;
    for (const auto& o : command.options) {
        if (o.name == name) return &o;
    }
    return nullptr;
}

bool known_anywhere(const std::vector<Command>& commands, const std::string& name) {
    return std::any_of(commands.begin(), commands.end(),
                       [&](const Command& c) { return find_option(c, name) != nullptr; });
}

bool is_own_option(const std::string& arg, const std::vector<Command>& commands) {
    if (arg == kHelp.name || arg == kVersion.name) return true;
    return is_option(arg) && known_anywhere(commands, arg.substr(0, arg.find('=')));
}

std::string value_name(const std::vector<Command>& commands, const std::string& name) {
    for (const auto& c : commands) {
        if (const Option* o = find_option(c, name)) return o->value_name;
    }
    return "VALUE";
}

// "--name value" or "--name=value", in any order; every option takes a value.
struct Parsed {
    std::vector<std::pair<std::string, std::string>> pairs;
    bool help = false;
    bool version = false;
};

Parsed split_arguments(const std::vector<std::string>& args, const std::vector<Command>& commands) {
    Parsed parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == kHelp.name || arg == "-h") {
            parsed.help = true;
            continue;
        }
        if (arg == kVersion.name) {
            parsed.version = true;
            continue;
        }
        if (!is_option(arg)) {
            throw UsageError("unexpected argument " + quoted(arg) +
                             " (every value follows the option it belongs to)");
        }
        const auto equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (!known_anywhere(commands, name)) throw UsageError("unknown option " + quoted(name));
        if (equals != std::string::npos) {
            parsed.pairs.emplace_back(name, arg.substr(equals + 1));
            continue;
        }
        // The next argument is the value, even when it starts with "-" (a negative
        // number), unless it is one of the tool's own options.
        if (i + 1 >= args.size() || is_own_option(args[i + 1], commands)) {
            throw UsageError(name + ": the value is missing (" + name + " " +
                             value_name(commands, name) + ")");
        }
        parsed.pairs.emplace_back(name, args[++i]);
    }
    return parsed;
}

// "kerfplanner-signal --distance MM --output FILE [--min-freq N] ...", wrapped so that
// no line is longer than 80 characters.
std::string usage_line(const Command& c) {
    const std::string head = std::string(kProgram) + " ";
    const std::string indent = "\n  " + std::string(head.size(), ' ');
    std::string text = head + c.selector.name + " " + c.selector.value_name;
    std::size_t column = 2 + text.size();  // printed after two spaces
    for (const auto& o : c.options) {
        const bool required =
            std::find(c.required.begin(), c.required.end(), o.name) != c.required.end();
        const std::string part =
            required ? o.name + " " + o.value_name : "[" + o.name + " " + o.value_name + "]";
        if (column + 1 + part.size() > 80) {
            text += indent + part;
            column = indent.size() - 1 + part.size();
        } else {
            text += " " + part;
            column += 1 + part.size();
        }
    }
    return text;
}

void describe_options(std::ostringstream& text, const std::vector<Option>& options) {
    std::size_t width = 0;
    for (const auto& o : options) width = std::max(width, o.name.size() + 1 + o.value_name.size());
    for (const auto& o : options) {
        std::string head = o.name + (o.value_name.empty() ? "" : " " + o.value_name);
        head.resize(width, ' ');
        // Continuation lines of a help text line up under its first line.
        std::string help = o.help;
        std::string indent = "\n    " + std::string(width + 2, ' ');
        for (std::size_t pos = 0; (pos = help.find('\n', pos)) != std::string::npos;) {
            help.replace(pos, 1, indent);
            pos += indent.size();
        }
        text << "    " << head << "  " << help << "\n";
    }
}

}  // namespace

std::string help_text(const std::vector<Command>& commands) {
    std::ostringstream text;
    text << kProgram << " - make and check the step signals of Kerfplanner\n\n"
         << "Kerfplanner positions a workpiece for cutting finger joints. A step motor drives\n"
         << "the carriage, and the motor driver's step input is fed from the sound card: every\n"
         << "sine period of the sound is one motor step. This tool does without the window what\n"
         << "the program does for each move: it writes the step signal of one move into a WAV\n"
         << "file, and it counts the steps in a WAV file, so that a signal can be made and\n"
         << "checked before it moves anything.\n\n"
         << "Usage:\n";
    for (const auto& c : commands) text << "  " << usage_line(c) << "\n";
    text << "  " << kProgram << " --help\n"
         << "  " << kProgram << " --version\n";

    for (const auto& c : commands) {
        text << "\n" << c.title << ":\n";
        std::vector<Option> all{c.selector};
        all.insert(all.end(), c.options.begin(), c.options.end());
        describe_options(text, all);
        text << "\n" << c.description;
        if (!c.description.empty() && c.description.back() != '\n') text << "\n";
    }

    text << "\nNumbers:\n"
         << "  The same rules as the entry fields of the window. \".\" is the decimal separator\n"
         << "  whatever the language of the system; \",\" is never accepted. Decimals may have a\n"
         << "  sign and an exponent (2.5, -0.5, 1e3). Whole numbers lie between -2147483648 and\n"
         << "  2147483647 and may be written in hexadecimal after \"$\", \"x\" or \"0x\" ($10 is\n"
         << "  16). A value follows its option as the next argument or after \"=\"\n"
         << "  (--distance 12.7 or --distance=12.7).\n"
         << "\nExit status:\n"
         << "  0    success (also when a move needs no movement)\n"
         << "  1    bad arguments or values: an unknown or repeated option, a missing value,\n"
         << "       a text that is not a number, motion settings no signal can be made from,\n"
         << "       a move too long for one WAV file\n"
         << "  2    file errors: a file that cannot be read, is not a 16-bit PCM WAV file or is\n"
         << "       cut short, an output file that cannot be written; and any other failure\n"
         << "       that stops the work (such as too little memory)\n"
         << "  130  interrupted (Ctrl-C); no output file is left behind\n"
         << "\nExamples:\n";
    for (const auto& c : commands) {
        for (const auto& e : c.examples) text << "  " << e << "\n";
    }
    return text.str();
}

int run_tool(const std::vector<std::string>& args, const std::vector<Command>& commands,
             std::ostream& out, std::ostream& err) {
    try {
        const Parsed parsed = split_arguments(args, commands);
        if (parsed.help) {
            out << help_text(commands) << std::flush;
            return kExitOk;
        }
        if (parsed.version) {
            out << kProgram << " " << KERF_VERSION << "\n" << std::flush;
            return kExitOk;
        }

        const Command* command = nullptr;
        for (const auto& [name, value] : parsed.pairs) {
            const Command* chosen = find_command(commands, name);
            if (!chosen) continue;
            if (command && command != chosen) {
                throw UsageError(command->selector.name + " and " + name +
                                 " cannot be used together");
            }
            command = chosen;
        }
        if (!command) {
            std::string choices;
            for (const auto& c : commands) {
                choices += (choices.empty() ? "" : " or ") + c.selector.name;
            }
            throw UsageError("nothing to do: give " + choices);
        }

        Values values;
        for (const auto& [name, value] : parsed.pairs) {
            if (!find_option(*command, name)) {
                throw UsageError(name + " cannot be used with " + command->selector.name);
            }
            if (!values.emplace(name, value).second) throw UsageError(name + " is given twice");
        }
        for (const auto& name : command->required) {
            if (!values.count(name)) {
                const Option* option = find_option(*command, name);
                throw UsageError(name + " " + option->value_name + " is missing");
            }
        }
        return command->run(values, out, err);
    } catch (const UsageError& e) {
        err << kProgram << ": " << e.what() << "\n"
            << "Try '" << kProgram << " --help' for more.\n"
            << std::flush;
        return kExitBadArguments;
    } catch (const FileError& e) {
        err << kProgram << ": " << e.what() << "\n" << std::flush;
        return kExitFileError;
    } catch (const std::exception& e) {
        // Anything else that stops the work (out of memory, say) is not the arguments'.
        err << kProgram << ": " << e.what() << "\n" << std::flush;
        return kExitFileError;
    }
}

double decimal_option(const Values& values, const std::string& name, double fallback) {
    const auto it = values.find(name);
    if (it == values.end()) return fallback;
    if (const auto value = parse_decimal(it->second)) return *value;
    std::string message =
        name + ": " + quoted(it->second) + " is not a valid floating point number";
    if (it->second.find(',') != std::string::npos) message += " (the decimal separator is \".\")";
    throw UsageError(message);
}

std::int32_t whole_option(const Values& values, const std::string& name, std::int32_t fallback) {
    const auto it = values.find(name);
    if (it == values.end()) return fallback;
    if (const auto value = parse_whole(it->second)) return *value;
    throw UsageError(name + ": " + quoted(it->second) + " is not a valid round number");
}

namespace {
// Lock-free, so the signal handler may set it.
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void on_interrupt(int) { g_interrupted.store(true); }
}  // namespace

StopFlag interrupt_flag() {
    // Shares no ownership: the flag lives as long as the program.
    return StopFlag(std::shared_ptr<void>(), &g_interrupted);
}

void stop_on_interrupt() {
    std::signal(SIGINT, on_interrupt);
    std::signal(SIGTERM, on_interrupt);
}

}  // namespace kerf::tool
