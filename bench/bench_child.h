// Runs a program as a child process through the small launcher bench_launch
// and reads what it measured: wall time from start to exit, the child's own
// peak resident memory and the bytes it read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ChildRun {
    bool started = false;
    int exitStatus = -1;      // exit code (0..255), or -1 when it did not exit normally
    double wallSeconds = 0;
    double cpuSeconds = 0;    // user and system time of the child
    int64_t peakKiB = 0;      // ru_maxrss of the child alone
    int64_t bytesRead = -1;   // what the child's reads returned; -1 when not known
};

// Starts argv[0] (a path, not searched) with standard output, and standard
// error too when quietErrors is set, sent to /dev/null.
ChildRun RunChild(const std::string& launcher, const std::vector<std::string>& argv, bool quietErrors);

// Seconds on the monotonic clock, and user and system seconds of this process.
double NowSeconds();
double CpuSeconds();

// The program's full path when `name` is found on PATH (or is a path that
// exists); empty when not.
std::string FindProgram(const std::string& name);
