// The stand-in QuickTime.qts (tests only): serves every selector the tool uses
// with the built-in Toolbox (qtbinding/builtin), so the Windows build runs end
// to end under Wine. The dispatcher (dispatcher_x86_64.S, dispatcher_i686.S)
// calls StandInResolve and jumps to the routine it returns with the caller's
// arguments untouched.
//
// Built with LUMAREST_STANDIN_HOOKS, the variant also lets a test steer and
// watch it through environment variables:
//   LUMAREST_STANDIN_LOG              file that gets one line per event
//                                     (attach, detach on FreeLibrary,
//                                     startup <flags>,
//                                     shutdown, entermovies), "-" for stdout
//   LUMAREST_STANDIN_STARTUP_STATUS   status the QTML start-up returns instead
//                                     of starting
//   LUMAREST_STANDIN_ENTERMOVIES_STATUS  status EnterMovies returns instead
//   LUMAREST_STANDIN_LOG_MODES        adds the process's error mode to the
//                                     attach and startup events, and the x87
//                                     control word to startup:
//                                     "attach errormode <n>",
//                                     "startup <flags> x87 <cw> errormode <n>"
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "qtbinding/toolbox.h"

namespace {

typedef void (*AnyRoutine)(void);

template <typename F>
AnyRoutine Routine(F* f) {
    return reinterpret_cast<AnyRoutine>(reinterpret_cast<void*>(f));
}

#ifdef LUMAREST_STANDIN_HOOKS
// Value of an environment variable as set for this process, or false.
bool ReadEnvironment(const char* name, char* value, DWORD capacity) {
    DWORD length = GetEnvironmentVariableA(name, value, capacity);
    return length > 0 && length < capacity;
}

void LogEvent(const char* event) {
    char path[MAX_PATH];
    if (!ReadEnvironment("LUMAREST_STANDIN_LOG", path, sizeof path)) return;
    if (path[0] == '-' && path[1] == '\0') {
        // The tool's own stream (one C runtime for both), so the order of the
        // lines against the tool's messages is the order of the calls.
        std::fputs("[stand-in] ", stdout);
        std::fputs(event, stdout);
        std::fputs("\n", stdout);
        std::fflush(stdout);
        return;
    }
    FILE* log = std::fopen(path, "ab");
    if (log == nullptr) return;
    std::fprintf(log, "%s\n", event);
    std::fclose(log);
}

// The event, with the error mode (and for the start-up the x87 control word)
// when the test asks for them.
void LogEventWithModes(const char* event, bool x87) {
    char value[8];
    if (!ReadEnvironment("LUMAREST_STANDIN_LOG_MODES", value, sizeof value)) return LogEvent(event);
    unsigned short controlWord = 0;
    __asm__ volatile("fnstcw %0" : "=m"(controlWord));
    char line[96];
    if (x87)
        std::snprintf(line, sizeof line, "%s x87 %04x errormode %u", event, controlWord, GetErrorMode());
    else
        std::snprintf(line, sizeof line, "%s errormode %u", event, GetErrorMode());
    LogEvent(line);
}

bool ChosenStatus(const char* name, OSErr* status) {
    char value[32];
    if (!ReadEnvironment(name, value, sizeof value)) return false;
    *status = OSErr(std::strtol(value, nullptr, 10));
    return true;
}
#else
void LogEvent(const char*) {}
void LogEventWithModes(const char*, bool) {}
bool ChosenStatus(const char*, OSErr*) { return false; }
#endif

OSErr StandInStartup(int32_t flags) {
    char event[32];
    std::snprintf(event, sizeof event, "startup %ld", long(flags));
    LogEventWithModes(event, true);
    OSErr status;
    if (ChosenStatus("LUMAREST_STANDIN_STARTUP_STATUS", &status)) return status;
    return InitializeQTML(flags);
}

void StandInShutdown(void) {
    LogEvent("shutdown");
    TerminateQTML();
}

OSErr StandInEnterMovies(void) {
    LogEvent("entermovies");
    OSErr status;
    if (ChosenStatus("LUMAREST_STANDIN_ENTERMOVIES_STATUS", &status)) return status;
    return EnterMovies();
}

// Selector 0x0002045F arrives with the address of each of its six arguments.
void NextInterestingTimeByAddress(Media* theMedia, uint32_t* flags, TimeValue64* decodeTime,
                                  Fixed* rate, TimeValue64** interestingDecodeTime,
                                  TimeValue64** interestingDecodeDuration) {
    GetMediaNextInterestingDecodeTime(*theMedia, int16_t(*flags), *decodeTime, *rate,
                                      *interestingDecodeTime, *interestingDecodeDuration);
}

OSErr UnknownSelector(void) { return paramErr; }

}  // namespace

extern "C" {

AnyRoutine StandInResolve(uint32_t selector) {
    switch (selector) {
        case kSelQtmlStartup: return Routine(StandInStartup);
        case kSelQtmlShutdown: return Routine(StandInShutdown);
        case kSelEnterMovies: return Routine(StandInEnterMovies);
        case kSelC2pstrcpy: return Routine(c2pstrcpy);
        case kSelP2cstrcpy: return Routine(p2cstrcpy);
        case kSelFSMakeFSSpec: return Routine(FSMakeFSSpec);
        case kSelOpenMovieFile: return Routine(OpenMovieFile);
        case kSelNewMovieFromFile: return Routine(NewMovieFromFile);
        case kSelGetMovieTrackCount: return Routine(GetMovieTrackCount);
        case kSelGetMovieIndTrack: return Routine(GetMovieIndTrack);
        case kSelGetTrackMedia: return Routine(GetTrackMedia);
        case kSelGetMediaHandlerDescription: return Routine(GetMediaHandlerDescription);
        case kSelGetMediaHandler: return Routine(GetMediaHandler);
        case kSelGetMediaTimeScale: return Routine(GetMediaTimeScale);
        case kSelGetMediaDuration: return Routine(GetMediaDuration);
        case kSelNewHandleClear: return Routine(NewHandleClear);
        case kSelGetMediaSampleDescription: return Routine(GetMediaSampleDescription);
        case kSelGetMediaNextInterestingDecodeTime: return Routine(NextInterestingTimeByAddress);
        case kSelCallComponent: return Routine(CallComponent);
    }
    // Loud on standard error, so a test that reaches it sees why.
    std::fprintf(stderr, "stand-in QuickTime.qts: no routine for selector 0x%08lx\n",
                 static_cast<unsigned long>(selector));
    std::fflush(stderr);
    return Routine(UnknownSelector);
}

// Exported because QuickTime.qts has them; the tool binds but never calls them.
OSErr StandInCallComponentFunctionWithStorage(void) { return paramErr; }
OSErr StandInCallComponent(void) { return paramErr; }

// Detach is logged only for FreeLibrary (reserved is null), not at process
// exit, when the C runtime may already be shut down.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) LogEventWithModes("attach", false);
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) LogEvent("detach");
    return TRUE;
}

}  // extern "C"
