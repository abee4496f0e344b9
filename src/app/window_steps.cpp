#include "window_steps.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <utility>

namespace kerf {

GuiLink::GuiLink(QObject* context) : context_(context), thread_(context->thread()) {}

bool GuiLink::run(std::function<void()> fn) {
    // The context is not touched here: it may be gone once the link is closed.
    if (QThread::currentThread() == thread_) {
        if (closed()) return false;
        fn();
        return true;
    }
    // One call: done is set on the window's thread once fn has run (or thrown).
    auto done = std::make_shared<bool>(false);
    auto call = [self = shared_from_this(), done, fn = std::move(fn)] {
        struct Finish {
            std::shared_ptr<GuiLink> link;
            std::shared_ptr<bool> done;
            ~Finish() {
                std::lock_guard lock(link->mutex_);
                *done = true;
                link->done_.notify_all();
            }
        } finish{self, done};
        if (self->closed()) return;
        fn();
    };
    std::unique_lock lock(mutex_);
    if (closed_) return false;
    // Posted while the link is open, so the context still exists; close() runs on the
    // context's thread before it is destroyed, and a call still queued then is dropped
    // with the context.
    QMetaObject::invokeMethod(context_, std::move(call), Qt::QueuedConnection);
    done_.wait(lock, [&] { return *done || closed_; });
    return *done && !closed_;
}

void GuiLink::close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    done_.notify_all();
}

bool GuiLink::closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

WindowSteps::WindowSteps(std::shared_ptr<GuiLink> link, StopFlag stop, WindowActions actions)
    : link_(std::move(link)), stop_(std::move(stop)), actions_(std::move(actions)) {}

void WindowSteps::step(std::function<void()> action) {
    if (!action) return;
    link_->run([stop = stop_, action = std::move(action)] {
        // Tested on the window's thread, where quitjob sets it: once a move has been
        // stopped, nothing of it reaches the window.
        if (stop->load()) return;
        action();
    });
}

void WindowSteps::no_movement() { step(actions_.no_movement); }

void WindowSteps::banner(const std::string& text) {
    if (actions_.banner) step([this, text] { actions_.banner(text); });
}

void WindowSteps::writer_start() { step(actions_.writer_start); }

void WindowSteps::progress() { step(actions_.progress); }

void WindowSteps::done(const std::string& file, std::int32_t pulses) {
    if (actions_.done) step([this, file, pulses] { actions_.done(file, pulses); });
}

void WindowSteps::error(const std::string& message) {
    if (actions_.error) step([this, message] { actions_.error(message); });
}

void WindowSteps::log(const std::string& message, bool critical) {
    if (actions_.log) step([this, message, critical] { actions_.log(message, critical); });
}

MoveSession::MoveSession(QObject* window)
    : window_(window), link_(std::make_shared<GuiLink>(window)), current_(make_stop_flag()) {}

MoveSession::~MoveSession() {
    current_->store(true);
    link_->close();
}

StopFlag MoveSession::begin_move() {
    current_ = make_stop_flag();
    return current_;
}

void MoveSession::stop_current() { current_->store(true); }

bool MoveSession::close(int timeout_ms) {
    stop_current();
    link_->close();
    link_ = std::make_shared<GuiLink>(window_);
    // Stopped workers end at their next test, within a planning pass or a slice of the file.
    const QDeadlineTimer deadline(timeout_ms);
    while (running_moves() > 0 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        QThread::msleep(5);
    }
    return running_moves() == 0;
}

}  // namespace kerf
