// The command table is how further commands (playing a file, say) join the tool: a
// command added to it is parsed, dispatched and described like the built-in ones.

#include <gtest/gtest.h>

#include <sstream>

#include "tool.h"

namespace kerf::tool {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class CommandTable : public testing::Test {
  protected:
    CommandTable() : commands_(standard_commands()) {
        Command play;
        play.selector = {"--play", "FILE", "the WAV file to play"};
        play.options = {{"--volume", "V", "loudness, 0 to 1 (decimal, default 1)"}};
        play.title = "Playing a file (--play)";
        play.description = "  Plays the file.\n";
        play.examples = {"kerfplanner-signal --play move.wav"};
        play.run = [this](const Values& values, std::ostream& out, std::ostream&) {
            seen_ = values;
            const double volume = decimal_option(values, "--volume", 1.0);
            if (values.at("--play") == "missing.wav") throw FileError("missing.wav: no such file");
            out << "played volume=" << volume << "\n";
            return kExitOk;
        };
        commands_.push_back(play);
    }

    Outcome run(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int status = run_tool(args, commands_, out, err);
        return {status, out.str(), err.str()};
    }

    std::vector<Command> commands_;
    Values seen_;
};

TEST_F(CommandTable, AddedCommandIsDispatchedWithItsValues) {
    const auto r = run({"--play", "move.wav", "--volume=0.5"});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.out, "played volume=0.5\n");
    EXPECT_EQ(seen_, (Values{{"--play", "move.wav"}, {"--volume", "0.5"}}));
}

TEST_F(CommandTable, AddedCommandFollowsTheCommonRules) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err_contains;
    };
    for (const auto& c : std::vector<Case>{
             {{"--play", "a.wav", "--volume", "loud"},
              kExitBadArguments,
              "--volume: 'loud' is not a valid floating point number"},
             {{"--play", "a.wav", "--max-freq", "5"},
              kExitBadArguments,
              "--max-freq cannot be used with --play"},
             {{"--play", "a.wav", "--count", "b.wav"},
              kExitBadArguments,
              "cannot be used together"},
             {{"--volume", "1"}, kExitBadArguments, "give --distance or --count or --play"},
             {{"--play", "missing.wav"}, kExitFileError, "missing.wav: no such file"},
         }) {
        const auto r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.err_contains;
        EXPECT_NE(r.err.find(c.err_contains), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CommandTable, HelpDescribesTheAddedCommand) {
    const auto r = run({"--help"});
    EXPECT_EQ(r.status, kExitOk);
    for (const char* part :
         {"kerfplanner-signal --play FILE [--volume V]", "Playing a file (--play):", "--volume V",
          "default 1", "kerfplanner-signal --play move.wav"}) {
        EXPECT_NE(r.out.find(part), std::string::npos) << "help lacks \"" << part << '"';
    }
}

}  // namespace
}  // namespace kerf::tool
