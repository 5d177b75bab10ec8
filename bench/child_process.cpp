#include "child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

#include <fmt/format.h>

extern char** environ;

namespace vesk::bench {

namespace {

// The peak resident memory of the running process `pid` so far (VmHWM), in KB; 0 once it is
// gone. The kernel's own count of a child's peak (wait4) would start from the parent's, which
// a spawned child inherits until it runs its program.
long HighWaterKb(pid_t pid) {
    std::ifstream status(fmt::format("/proc/{}/status", pid));
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmHWM:")) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

}  // namespace

ChildUsage RunChild(const std::vector<std::string>& arguments, const std::string& input) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!input.empty()) {
        posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + arguments.at(0));
    }
    int status = 0;
    long peakKb = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        peakKb = std::max(peakKb, HighWaterKb(pid));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(fmt::format("{} failed", fmt::join(arguments, " ")));
    }
    return ChildUsage{elapsed.count(), peakKb};
}

}  // namespace vesk::bench
