#include "qtbinding/builtin/builtin_store.h"

#include <cstdlib>

// Nothing uses the store while globals are being constructed.
BuiltinStore gBuiltinStore;
MxfTimecodeChoice gMxfTimecodeChoice = MxfTimecodeChoice::Default;

bool ToolboxStarted() { return Store().startCount > 0; }

bool IsLive(const void* p, StoreKind kind) {
    if (!p) return false;
    auto it = Store().live.find(p);
    return it != Store().live.end() && it->second == kind;
}

void Register(const void* p, StoreKind kind) { Store().live[p] = kind; }

HandleRecord* LiveHandle(Handle h) {
    return IsLive(h, StoreKind::Handle) ? reinterpret_cast<HandleRecord*>(h) : nullptr;
}

namespace {

void ReleaseEverything() {
    BuiltinStore& s = Store();
    for (auto& f : s.files) CloseMovieFileForReading(f.second.get());
    for (auto& h : s.handles) std::free(h->block);
    s.files.clear();
    s.movies.clear();
    s.handlers.clear();
    s.handles.clear();
    s.live.clear();
    s.openProblem.clear();
    // Give the memory back, not just the elements.
    s.movies.shrink_to_fit();
    s.handlers.shrink_to_fit();
    s.handles.shrink_to_fit();
    std::unordered_map<const void*, StoreKind>().swap(s.live);
}

}  // namespace

extern "C" OSErr InitializeQTML(int32_t /*flags*/) {
    ++Store().startCount;
    return noErr;
}

extern "C" void TerminateQTML(void) {
    BuiltinStore& s = Store();
    if (s.startCount <= 0) {
        s.startCount = 0;
        return;
    }
    if (--s.startCount == 0) ReleaseEverything();
}

extern "C" OSErr EnterMovies(void) { return ToolboxStarted() ? noErr : kQtmlNotBound; }
