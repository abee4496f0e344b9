// How fast a move is ready, and how much memory it takes: one planning pass per sample,
// whole moves from distance to WAV file beside their own movement time, sox writing the
// same length of sweep for comparison, and the peak memory of preparing a move.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "move.h"
#include "planner.h"

extern char** environ;

namespace {

using namespace kerf;
namespace fs = std::filesystem;

// A folder for the files the benchmarks write, removed at the end.
struct TempFolder {
    fs::path path;
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "kerf-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        path = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

TempFolder& temp() {
    static TempFolder folder;
    return folder;
}

class NoWindow : public MoveSteps {
  public:
    void no_movement() override {}
    void banner(const std::string&) override {}
    void writer_start() override {}
    void progress() override {}
    void done(const std::string&, std::int32_t) override {}
    void error(const std::string& message) override {
        std::fprintf(stderr, "%s\n", message.c_str());
    }
    void log(const std::string& message, bool) override {
        std::fprintf(stderr, "%s\n", message.c_str());
    }
};

MoveRequest request(double mm, const std::string& name) {
    MoveRequest r;
    r.distance_mm = mm;
    r.file = (temp().path / name).string();
    return r;
}

// The reference length: a 100 mm move at the default settings.
constexpr double kReferenceMm = 100;

std::int64_t planning_pass(double mm) {
    const MotionSettings s;
    const Profile p = initial_profile(wanted_steps(mm, s), s);
    double remnant = 0;
    return render_pass(p, s, remnant, nullptr, [](int) { return true; }).samples;
}

void BM_PlanningPass(benchmark::State& state) {
    std::int64_t samples = 0;
    for (auto _ : state) {
        samples = planning_pass(kReferenceMm);
        benchmark::DoNotOptimize(samples);
    }
    state.counters["samples"] = double(samples);
    state.counters["ns_per_sample"] =
        benchmark::Counter(double(samples), benchmark::Counter::kIsIterationInvariantRate |
                                                benchmark::Counter::kInvert);
}
BENCHMARK(BM_PlanningPass)
    ->Name("PlanningPass/100mm")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_PrepareMove(benchmark::State& state, double mm) {
    NoWindow window;
    MoveResult r;
    for (auto _ : state) {
        r = run_move(request(mm, "Move.wav"), window);
        if (r.end != MoveResult::End::written) state.SkipWithError("the move was not written");
    }
    state.counters["movement_s"] = double(r.frames) / kSampleRate;
    state.counters["passes"] = r.passes;
    state.counters["pulses"] = r.pulses;
}

// sox writing a linear sweep of the same length as the reference move, in the same run.
void BM_SoxSweep(benchmark::State& state) {
    const double seconds = double(planning_pass(kReferenceMm)) / kSampleRate;
    char length[32];
    std::snprintf(length, sizeof length, "%.6f", seconds);
    const std::string out = (temp().path / "sox.wav").string();
    std::vector<std::string> args = {"sox", "-n", "-r",    "44100", "-b",   "16",      "-c",
                                     "2",   out,  "synth", length,  "sine", "50:10000"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawnp(&pid, "sox", nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("sox is not installed");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("sox failed");
            break;
        }
    }
    const double samples = std::round(seconds * kSampleRate);
    state.counters["samples"] = samples;
    state.counters["ns_per_sample"] = benchmark::Counter(
        samples, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SoxSweep)->Name("SoxSweep/100mm")->Unit(benchmark::kMillisecond)->UseRealTime();

// Peak memory of preparing one move, in a fresh process of its own (this program again,
// started with --peak-child=MM): the growth of its largest resident set while it plans,
// renders and writes (VmHWM). The child prints the growth and the stream size in bytes.
// The peak resident set of this process image, in bytes. (getrusage's maximum would
// include the parent's from before the exec.)
double peak_resident() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    double kb = -1;
    while (std::fgets(line, sizeof line, f)) {
        if (std::sscanf(line, "VmHWM: %lf kB", &kb) == 1) break;
    }
    std::fclose(f);
    return kb * 1024;
}

int peak_child(double mm) {
    const double before = peak_resident();
    NoWindow window;
    const MoveResult r = run_move(request(mm, "Peak.wav"), window);
    const double after = peak_resident();
    if (before < 0 || after < 0) return 1;
    std::printf("%.0f %.0f\n", after - before, double(r.frames) * 2);
    return r.end == MoveResult::End::written ? 0 : 1;
}

void BM_PeakMemory(benchmark::State& state, double mm) {
    double grown_mb = 0;
    double stream_mb = 0;
    for (auto _ : state) {
        std::string self = fs::read_symlink("/proc/self/exe").string();
        std::string arg = "--peak-child=" + std::to_string(mm);
        char* argv[] = {self.data(), arg.data(), nullptr};
        int fds[2];
        if (pipe(fds) != 0) std::abort();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        char text[128] = {};
        const ssize_t n = spawned == 0 ? read(fds[0], text, sizeof text - 1) : -1;
        close(fds[0]);
        int status = 0;
        if (spawned == 0) waitpid(pid, &status, 0);
        double grown = 0, stream = 0;
        if (spawned != 0 || n <= 0 || std::sscanf(text, "%lf %lf", &grown, &stream) != 2 ||
            !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the move failed in the child process");
            break;
        }
        grown_mb = grown / 1e6;
        stream_mb = stream / 1e6;
    }
    state.counters["peak_MB"] = grown_mb;
    state.counters["stream_MB"] = stream_mb;
    state.counters["limit_MB"] = 1.2 * stream_mb + 10;
}

struct Figures {
    double real_ms = 0;
    std::map<std::string, double> counters;
};

// Keeps every run's figures for the summary, and prints as usual.
class Collector : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, Figures> runs;
    void ReportRuns(const std::vector<Run>& report) override {
        for (const Run& run : report) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            Figures f;
            f.real_ms = run.GetAdjustedRealTime() *
                        benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond) /
                        benchmark::GetTimeUnitMultiplier(run.time_unit);
            for (const auto& [name, counter] : run.counters) f.counters[name] = counter.value;
            runs[run.benchmark_name()] = f;
        }
        ConsoleReporter::ReportRuns(report);
    }
};

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

