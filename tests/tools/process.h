#pragma once
// Running the real kerfplanner-signal and collecting what it printed.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace kerf::test {

struct ProcessResult {
    int exit_status = -1;  // 128 + signal when a signal ended it
    std::string out;
    std::string err;
};

// Runs the tool with these arguments. With interrupt_after, sends SIGINT once that time
// has passed (if the tool is still running).
ProcessResult run_signal_tool(const std::vector<std::string>& args,
                              std::optional<std::chrono::milliseconds> interrupt_after = {});

}  // namespace kerf::test
