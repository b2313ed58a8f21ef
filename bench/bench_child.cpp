#include "bench/bench_child.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

extern char** environ;

double NowSeconds() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

ChildRun RunChild(const std::string& launcher, const std::vector<std::string>& argv, bool quietErrors) {
    ChildRun run;
    std::vector<std::string> all = {launcher, quietErrors ? "quiet" : "loud"};
    all.insert(all.end(), argv.begin(), argv.end());
    std::vector<char*> args;
    for (const std::string& a : all) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    int fds[2];
    if (pipe(fds) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return run;
    }
    std::string report;
    char buffer[256];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        report.append(buffer, size_t(n));
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }

    long long wall = 0, cpu = 0, bytesRead = -1;
    long peak = 0;
    int exitStatus = -1;
    if (std::sscanf(report.c_str(), "%lld %ld %d %lld %lld", &wall, &peak, &exitStatus, &cpu, &bytesRead) != 5)
        return run;
    run.bytesRead = bytesRead;
    run.cpuSeconds = double(cpu) * 1e-9;
    run.started = exitStatus != 127;
    run.exitStatus = exitStatus;
    run.wallSeconds = double(wall) * 1e-9;
    run.peakKiB = peak;
    return run;
}

std::string FindProgram(const std::string& name) {
    struct stat st;
    if (name.find('/') != std::string::npos)
        return stat(name.c_str(), &st) == 0 ? name : std::string();
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t begin = 0;
    while (begin <= dirs.size()) {
        size_t end = dirs.find(':', begin);
        if (end == std::string::npos) end = dirs.size();
        std::string candidate = dirs.substr(begin, end - begin) + "/" + name;
        if (end > begin && stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        begin = end + 1;
    }
    return std::string();
}
