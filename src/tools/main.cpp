// kerfplanner-signal: makes and checks step signals without the window.

#include <iostream>
#include <string>
#include <vector>

#include "tool.h"

int main(int argc, char** argv) {
    kerf::tool::stop_on_interrupt();
    std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<kerf::tool::Command> commands = kerf::tool::standard_commands();
    // Commands that need more than the UI-free libraries are added here, each from a
    // library of its own that the build links only where it can be built.
    return kerf::tool::run_tool(args, commands, std::cout, std::cerr);
}
