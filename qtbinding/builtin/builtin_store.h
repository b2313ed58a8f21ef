// The one process-wide store of everything the built-in Toolbox hands out:
// open files, movies with their tracks and media, media handlers and handles.
// Nothing is released before the last TerminateQTML, which frees it all.
// Every reference that comes back in is looked up here first, so a reference
// that the store does not hold (stale after the shut-down, or never handed
// out) is refused instead of followed.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "movie/movie_file.h"
#include "movie/movie_model.h"
#include "qtbinding/builtin/timecode_handler.h"
#include "qtbinding/toolbox.h"

struct MediaRecord {
    const MediaModel* model = nullptr;
    MovieFile* file = nullptr;
    ComponentInstanceRecord* handler = nullptr;  // made on first request
    size_t nextTimeRun = 0;  // time run of the last next-sample answer: where the next search starts
};

struct TrackRecord {
    const MovieModel* movie = nullptr;
    const TrackModel* model = nullptr;
    MediaRecord media;
};

struct MovieRecord {
    MovieModel model;
    std::vector<std::unique_ptr<TrackRecord>> tracks;
};

struct ComponentInstanceRecord {
    MediaRecord* media = nullptr;
    bool timecode = false;  // answers the timecode requests; other handlers answer none
    TimecodeSampleCache cache;
};

struct HandleRecord {
    char* block = nullptr;  // first member: a Handle is the address of this field
    size_t size = 0;
};

enum class StoreKind : uint8_t { Movie, Track, Media, Handler, Handle };

struct BuiltinStore {
    int32_t startCount = 0;
    int16_t lastFileRef = 0;  // never reset, so references of a past start-up stay unknown
    std::map<int16_t, std::unique_ptr<MovieFile>> files;
    std::vector<std::unique_ptr<MovieRecord>> movies;
    std::vector<std::unique_ptr<ComponentInstanceRecord>> handlers;
    std::vector<std::unique_ptr<HandleRecord>> handles;
    std::unordered_map<const void*, StoreKind> live;
};

extern BuiltinStore gBuiltinStore;
inline BuiltinStore& Store() { return gBuiltinStore; }

bool ToolboxStarted();

// True when the store handed out p as a reference of this kind.
bool IsLive(const void* p, StoreKind kind);

void Register(const void* p, StoreKind kind);

// Checked casts of the references handed in; null when not held.
inline MovieRecord* LiveMovie(Movie m) { return IsLive(m, StoreKind::Movie) ? m : nullptr; }
inline TrackRecord* LiveTrack(Track t) { return IsLive(t, StoreKind::Track) ? t : nullptr; }
inline MediaRecord* LiveMedia(Media m) { return IsLive(m, StoreKind::Media) ? m : nullptr; }
inline ComponentInstanceRecord* LiveHandler(ComponentInstance c) {
    return IsLive(c, StoreKind::Handler) ? c : nullptr;
}
HandleRecord* LiveHandle(Handle h);
