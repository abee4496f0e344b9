// --play in every build: a file that cannot be played is refused with status 2; a build
// without the sound player says that --play is not available, with status 1.

#include <gtest/gtest.h>

#include <fstream>

#include "process.h"

namespace kerf {
namespace {

using test::run_signal_tool;
using test::ScratchDir;

TEST(PlayOption, RefusesWhatItCannotPlay) {
    ScratchDir dir;
    {
        std::ofstream junk(dir.file("junk.wav"), std::ios::binary);
        junk << "RIFF....WAVEjunk";
    }
    for (const std::string& file : {dir.file("junk.wav"), dir.file("missing.wav")}) {
        SCOPED_TRACE(file);
        const auto run = run_signal_tool({"--play", file});
        EXPECT_TRUE(run.out.empty()) << run.out;
#ifdef KERF_TOOL_PLAY
        EXPECT_EQ(run.exit_status, 2);
        EXPECT_NE(run.err.find(file), std::string::npos) << run.err;
#else
        EXPECT_EQ(run.exit_status, 1);
        EXPECT_NE(run.err.find("--play is not available in this build"), std::string::npos)
            << run.err;
#endif
    }
}

TEST(PlayOption, IsExplainedInTheHelp) {
    const auto run = run_signal_tool({"--help"});
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_NE(run.out.find("--play FILE"), std::string::npos);
}

}  // namespace
}  // namespace kerf
