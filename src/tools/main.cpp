// kerfplanner-signal: makes and checks step signals without the window.

#include <iostream>
#include <string>
#include <vector>

#include "play_command.h"
#include "tool.h"

int main(int argc, char** argv) {
    kerf::tool::stop_on_interrupt();
    std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<kerf::tool::Command> commands = kerf::tool::standard_commands();
    // Commands that need more than the UI-free libraries are added here, each from a
    // library of its own that the build links only where it can be built.
#ifdef KERF_TOOL_PLAY
    commands.push_back(kerf::tool::play_command());
#else
    commands.push_back(kerf::tool::play_unavailable_command());
#endif
    return kerf::tool::run_tool(args, commands, std::cout, std::cerr);
}
