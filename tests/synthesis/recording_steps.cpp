#include "recording_steps.h"

#include <algorithm>
#include <chrono>

namespace kerf::test {

void RecordingSteps::record(Event e) {
    e.thread = std::this_thread::get_id();
    {
        std::lock_guard lock(mutex_);
        events_.push_back(e);
    }
    changed_.notify_all();
    if (on_event) on_event(e);
}

std::vector<Event> RecordingSteps::events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

std::vector<std::string> RecordingSteps::kinds() const {
    std::vector<std::string> out;
    for (const Event& e : events()) out.push_back(e.kind);
    return out;
}

std::vector<std::string> RecordingSteps::banners() const {
    std::vector<std::string> out;
    for (const Event& e : events()) {
        if (e.kind == "banner") out.push_back(e.text);
    }
    return out;
}

int RecordingSteps::count(const std::string& kind) const {
    const auto all = events();
    return int(
        std::count_if(all.begin(), all.end(), [&](const Event& e) { return e.kind == kind; }));
}

bool RecordingSteps::wait_for(const std::string& kind, double timeout_s) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::duration<double>(timeout_s), [&] {
        return std::any_of(events_.begin(), events_.end(),
                           [&](const Event& e) { return e.kind == kind; });
    });
}

void RecordingSteps::no_movement() { record({"no_movement", "", 0, false, {}}); }
void RecordingSteps::banner(const std::string& text) { record({"banner", text, 0, false, {}}); }
void RecordingSteps::writer_start() { record({"writer_start", "", 0, false, {}}); }
void RecordingSteps::progress() { record({"progress", "", 0, false, {}}); }
void RecordingSteps::done(const std::string& file, std::int32_t pulses) {
    record({"done", file, pulses, false, {}});
}
void RecordingSteps::error(const std::string& message) { record({"error", message, 0, true, {}}); }
void RecordingSteps::log(const std::string& message, bool critical) {
    record({"log", message, 0, critical, {}});
}

}  // namespace kerf::test
