// Moves on worker threads: one worker per move, nothing joins it, a new move never
// renders or writes while an earlier (stopped) one is still running, and nothing a
// worker meets escapes its thread.

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "move.h"
#include "recording_steps.h"
#include "scratch_dir.h"
#include "wav_reader.h"

namespace kerf {
namespace {

using test::Event;
using test::RecordingSteps;
using test::ScratchDir;

MoveRequest request(double distance, const std::string& file) {
    MoveRequest r;
    r.distance_mm = distance;
    r.file = file;
    return r;
}

// Waits until every worker has ended; a hang guard, not a time limit on the work.
bool all_ended() {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    while (running_moves() != 0) {
        if (std::chrono::steady_clock::now() > give_up) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

TEST(MoveWorker, WritesTheFileOnItsOwnThread) {
    ScratchDir dir;
    auto steps = std::make_shared<RecordingSteps>();
    start_move(request(12.7, dir.file("Start.wav")), steps);
    ASSERT_TRUE(all_ended());
    const std::vector<Event> events = steps->events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().kind, "done");
    EXPECT_EQ(events.back().pulses, 12700);
    for (const Event& e : events) EXPECT_NE(e.thread, std::this_thread::get_id());
    EXPECT_EQ(count_pulses(read_wav(dir.file("Start.wav"))), 12700);
}

// The first move is stopped while it is busy, and a second one is started at once: the
// second makes no step before the first has ended, then runs to its end.
TEST(MoveWorker, SecondMoveWaitsForTheStoppedFirst) {
    ScratchDir dir;
    auto first_steps = std::make_shared<RecordingSteps>();
    auto second_steps = std::make_shared<RecordingSteps>();
    MoveRequest first = request(100, dir.file("Fillcut.wav"));
    const StopFlag first_stop = first.stop;
    std::atomic<bool> second_started_early{false};
    std::atomic<bool> first_returned{false};

    // Inside the first move's phase 1 step (the first worker is busy): stop it, start the
    // second, and give the second ample time to show itself if it did not wait.
    first_steps->on_event = [&](const Event& e) {
        if (e.kind != "banner" || e.text != "Calculating phase 1 of 3") return;
        first_stop->store(true);
        start_move(request(1, dir.file("Home.wav")), second_steps);
        if (second_steps->wait_for("banner", 0.5)) second_started_early = true;
        first_returned = true;
    };
    second_steps->on_event = [&](const Event&) {
        if (!first_returned) second_started_early = true;
    };
    start_move(first, first_steps);
    ASSERT_TRUE(all_ended());

    EXPECT_FALSE(second_started_early);
    EXPECT_EQ(first_steps->kinds(), std::vector<std::string>{"banner"});
    const std::vector<Event> second = second_steps->events();
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(second.back().kind, "done");
    EXPECT_EQ(count_pulses(read_wav(dir.file("Home.wav"))), 1000);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"Home.wav"});
}

// Moves started back to back run one after the other, in the order they were started.
TEST(MoveWorker, MovesRunOneAtATimeInOrder) {
    ScratchDir dir;
    RecordingSteps shared;  // every move's steps, in the order they were made
    struct Tagged : MoveSteps {
        Tagged(RecordingSteps& to, std::string tag) : to(to), tag(std::move(tag)) {}
        RecordingSteps& to;
        std::string tag;
        void no_movement() override { to.log(tag + " no_movement", false); }
        // A step that takes a while, as on a busy window: a move that did not wait for
        // the one before would show its steps among the other's.
        void banner(const std::string&) override {
            to.log(tag + " banner", false);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        void writer_start() override { to.log(tag + " writer_start", false); }
        void progress() override {}
        void done(const std::string&, std::int32_t) override { to.log(tag + " done", false); }
        void error(const std::string&) override { to.log(tag + " error", false); }
        void log(const std::string&, bool) override { to.log(tag + " log", false); }
    };
    const std::vector<std::pair<std::string, double>> moves = {
        {"a", 3.2}, {"b", 0.0001}, {"c", 1}, {"d", 12.7}};
    for (const auto& [tag, distance] : moves) {
        start_move(request(distance, dir.file(tag + ".wav")),
                   std::make_shared<Tagged>(shared, tag));
    }
    ASSERT_TRUE(all_ended());

    std::string order;
    for (const Event& e : shared.events()) {
        const std::string tag = e.text.substr(0, 1);
        if (order.empty() || order.back() != tag[0]) order += tag;
    }
    EXPECT_EQ(order, "abcd");  // each move's steps together, in order
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"a.wav", "c.wav", "d.wav"}));
}

// A stop from the window's thread while the worker plans: the worker ends at its next
// test, shows nothing, and writes nothing.
TEST(MoveWorker, StopDuringPlanningShowsNothing) {
    ScratchDir dir;
    auto steps = std::make_shared<RecordingSteps>();
    MoveRequest r = request(1000, dir.file("Pin.wav"));
    const StopFlag stop = r.stop;
    start_move(r, steps);
    stop->store(true);
    ASSERT_TRUE(all_ended());
    EXPECT_TRUE(steps->events().empty());
    EXPECT_TRUE(dir.names().empty());
}

// Whatever a step throws ends the move with the error step; the thread never throws.
TEST(MoveWorker, ExceptionsStayOnTheWorker) {
    ScratchDir dir;
    auto steps = std::make_shared<RecordingSteps>();
    steps->on_event = [](const Event& e) {
        if (e.kind == "banner") throw std::runtime_error("window went away");
    };
    start_move(request(1, dir.file("Start.wav")), steps);
    ASSERT_TRUE(all_ended());
    const Event last = steps->events().back();
    EXPECT_EQ(last.kind, "error");
    EXPECT_NE(last.text.find("window went away"), std::string::npos) << last.text;
    EXPECT_TRUE(dir.names().empty());
}

}  // namespace
}  // namespace kerf
