#include "scratch.h"

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace kerf::test {

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_all(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

int run_in_child(const std::function<int()>& body, bool drop_root) {
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        int code = 99;
        try {
            if (drop_root && ::geteuid() == 0) {
                if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(98);
            }
            code = body();
        } catch (...) {
            code = 99;
        }
        ::_exit(code);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) throw std::runtime_error("waitpid failed");
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

}  // namespace kerf::test
