// binding_probe.exe: drives the Windows binding one step per command-line word
// and prints what each step gave, one line each, for the Wine tests to compare.
//   folder [capacity]   FindQuickTimeFolder        -> "folder 1 <text>" / "folder 0 "
//   ext [capacity]      FindQuickTimeExtensionsFolder -> "ext <length> <text>"
//   reg <value> <capacity>  ReadQuickTimeRegistryFolder -> "reg <text>" (+ " overrun")
//   load                LoadQuickTimeLibrary       -> "load <module path>" / "load none"
//   preload <path>      LoadLibraryA               -> "preload ok" / "preload failed"
//   init <flags>        InitializeQTML             -> "init <status>"
//   term                TerminateQTML              -> "term"
//   loaded              QuickTime.qts in process?  -> "loaded <module path>" / "loaded none"
//   count               start-up count             -> "count <n>"
//   op                  EnterMovies                -> "op <status>"
//   bound               hook and dispatcher entry  -> "bound hook=<bind|none> dispatcher=<notbound|export>"
//   hooked <movie>      opens the movie and walks the first track's first two
//                       samples with a bind hook set before every operation
//                       -> "hooked open=<s> movie=<s> tracks=<n> times=<t0>,<t1> hooks=<k>"
//   mutex               start-up while this thread holds "QTMLInitTermMutex<pid>"
//                       -> "mutex blocked|not-blocked", then "mutex init <status>"
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "qtbinding/win32/binding.h"
#include "qtbinding/win32/locate.h"

