// One move from distance to WAV file, and the worker threads that run moves one at a
// time.

#include "move.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <set>
#include <thread>

#include "planner.h"
#include "wav_writer.h"

namespace kerf {
namespace {

const char* const kPhaseBanner[] = {"", "Calculating phase 1 of 3", "Calculating phase 2 of 3",
                                    "Calculating phase 3 of 3"};
const char* const kSoundFileBanner = "Creating sound file, PLEASE WAIT";

// Room for the final stream: the last planning pass's samples, or the corrected timings
// when they were changed after it, plus each phase's run on to its zero crossing.
std::size_t stream_capacity(const Plan& plan, const MotionSettings& s) {
    const double planned = std::max(double(plan.last_samples), planned_samples(plan.profile));
    const double per_phase = std::min(kSampleRate / s.f_min + 4, 65536.0);
    return std::size_t(planned + 3 * per_phase + 64);
}

MoveResult make_move(const MoveRequest& request, const std::atomic<bool>& stop, MoveSteps& steps) {
    MoveResult result;
    const MotionSettings& s = request.settings;
    if (stop.load()) {
        result.end = MoveResult::End::cancelled;
        return result;
    }
    if (auto fault = check_motion_settings(s)) throw MoveFailure(*fault);
    if (!std::isfinite(request.distance_mm)) {
        throw MoveFailure("The distance is not a finite number (" +
                          format_number(request.distance_mm) + ").");
    }
    const double N = wanted_steps(request.distance_mm, s);
    result.steps_wanted = N;
    if (!std::isfinite(N)) {
        throw MoveFailure("The number of steps for " + format_number(request.distance_mm) +
                          " mm is not a finite number. Check the motion settings.");
    }
    if (N < 0.5) {
        steps.no_movement();
        result.end = MoveResult::End::no_movement;
        return result;
    }

    const Plan plan = plan_move(N, s, stop);
    result.passes = plan.passes;
    if (plan.cancelled) {
        result.end = MoveResult::End::cancelled;
        return result;
    }

    // Final pass: the accepted timings into the stream, phase by phase.
    check_move_length(double(plan.last_samples));
    check_move_length(planned_samples(plan.profile));
    SampleStream stream;
    try {
        stream.reserve(stream_capacity(plan, s));
    } catch (const std::bad_alloc&) {
        throw MoveFailure("Not enough memory for the step signal of this move (" +
                          format_number(std::round(planned_samples(plan.profile) * 2 / 1e6)) +
                          " MB).");
    }
    double remnant = plan.remnant;
    const PassResult final_pass = render_pass(plan.profile, s, remnant, &stream, [&](int phase) {
        if (stop.load()) return false;
        steps.banner(kPhaseBanner[phase]);
        return true;
    });
    if (final_pass.cancelled || stop.load()) {
        result.end = MoveResult::End::cancelled;
        return result;
    }
    check_move_length(double(stream.size()));

    steps.banner(kSoundFileBanner);
    const WriteResult written = writestreamtofile(stream, stop, request.file, steps);
    result.frames = std::int64_t(stream.size());
    SampleStream().swap(stream);  // release the samples before anything else runs
    result.pulses = written.pulses;
    if (!written.complete) {
        result.error = written.error;
        result.end = written.error.empty() ? MoveResult::End::cancelled : MoveResult::End::failed;
        return result;
    }
    result.end = MoveResult::End::written;
    // Too few steps ruin a joint as surely as too many: either is reported.
    if (auto line = step_difference_line(written.pulses, N)) steps.log(*line, true);
    return result;
}

// Moves run one at a time, in the order they were started: each worker takes a ticket
// when it is started and waits until every earlier worker has ended.
struct Gate {
    std::mutex mutex;
    std::condition_variable turn;
    std::uint64_t next_ticket = 0;
    std::uint64_t serving = 0;
    std::set<std::uint64_t> abandoned;  // tickets whose worker never started
    int running = 0;

    std::uint64_t take() {
        std::lock_guard lock(mutex);
        ++running;
        return next_ticket++;
    }
    void wait_for(std::uint64_t ticket) {
        std::unique_lock lock(mutex);
        turn.wait(lock, [&] { return serving == ticket; });
    }
    // The worker with this ticket has ended (or never started).
    void leave(std::uint64_t ticket) {
        std::lock_guard lock(mutex);
        --running;
        if (serving != ticket) {
            abandoned.insert(ticket);
            return;
        }
        ++serving;
        while (abandoned.erase(serving)) ++serving;
        turn.notify_all();
    }
};

Gate& gate() {
    static Gate* const g = new Gate;  // never destroyed: detached workers may outlive main
    return *g;
}

void report_error(MoveSteps& steps, const std::string& message) {
    try {
        steps.error(message);
    } catch (...) {
        // The window could not show it either; the worker ends all the same.
    }
}

}  // namespace

MoveResult run_move(const MoveRequest& request, MoveSteps& steps) {
    std::atomic<bool> never_stopped{false};
    const std::atomic<bool>& stop = request.stop ? *request.stop : never_stopped;
    try {
        return make_move(request, stop, steps);
    } catch (const MoveFailure& failure) {
        MoveResult result;
        result.end = MoveResult::End::failed;
        result.steps_wanted = wanted_steps(request.distance_mm, request.settings);
        result.error = failure.what();
        steps.error(result.error);
        return result;
    }
}

void start_move(MoveRequest request, std::shared_ptr<MoveSteps> steps) {
    Gate& g = gate();
    const std::uint64_t ticket = g.take();
    const auto worker = [ticket](MoveRequest req, std::shared_ptr<MoveSteps> st) {
        Gate& g = gate();
        g.wait_for(ticket);
        {
            // Everything of the move is released before the next one may start.
            const MoveRequest move = std::move(req);
            const std::shared_ptr<MoveSteps> move_steps = std::move(st);
            try {
                run_move(move, *move_steps);
            } catch (const std::exception& e) {
                report_error(*move_steps, std::string("The move failed: ") + e.what());
            } catch (...) {
                report_error(*move_steps, "The move failed.");
            }
        }
        g.leave(ticket);
    };
    try {
        std::thread(worker, std::move(request), std::move(steps)).detach();
    } catch (...) {
        g.leave(ticket);
        throw;
    }
}

int running_moves() {
    Gate& g = gate();
    std::lock_guard lock(g.mutex);
    return g.running;
}

}  // namespace kerf
