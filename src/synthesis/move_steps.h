#pragma once
// The main-thread steps of a move. The worker calls each one and waits until it
// has returned; the window runs them on its own thread (a blocking call), the
// command-line tool runs them in place.

#include <cstdint>
#include <string>

namespace kerf {

class MoveSteps {
public:
    virtual ~MoveSteps() = default;

    // Fewer than half a step wanted: log "Distance less than half a step. no movement.",
    // playfilename := "nil", enable filewritten.
    virtual void no_movement() = 0;
    // Banner texts of the planner: "Calculating phase 1 of 3" ... "Creating sound file, PLEASE WAIT".
    virtual void banner(const std::string& text) = 0;
    // The writer is about to create the file: clear the media player, progress 0 of 100.
    virtual void writer_start() = 0;
    // About a hundredth of the stream written: progress value + 2.
    virtual void progress() = 0;
    // The file is complete under its final name: banner "Moving, do not cut",
    // playfilename := file, total_steps := pulses, enable filewritten.
    virtual void done(const std::string& file, std::int32_t pulses) = 0;
    // The move failed: banner "Error: " + message, critical log line of the same text.
    virtual void error(const std::string& message) = 0;
    // Any other log line (the step-difference line).
    virtual void log(const std::string& message, bool critical) = 0;
};

}  // namespace kerf