namespace {

constexpr unsigned char kGuard = 0xAB;

DWORD CapacityArgument(int argc, char** argv, int* i, DWORD fallback) {
    if (*i + 1 < argc && argv[*i + 1][0] >= '0' && argv[*i + 1][0] <= '9')
        return DWORD(std::strtoul(argv[++*i], nullptr, 10));
    return fallback;
}

// Text of a buffer filled by the binding; reports writes past the capacity.
void PrintBuffer(const char* label, const char* prefix, const unsigned char* buffer,
                 DWORD capacity) {
    bool overrun = false;
    for (DWORD k = capacity; k < 2 * kQtPathCapacity; ++k)
        if (buffer[k] != kGuard) overrun = true;
    std::printf("%s %s%s%s\n", label, prefix, reinterpret_cast<const char*>(buffer),
                overrun ? " overrun" : "");
}

void PrintModule(const char* label, HMODULE module) {
    char path[MAX_PATH];
    if (module == nullptr || GetModuleFileNameA(module, path, sizeof path) == 0)
        std::printf("%s none\n", label);
    else
        std::printf("%s %s\n", label, path);
}

DWORD WINAPI StartUpThread(LPVOID result) {
    *static_cast<OSErr*>(result) = InitializeQTML(4);
    return 0;
}

void ProbeMutex() {
    char name[64];
    std::snprintf(name, sizeof name, "QTMLInitTermMutex%lx",
                  static_cast<unsigned long>(GetCurrentProcessId()));
    HANDLE mutex = CreateMutexA(nullptr, TRUE, name);
    OSErr status = 1;
    HANDLE thread = CreateThread(nullptr, 0, StartUpThread, &status, 0, nullptr);
    // A start-up that takes the same mutex cannot finish while it is held here.
    bool blocked = WaitForSingleObject(thread, 500) == WAIT_TIMEOUT;
    std::printf("mutex %s\n", blocked ? "blocked" : "not-blocked");
    ReleaseMutex(mutex);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(mutex);
    std::printf("mutex init %d\n", status);
}

int hookCalls = 0;

// A bind hook that leaves other values in all four argument registers (a call
// with five arguments) and clears itself, as the real binder does.
OSErr ClobberingHook(void) {
    ++hookCalls;
    char scratch[64];
    std::snprintf(scratch, sizeof scratch, "%d %d %d %d", 1, 2, 3, 4);
    QtmlBinding.bindHook = nullptr;
    return -1;
}

void Arm() { QtmlBinding.bindHook = ClobberingHook; }

void ProbeHookedOperations(const char* path) {
    Arm();
    EnterMovies();
    unsigned char name[256];
    Arm();
    c2pstrcpy(name, path);
    FSSpec fileSpec;
    Arm();
    FSMakeFSSpec(0, 0, name, &fileSpec);
    int16_t ref = 0;
    Arm();
    OSErr open = OpenMovieFile(&fileSpec, &ref, 1);
    Movie movie = nullptr;
    Arm();
    OSErr made = NewMovieFromFile(&movie, ref, nullptr, nullptr, 1, nullptr);
    Arm();
    long tracks = long(GetMovieTrackCount(movie));
    Arm();
    Track track = GetMovieIndTrack(movie, 1);
    Arm();
    Media media = GetTrackMedia(track);
    // Six arguments: the last two travel on the stack.
    TimeValue64 first = -7, second = -7, duration = 0;
    Arm();
    GetMediaNextInterestingDecodeTime(media, 0x4010, 0, 0x10000, &first, &duration);
    Arm();
    GetMediaNextInterestingDecodeTime(media, 0x0010, first, 0x10000, &second, &duration);
    std::printf("hooked open=%d movie=%d tracks=%ld times=%lld,%lld hooks=%d\n", open, made, tracks,
                static_cast<long long>(first), static_cast<long long>(second), hookCalls);
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // lines end in "\n" only
    static unsigned char buffer[2 * kQtPathCapacity];
    for (int i = 1; i < argc; ++i) {
        const char* command = argv[i];
        std::memset(buffer, kGuard, sizeof buffer);
        char* text = reinterpret_cast<char*>(buffer);
        if (std::strcmp(command, "folder") == 0) {
            DWORD capacity = CapacityArgument(argc, argv, &i, 247);
            bool found = FindQuickTimeFolder(text, capacity);
            PrintBuffer("folder", found ? "1 " : "0 ", buffer, capacity);
        } else if (std::strcmp(command, "ext") == 0) {
            DWORD capacity = CapacityArgument(argc, argv, &i, 247);
            size_t length = FindQuickTimeExtensionsFolder(text, capacity);
            char prefix[32];
            std::snprintf(prefix, sizeof prefix, "%u ", unsigned(length));
            PrintBuffer("ext", prefix, buffer, capacity);
        } else if (std::strcmp(command, "reg") == 0 && i + 2 < argc) {
            const char* value = argv[++i];
            DWORD capacity = DWORD(std::strtoul(argv[++i], nullptr, 10));
            ReadQuickTimeRegistryFolder(kQuickTimeRegistryKey, value, text, capacity);
            PrintBuffer("reg", "", buffer, capacity);
        } else if (std::strcmp(command, "load") == 0) {
            PrintModule("load", LoadQuickTimeLibrary("QuickTime.qts"));
        } else if (std::strcmp(command, "preload") == 0 && i + 1 < argc) {
            std::printf("preload %s\n", LoadLibraryA(argv[++i]) ? "ok" : "failed");
        } else if (std::strcmp(command, "init") == 0 && i + 1 < argc) {
            std::printf("init %d\n", InitializeQTML(std::atoi(argv[++i])));
        } else if (std::strcmp(command, "term") == 0) {
            TerminateQTML();
            std::printf("term\n");
        } else if (std::strcmp(command, "loaded") == 0) {
            PrintModule("loaded", GetModuleHandleA("QuickTime.qts"));
        } else if (std::strcmp(command, "count") == 0) {
            std::printf("count %ld\n", long(QtmlBinding.startupCount));
        } else if (std::strcmp(command, "op") == 0) {
            std::printf("op %d\n", EnterMovies());
        } else if (std::strcmp(command, "bound") == 0) {
            const char* hook = QtmlBinding.bindHook == BindQtmlEntryPoints ? "bind"
                               : QtmlBinding.bindHook == nullptr          ? "none"
                                                                         : "other";
            std::printf("bound hook=%s dispatcher=%s\n", hook,
                        QtmlBinding.dispatcher == QtmlNotBound ? "notbound" : "export");
        } else if (std::strcmp(command, "hooked") == 0 && i + 1 < argc) {
            ProbeHookedOperations(argv[++i]);
        } else if (std::strcmp(command, "mutex") == 0) {
            ProbeMutex();
        } else {
            std::printf("unknown command %s\n", command);
            return 2;
        }
        std::fflush(stdout);
    }
    return 0;
}
