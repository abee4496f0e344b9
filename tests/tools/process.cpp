#include "process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace kerf::test {
namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

ProcessResult run_signal_tool(const std::vector<std::string>& args,
                              std::optional<std::chrono::milliseconds> interrupt_after) {
    ScratchDir capture;
    const std::string out_file = capture.file("out");
    const std::string err_file = capture.file("err");

    std::vector<std::string> argv_storage{KERF_SIGNAL_TOOL};
    argv_storage.insert(argv_storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argv_storage) argv.push_back(a.data());
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        const int out = ::open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(97);
        ::execv(argv[0], argv.data());
        ::_exit(96);
    }
    if (interrupt_after) {
        std::this_thread::sleep_for(*interrupt_after);
        ::kill(pid, SIGINT);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) throw std::runtime_error("waitpid failed");

    ProcessResult result;
    result.exit_status = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    result.out = read_file(out_file);
    result.err = read_file(err_file);
    return result;
}

}  // namespace kerf::test
