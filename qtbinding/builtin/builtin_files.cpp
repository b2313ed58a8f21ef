// Counted strings, file specifications, handles, the movie-file open and
// movie creation.
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "movie/movie_parse.h"
#include "qtbinding/builtin/builtin_status.h"
#include "qtbinding/builtin/builtin_store.h"

namespace {

constexpr int16_t kMovieInDataForkResID = -1;
constexpr OSErr tmfoErr = -42;  // every 16-bit file reference is in use

// Next free positive 16-bit reference, counting on from the last one handed
// out in this process.
bool NextFileRef(BuiltinStore& s, int16_t* ref) {
    for (int tries = 0; tries < INT16_MAX; ++tries) {
        s.lastFileRef = s.lastFileRef >= INT16_MAX ? 1 : int16_t(s.lastFileRef + 1);
        if (!s.files.count(s.lastFileRef)) {
            *ref = s.lastFileRef;
            return true;
        }
    }
    return false;
}

// A movie's tracks and media get records of their own so that each can be
// handed out and checked.
MovieRecord* AddMovieRecords(BuiltinStore& s, std::unique_ptr<MovieRecord> movie, MovieFile* file) {
    // The store owns the movie before anything of it is registered, so that
    // running out of memory half-way leaves no registered record behind.
    s.movies.push_back(std::move(movie));
    MovieRecord* m = s.movies.back().get();
    m->tracks.reserve(m->model.tracks.size());
    for (const TrackModel& t : m->model.tracks) {
        m->tracks.emplace_back(new TrackRecord);
        TrackRecord* track = m->tracks.back().get();
        track->movie = &m->model;
        track->model = &t;
        track->media.model = &t.media;
        track->media.file = file;
        track->media.mxf = m->mxf.get();
    }
    for (auto& track : m->tracks) {
        Register(track.get(), StoreKind::Track);
        Register(&track->media, StoreKind::Media);
    }
    Register(m, StoreKind::Movie);
    return m;
}

}  // namespace

extern "C" void c2pstrcpy(unsigned char* dst, const char* src) {
    if (!dst) return;
    size_t n = 0;
    if (src) {
        while (n < 255 && src[n] != 0) ++n;
        std::memmove(dst + 1, src, n);
    }
    dst[0] = uint8_t(n);
}

extern "C" void p2cstrcpy(char* dst, const unsigned char* src) {
    if (!dst) return;
    size_t n = src ? src[0] : 0;
    for (size_t i = 0; i < n; ++i) dst[i] = char(src[i + 1]);  // front to back: dst may be src itself
    dst[n] = 0;
}

extern "C" OSErr FSMakeFSSpec(int16_t vRefNum, int32_t dirID, const unsigned char* fileName, FSSpec* fileSpec) {
    if (!ToolboxStarted()) return kQtmlNotBound;
    if (!fileName || !fileSpec) return paramErr;
    std::memset(fileSpec, 0, sizeof *fileSpec);
    fileSpec->vRefNum = vRefNum;
    fileSpec->parID = dirID;
    std::memcpy(fileSpec->name, fileName, size_t(fileName[0]) + 1);
    return noErr;
}

extern "C" Handle NewHandleClear(int32_t byteCount) {
    if (!ToolboxStarted() || byteCount < 0) return nullptr;
    void* block = std::calloc(byteCount > 0 ? size_t(byteCount) : 1, 1);
    if (!block) return nullptr;
    HandleRecord* h = new (std::nothrow) HandleRecord;
    if (!h) {
        std::free(block);
        return nullptr;
    }
    h->block = static_cast<char*>(block);
    h->size = size_t(byteCount);
    try {
        Register(h, StoreKind::Handle);
        Store().handles.emplace_back(h);
    } catch (const std::bad_alloc&) {
        Store().live.erase(h);
        std::free(block);
        delete h;
        return nullptr;
    }
    return &h->block;
}

// Opens read-only whatever permission is asked: the reader never writes.
extern "C" OSErr OpenMovieFile(const FSSpec* fileSpec, int16_t* resRefNum, int8_t /*permission*/) {
    if (!ToolboxStarted()) return kQtmlNotBound;
    if (!fileSpec || !resRefNum) return paramErr;
    std::string path(reinterpret_cast<const char*>(fileSpec->name + 1), fileSpec->name[0]);
    // A zero byte would cut the path short and could name another file.
    if (path.find('\0') != std::string::npos) return bdNamErr;
    BuiltinStore& s = Store();
    int16_t ref;
    if (!NextFileRef(s, &ref)) return tmfoErr;
    std::unique_ptr<MovieFile> file(new MovieFile);
    OSErr err = ToolboxStatus(OpenMovieFileForReading(path, file.get()));
    if (err != noErr) return err;
    s.files[ref] = std::move(file);
    *resRefNum = ref;
    return noErr;
}

extern "C" OSErr NewMovieFromFile(Movie* theMovie, int16_t resRefNum, int16_t* resId,
                                  unsigned char* resName, int16_t /*newMovieFlags*/,
                                  uint8_t* dataRefWasChanged) {
    if (!ToolboxStarted()) return kQtmlNotBound;
    if (!theMovie) return paramErr;
    *theMovie = nullptr;
    if (resId) *resId = kMovieInDataForkResID;
    if (resName) resName[0] = 0;
    if (dataRefWasChanged) *dataRefWasChanged = 0;
    BuiltinStore& s = Store();
    auto it = s.files.find(resRefNum);
    if (it == s.files.end()) return rfNumErr;
    MovieFile* file = it->second.get();
    s.openProblem.clear();
    try {
        std::unique_ptr<MovieRecord> movie(new MovieRecord);
        MovieStatus status = ReadMovie(file, &movie->model);
        // Not a QuickTime movie: an MXF file, when a partition pack opens it.
        if (status == MovieStatus::NoMovie && LooksLikeMxf(file)) {
            movie->model = MovieModel();
            movie->mxf.reset(new MxfModel);
            std::string problem;
            status = ReadMxfMovie(file, gMxfTimecodeChoice, movie->mxf.get(), &movie->model, &problem);
            if (status == MovieStatus::Damaged && !problem.empty())
                s.openProblem = "the MXF file's header metadata cannot be read: " + problem;
        }
        OSErr err = ToolboxStatus(status);
        if (err != noErr) return err;
        *theMovie = AddMovieRecords(s, std::move(movie), file);
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
    return noErr;
}
