// QTML start-up and shut-down: load QuickTime.qts, bind its three exports and
// start QuickTime's Media Layer, counted so that nested start-ups share one
// load, each under a mutex named after the current process.
#include <windows.h>

#include "qtbinding/win32/binding.h"
#include "qtbinding/win32/locate.h"

extern "C" {

OSErr QtmlNotBound(void) { return kQtmlNotBound; }

QtmlBindingRecord QtmlBinding = {nullptr,      0,           BindQtmlEntryPoints,
                                 QtmlNotBound, QtmlNotBound, QtmlNotBound};

}  // extern "C"

namespace {

// One export of the held module, or null. With no module held there is
// nothing to look in (a null module would make GetProcAddress search the
// program itself).
QtmlRoutine LookUpExport(const char* name) {
    if (QtmlBinding.module == nullptr) return nullptr;
    FARPROC routine = GetProcAddress(static_cast<HMODULE>(QtmlBinding.module), name);
    // Through the generic routine type: the export's own signature is unknown here.
    return reinterpret_cast<QtmlRoutine>(reinterpret_cast<void (*)(void)>(routine));
}

// Back to Unbound: every entry routine binds first and then ends in QtmlNotBound.
void ResetEntryPoints() {
    QtmlBinding.bindHook = BindQtmlEntryPoints;
    QtmlBinding.callComponentFunctionWithStorage = QtmlNotBound;
    QtmlBinding.callComponent = QtmlNotBound;
    QtmlBinding.dispatcher = QtmlNotBound;
}

// The mutex "QTMLInitTermMutex<process id in lower-case hex>", shared by all
// code in this process that names it the same way. Null when it cannot be had;
// start-up and shut-down then run without it.
HANDLE TakeQtmlLock() {
    char name[256];
    wsprintfA(name, "QTMLInitTermMutex%lx", static_cast<unsigned long>(GetCurrentProcessId()));
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    if (mutex != nullptr) WaitForSingleObject(mutex, INFINITE);
    return mutex;
}

void GiveQtmlLockBack(HANDLE mutex) {
    if (mutex == nullptr) return;
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

// Finds and loads the library with Windows' critical-error message boxes off
// (a damaged QuickTime.qts, a DLL it needs missing, a registry folder on a
// drive without a disk): a run nobody watches would wait on the box for ever.
// The failure is then the -2093 status; the process's own mode comes back after.
HMODULE LoadWithoutErrorBoxes(const char* fileName) {
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    SetErrorMode(previousMode | SEM_FAILCRITICALERRORS);
    HMODULE module = LoadQuickTimeLibrary(fileName);
    SetErrorMode(previousMode);
    return module;
}

}  // namespace

extern "C" {

// A failed lookup leaves QtmlNotBound in its entry point, never null, so an
// operation that runs this binder as its hook can still only end in -2095.
OSErr BindQtmlEntryPoints(void) {
    const struct {
        const char* name;
        QtmlRoutine* entry;
    } exports[] = {
        {"_CallComponentFunctionWithStorage", &QtmlBinding.callComponentFunctionWithStorage},
        {"_CallComponent", &QtmlBinding.callComponent},
        {"theQuickTimeDispatcher", &QtmlBinding.dispatcher},
    };
    for (const auto& e : exports) {
        QtmlRoutine routine = LookUpExport(e.name);
        if (routine == nullptr) {
            *e.entry = QtmlNotBound;
            return kQtmlEntryPointMissing;
        }
        *e.entry = routine;
    }
    QtmlBinding.bindHook = nullptr;
    return noErr;
}

OSErr InitializeQTML(int32_t flags) {
    HANDLE lock = TakeQtmlLock();
    OSErr status = noErr;
    if (QtmlBinding.startupCount > 0) {
        ++QtmlBinding.startupCount;
    } else {
        QtmlBinding.module = LoadWithoutErrorBoxes("QuickTime.qts");
        if (QtmlBinding.module == nullptr)
            status = kQtmlLibraryNotFound;
        else
            status = BindQtmlEntryPoints();
        if (status == noErr) status = QtmlStartupRoutine(flags);
        if (status == noErr) {
            QtmlBinding.startupCount = 1;
        } else {
            if (QtmlBinding.module != nullptr) FreeLibrary(static_cast<HMODULE>(QtmlBinding.module));
            QtmlBinding.module = nullptr;
            ResetEntryPoints();
        }
    }
    GiveQtmlLockBack(lock);
    return status;
}

void TerminateQTML(void) {
    HANDLE lock = TakeQtmlLock();
    if (QtmlBinding.startupCount <= 0) {
        QtmlBinding.startupCount = 0;
    } else if (--QtmlBinding.startupCount == 0) {
        // QuickTime stops while its entry points are still bound.
        QtmlShutdownRoutine();
        ResetEntryPoints();
        FreeLibrary(static_cast<HMODULE>(QtmlBinding.module));
        QtmlBinding.module = nullptr;
    }
    GiveQtmlLockBack(lock);
}

}  // extern "C"
