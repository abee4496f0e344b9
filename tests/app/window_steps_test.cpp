// How a move's worker reaches the window: steps run on the window's thread while the
// worker waits; a stopped move's steps change nothing; a closing window releases a worker
// that waits for it.

#include "window_steps.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QTest>
#include <QThread>
#include <atomic>
#include <thread>

namespace kerf {
namespace {

struct Seen {
    std::atomic<int> steps{0};
    std::atomic<bool> on_window_thread{true};
    QThread* window_thread = QThread::currentThread();
};

WindowActions counting(Seen& seen) {
    WindowActions a;
    const auto note = [&seen] {
        if (QThread::currentThread() != seen.window_thread) seen.on_window_thread = false;
        ++seen.steps;
    };
    a.no_movement = note;
    a.banner = [note](const std::string&) { note(); };
    a.writer_start = note;
    a.progress = note;
    a.done = [note](const std::string&, std::int32_t) { note(); };
    a.error = [note](const std::string&) { note(); };
    a.log = [note](const std::string&, bool) { note(); };
    return a;
}

TEST(WindowSteps, EveryStepRunsOnTheWindowThreadBeforeTheWorkerGoesOn) {
    QObject window;
    auto link = std::make_shared<GuiLink>(&window);
    Seen seen;
    WindowSteps steps(link, make_stop_flag(), counting(seen));
    std::atomic<int> returned{0};
    std::atomic<bool> ahead{false};
    std::thread worker([&] {
        const auto one = [&](auto&& call) {
            const int before = seen.steps.load();
            call();
            if (seen.steps.load() != before + 1) ahead = true;  // returned before the step ran
            ++returned;
        };
        one([&] { steps.no_movement(); });
        one([&] { steps.banner("Calculating phase 1 of 3"); });
        one([&] { steps.writer_start(); });
        one([&] { steps.progress(); });
        one([&] { steps.done("file", 7); });
        one([&] { steps.error("message"); });
        one([&] { steps.log("line", true); });
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return returned.load() == 7; }, 10000));
    worker.join();
    EXPECT_EQ(seen.steps.load(), 7);
    EXPECT_TRUE(seen.on_window_thread.load());
    EXPECT_FALSE(ahead.load());
}

TEST(WindowSteps, AStoppedMoveChangesNothing) {
    QObject window;
    auto link = std::make_shared<GuiLink>(&window);
    Seen seen;
    const StopFlag stop = make_stop_flag();
    WindowSteps steps(link, stop, counting(seen));
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        steps.banner("Creating sound file, PLEASE WAIT");
        // The operator stops the move here (on the window's thread, between two steps).
        while (!stop->load()) std::this_thread::yield();
        steps.done("file", 7);  // a late done step: the file may even be in place
        steps.log("late", true);
        finished = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.steps.load() == 1; }, 10000));
    stop->store(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.load(); }, 10000));
    worker.join();
    EXPECT_EQ(seen.steps.load(), 1);
}

TEST(WindowSteps, AStopBetweenPostingAndRunningDropsTheStep) {
    QObject window;
    auto link = std::make_shared<GuiLink>(&window);
    Seen seen;
    const StopFlag stop = make_stop_flag();
    WindowSteps steps(link, stop, counting(seen));
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        steps.done("file", 7);
        finished = true;
    });
    // The step is posted; the window has not run it yet when the stop comes.
    QTest::qSleep(100);
    stop->store(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.load(); }, 10000));
    worker.join();
    EXPECT_EQ(seen.steps.load(), 0);
}

TEST(GuiLink, ClosingReleasesAWaitingWorkerAndDropsItsStep) {
    auto window = std::make_unique<QObject>();
    auto link = std::make_shared<GuiLink>(window.get());
    std::atomic<int> ran{0};
    std::atomic<int> result{-1};
    std::thread worker([&] { result = link->run([&] { ++ran; }) ? 1 : 0; });
    QTest::qSleep(100);  // the worker waits; the window's thread handles no events
    EXPECT_EQ(result.load(), -1);
    link->close();
    worker.join();
    EXPECT_EQ(result.load(), 0);
    window.reset();  // the queued step goes with the window
    QCoreApplication::processEvents();
    EXPECT_EQ(ran.load(), 0);
    // Later steps return at once.
    std::thread late([&] { result = link->run([&] { ++ran; }) ? 1 : 0; });
    late.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_EQ(ran.load(), 0);
}

TEST(MoveSession, EachMoveHasItsOwnStopFlag) {
    QObject window;
    MoveSession moves(&window);
    const StopFlag first = moves.begin_move();
    moves.stop_current();
    EXPECT_TRUE(first->load());
    const StopFlag second = moves.begin_move();
    EXPECT_FALSE(second->load());
    EXPECT_FALSE(moves.current_stopped());
    // Stopping the new move never revives the old one, nor the other way round.
    moves.stop_current();
    EXPECT_TRUE(second->load());
    EXPECT_TRUE(first->load());
}

TEST(MoveSession, ClosingStopsTheMoveAndNewMovesStillWork) {
    QObject window;
    MoveSession moves(&window);
    const StopFlag flag = moves.begin_move();
    auto old_link = moves.link();
    EXPECT_TRUE(moves.close(1000));
    EXPECT_TRUE(flag->load());
    EXPECT_TRUE(old_link->closed());
    EXPECT_FALSE(moves.link()->closed());
}

}  // namespace
}  // namespace kerf
