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
#include "mxf/mxf_model.h"
#include "mxf/mxf_movie.h"
#include "qtbinding/builtin/timecode_handler.h"
#include "qtbinding/toolbox.h"

struct MediaRecord {
    const MediaModel* model = nullptr;
    MovieFile* file = nullptr;
    const MxfModel* mxf = nullptr;  // of an MXF file: what the body walk for system items needs
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
    std::unique_ptr<MxfModel> mxf;  // an MXF file's own model, beside the movie model made from it
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
    std::string openProblem;  // why the last movie could not be made, when the reader can say more
};

// The MXF timecode source that movies made from now on use; kept across
// start-ups, as the run sets it once.
extern MxfTimecodeChoice gMxfTimecodeChoice;

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
