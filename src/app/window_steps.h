#pragma once
// How a move's worker reaches the window: each step runs on the window's thread while the
// worker waits for it. The wait ends when the step has run or when the window closes, so a
// worker never hangs on a window that is gone, and the window never waits for a worker.

#include <QObject>
#include <QPointer>
#include <QThread>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "synthesis/move.h"
#include "synthesis/move_steps.h"

namespace kerf {

// The worker side's link to the window's thread. Shared by the window and every worker
// it started, so it outlives whichever ends last.
class GuiLink : public std::enable_shared_from_this<GuiLink> {
  public:
    explicit GuiLink(QObject* context);

    // Runs fn on the context's thread and waits until it has run. Returns false, without
    // running fn or after an interrupted wait, once the link has been closed. On the
    // context's own thread fn runs at once.
    bool run(std::function<void()> fn);

    // The window is closing: releases every waiting worker; later runs do nothing.
    // Call on the context's thread, before the context is destroyed.
    void close();
    bool closed() const;

  private:
    mutable std::mutex mutex_;
    std::condition_variable done_;
    QObject* context_;
    QThread* thread_;  // the context's thread
    bool closed_ = false;
};

// The window's part of a move, each run on the window's thread. A step of a move whose
// stop flag is set changes nothing: a stopped move's late steps never reach the window.
struct WindowActions {
    std::function<void()> no_movement;
    std::function<void(const std::string& text)> banner;
    std::function<void()> writer_start;
    std::function<void()> progress;
    std::function<void(const std::string& file, std::int32_t pulses)> done;
    std::function<void(const std::string& message)> error;
    std::function<void(const std::string& message, bool critical)> log;
};

class WindowSteps : public MoveSteps {
  public:
    WindowSteps(std::shared_ptr<GuiLink> link, StopFlag stop, WindowActions actions);

    void no_movement() override;
    void banner(const std::string& text) override;
    void writer_start() override;
    void progress() override;
    void done(const std::string& file, std::int32_t pulses) override;
    void error(const std::string& message) override;
    void log(const std::string& message, bool critical) override;

  private:
    // Runs the action on the window's thread unless the move has been stopped by then.
    void step(std::function<void()> action);

    std::shared_ptr<GuiLink> link_;
    StopFlag stop_;
    WindowActions actions_;
};

// The moves of one window: the link its workers use and the stop flag of the move in
// progress. Closing (or destroying) it stops that move and releases its worker.
class MoveSession {
  public:
    explicit MoveSession(QObject* window);
    ~MoveSession();
    MoveSession(const MoveSession&) = delete;
    MoveSession& operator=(const MoveSession&) = delete;

    const std::shared_ptr<GuiLink>& link() const { return link_; }

    // A new move is requested: it gets a stop flag of its own.
    StopFlag begin_move();
    // The stop flag of the latest move.
    const StopFlag& current() const { return current_; }
    bool current_stopped() const { return current_->load(); }
    // Stops the latest move: its worker ends at its next test, its steps change nothing.
    void stop_current();

    // The window closes: stops the latest move, releases every waiting worker, and waits,
    // still handling events, until all workers have ended or timeout_ms have passed.
    // Returns whether they all ended. Moves requested afterwards get a new link.
    bool close(int timeout_ms);

  private:
    QObject* window_;
    std::shared_ptr<GuiLink> link_;
    StopFlag current_;
};

}  // namespace kerf
