/* bench_launch: starts a program, waits for it and prints on standard output
 * "<wall nanoseconds> <peak resident KiB> <exit status> <CPU nanoseconds>
 * <bytes read>", the CPU time being the program's user and system time
 * together and the bytes read what its read calls returned (rchar of
 * /proc/<pid>/io, taken after it ended and before it is reaped; -1 where
 * there is none).
 *
 * Linux records the memory high-water mark of the process image that an exec
 * replaces as the child's own peak, so a child started straight from the large
 * benchmark process would report the benchmark's peak. This launcher is small
 * (linked statically where possible), so the peak it reports is the program's.
 *
 *   bench_launch quiet|loud PROGRAM [ARG...]
 * quiet sends the program's standard error to /dev/null as well as its output. */
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static long long Nanoseconds(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    int quiet = strcmp(argv[1], "quiet") == 0;
    long long start = Nanoseconds();
    pid_t pid = fork();
    if (pid < 0) return 1;
    if (pid == 0) {
        int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
            if (quiet) dup2(null, STDERR_FILENO);
            close(null);
        }
        execv(argv[2], argv + 2);
        _exit(127);
    }
    /* Ended but not yet reaped: its /proc entry still holds its counts. */
    siginfo_t ended;
    while (waitid(P_PID, (id_t)pid, &ended, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
    }
    long long bytesRead = -1;
    char ioPath[64];
    snprintf(ioPath, sizeof ioPath, "/proc/%ld/io", (long)pid);
    FILE* io = fopen(ioPath, "r");
    if (io) {
        char line[128];
        while (fgets(line, sizeof line, io))
            if (sscanf(line, "rchar: %lld", &bytesRead) == 1) break;
        fclose(io);
    }
    int status = 0;
    struct rusage usage;
    memset(&usage, 0, sizeof usage);
    pid_t done;
    do {
        done = wait4(pid, &status, 0, &usage);
    } while (done < 0 && errno == EINTR);
    if (done != pid) return 1;
    long long wall = Nanoseconds() - start;
    long long cpu = ((long long)usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000000LL +
                    ((long long)usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1000LL;
    printf("%lld %ld %d %lld %lld\n", wall, (long)usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1,
           cpu, bytesRead);
    return 0;
}
