#pragma once
// A MoveSteps that records every step it is given, from whatever thread, and can act
// at a chosen step (set a stop flag, start another move, throw).

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "move_steps.h"

namespace kerf::test {

struct Event {
    std::string kind;  // no_movement, banner, writer_start, progress, done, error, log
    std::string text;  // banner text, file of done, message of error and log
    std::int32_t pulses = 0;
    bool critical = false;
    std::thread::id thread;
};

class RecordingSteps : public MoveSteps {
  public:
    // Runs after each step has been recorded, on the thread that made the step.
    std::function<void(const Event&)> on_event;

    std::vector<Event> events() const;
    std::vector<std::string> kinds() const;
    std::vector<std::string> banners() const;
    int count(const std::string& kind) const;
    // Waits (at most timeout_s) until a step of this kind has been recorded.
    bool wait_for(const std::string& kind, double timeout_s) const;

    void no_movement() override;
    void banner(const std::string& text) override;
    void writer_start() override;
    void progress() override;
    void done(const std::string& file, std::int32_t pulses) override;
    void error(const std::string& message) override;
    void log(const std::string& message, bool critical) override;

  private:
    void record(Event e);
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Event> events_;
};

}  // namespace kerf::test
