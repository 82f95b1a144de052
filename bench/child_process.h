// What the window benchmarks share: a measurement run in a fresh process of the benchmark
// itself (a start, or the memory of a given book size), the median of repeated figures and the
// resident memory of this process.
#pragma once

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace pile::bench {

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline long long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0;
    long long resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// The path of this benchmark's own program, for the measurement children it spawns.
inline std::string SelfPath() {
    char path[4096] = {};
    if (const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1); n > 0) {
        return path;
    }
    return "/proc/self/exe";
}

// Without a display the benchmarks draw on Qt's offscreen platform.
inline void OffscreenWithoutDisplay() {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
}

// Spawns `self` with `args` and returns what it prints on its standard output.
inline std::string RunChild(const char* self, std::vector<std::string> args) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::string selfArg = self;
    std::vector<char*> argv{selfArg.data()};
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, self, &actions, nullptr, argv.data(), environ) != 0) {
        std::perror("posix_spawn");
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    std::string output;
    char buffer[256];
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return output;
}

}  // namespace pile::bench