int summary(const Collector& c) {
    int missed = 0;
    std::printf("\n== Summary\n");
    const auto find = [&c](const std::string& name) -> const Figures* {
        for (const auto& [run, figures] : c.runs) {
            if (run.rfind(name, 0) == 0) return &figures;
        }
        return nullptr;
    };

    const Figures* pass = find("PlanningPass/100mm");
    const Figures* sox = find("SoxSweep/100mm");
    if (pass) {
        std::printf("one planning pass: %.2f ns per sample (%.0f samples, %.2f ms)\n",
                    pass->counters.at("ns_per_sample") * 1e9, pass->counters.at("samples"),
                    pass->real_ms);
    }
    if (sox) {
        std::printf("sox sweep of the same length: %.2f ns per sample (%.2f ms)\n",
                    sox->counters.at("ns_per_sample") * 1e9, sox->real_ms);
    }
    if (pass && sox) {
        const double ratio = pass->counters.at("ns_per_sample") / sox->counters.at("ns_per_sample");
        const bool met = ratio <= 1.0 / 3.0;
        missed += !met;
        std::printf("  planning pass / sox per sample: %.3f (target at most 0.333): %s\n", ratio,
                    verdict(met));
    }

    std::printf("preparing a move (plan, final pass, write) beside its movement time:\n");
    for (const char* mm : {"1", "12.7", "100", "1000"}) {
        const Figures* f = find(std::string("PrepareMove/") + mm + "mm");
        if (!f) continue;
        const double movement_ms = f->counters.at("movement_s") * 1000;
        const double share = f->real_ms / movement_ms;
        std::printf("  %6s mm: %9.2f ms for %9.1f ms of movement = 1/%-7.0f (%0.f passes)", mm,
                    f->real_ms, movement_ms, 1 / share, f->counters.at("passes"));
        if (std::string(mm) == "100") {
            const bool met = share <= 0.01;
            missed += !met;
            std::printf("  target at most 1/100: %s", verdict(met));
        }
        std::printf("\n");
    }

    std::printf("peak memory while preparing a move (limit 1.2 x stream + 10 MB):\n");
    for (const char* mm : {"100", "1000"}) {
        const Figures* f = find(std::string("PeakMemory/") + mm + "mm");
        if (!f) continue;
        const double peak = f->counters.at("peak_MB");
        const double limit = f->counters.at("limit_MB");
        const bool met = peak <= limit;
        missed += !met;
        std::printf("  %6s mm: %7.1f MB for a stream of %7.1f MB, limit %7.1f MB: %s\n", mm, peak,
                    f->counters.at("stream_MB"), limit, verdict(met));
    }
    std::printf(missed ? "%d target(s) missed\n" : "all targets met\n", missed);
    return missed;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string child = "--peak-child=";
    if (argc == 2 && std::string(argv[1]).rfind(child, 0) == 0) {
        return peak_child(std::atof(argv[1] + child.size()));
    }
    for (const auto& [name, mm] : std::vector<std::pair<const char*, double>>{
             {"1", 1}, {"12.7", 12.7}, {"100", 100}, {"1000", 1000}}) {
        benchmark::RegisterBenchmark((std::string("PrepareMove/") + name + "mm").c_str(),
                                     BM_PrepareMove, mm)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    for (const auto& [name, mm] :
         std::vector<std::pair<const char*, double>>{{"100", 100}, {"1000", 1000}}) {
        benchmark::RegisterBenchmark((std::string("PeakMemory/") + name + "mm").c_str(),
                                     BM_PeakMemory, mm)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(1);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    const int missed = summary(collector);
    benchmark::Shutdown();
    return missed ? 3 : 0;
}
