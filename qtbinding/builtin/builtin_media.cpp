// Tracks and media: counts, look-ups, handler description, time scale,
// sample descriptions and the decode-time search.
#include <cstdlib>
#include <cstring>

#include "movie/byte_cursor.h"
#include "qtbinding/builtin/builtin_store.h"
#include "qtbinding/builtin/timecode_record.h"

namespace {

void StoreNative16(char* p, uint16_t v) { std::memcpy(p, &v, 2); }
void StoreNative32(char* p, uint32_t v) { std::memcpy(p, &v, 4); }

// The fixed fields of an image description, big-endian in the file, are
// handed out in host byte order: size, codec type, reserved (4, 2), data
// reference index, version, revision, vendor, temporal and spatial quality,
// width (32), height (34), horizontal and vertical resolution, data size,
// frame count, then after the 32-byte name, depth (82) and colour table (84).
// Extensions after byte 86 stay as stored.
void ImageDescriptionToHost(char* d) {
    const uint8_t* u = reinterpret_cast<const uint8_t*>(d);
    static const uint8_t k32[] = {0, 4, 8, 20, 24, 28, 36, 40, 44};
    static const uint8_t k16[] = {12, 14, 16, 18, 32, 34, 48, 82, 84};
    for (uint8_t o : k32) StoreNative32(d + o, LoadU32(u + o));
    for (uint8_t o : k16) StoreNative16(d + o, LoadU16(u + o));
}

}  // namespace

extern "C" int32_t GetMovieTrackCount(Movie theMovie) {
    MovieRecord* m = LiveMovie(theMovie);
    return m ? int32_t(m->tracks.size()) : 0;
}

extern "C" Track GetMovieIndTrack(Movie theMovie, int32_t index) {
    MovieRecord* m = LiveMovie(theMovie);
    if (!m || index < 1 || size_t(index) > m->tracks.size()) return nullptr;
    return m->tracks[size_t(index) - 1].get();
}

extern "C" Media GetTrackMedia(Track theTrack) {
    TrackRecord* t = LiveTrack(theTrack);
    return t ? &t->media : nullptr;
}

extern "C" void GetMediaHandlerDescription(Media theMedia, OSType* mediaType, unsigned char* creatorName,
                                           OSType* creatorManufacturer) {
    MediaRecord* m = LiveMedia(theMedia);
    if (mediaType) *mediaType = m ? m->model->type : 0;
    if (creatorManufacturer) *creatorManufacturer = m ? m->model->manufacturer : 0;
    if (creatorName) {
        size_t n = m ? m->model->handlerName.size() : 0;
        if (n > 255) n = 255;
        creatorName[0] = uint8_t(n);
        if (n) std::memcpy(creatorName + 1, m->model->handlerName.data(), n);
    }
}

extern "C" TimeScale GetMediaTimeScale(Media theMedia) {
    MediaRecord* m = LiveMedia(theMedia);
    return m ? m->model->timeScale : 0;
}

// The end of the last sample: the sum of the time table's durations, which
// the timecode handler counts in too (a header's duration may disagree).
// Held at the largest 32-bit time.
extern "C" TimeValue GetMediaDuration(Media theMedia) {
    MediaRecord* m = LiveMedia(theMedia);
    if (!m) return 0;
    const int64_t end = m->model->runs.endTime;
    return end > INT32_MAX ? INT32_MAX : TimeValue(end < 0 ? 0 : end);
}

// Copies description `index` (1-based) into the handle's block, resized to
// fit. A video description shorter than an image description is padded with
// zeros to 86 bytes, so that every field of it can be read. An unknown
// media, handle or index leaves the handle as it was.
extern "C" void GetMediaSampleDescription(Media theMedia, int32_t index, Handle descH) {
    MediaRecord* m = LiveMedia(theMedia);
    HandleRecord* h = LiveHandle(descH);
    if (!m || !h || index < 1 || size_t(index) > m->model->descriptions.size()) return;
    const std::string& entry = m->model->descriptions[size_t(index) - 1];
    bool video = m->model->type == VideoMediaType;
    size_t size = entry.size();
    if (video && size < kImageDescriptionSize) size = kImageDescriptionSize;
    if (size != h->size) {
        void* block = std::realloc(h->block, size);
        if (!block) return;
        h->block = static_cast<char*>(block);
        h->size = size;
    }
    std::memset(h->block, 0, size);
    std::memcpy(h->block, entry.data(), entry.size());
    if (video) ImageDescriptionToHost(h->block);
}

// With nextTimeMediaSample and a rate that is not negative: the start of the
// first sample after decodeTime (at it too with nextTimeEdgeOK). -1 when there
// is none, or for any other kind of search (backwards, other flags).
extern "C" void GetMediaNextInterestingDecodeTime(Media theMedia, int16_t interestingTimeFlags,
                                                  TimeValue64 decodeTime, Fixed rate,
                                                  TimeValue64* interestingDecodeTime,
                                                  TimeValue64* interestingDecodeDuration) {
    int64_t start = -1, duration = 0;
    MediaRecord* m = LiveMedia(theMedia);
    if (m && (interestingTimeFlags & nextTimeMediaSample) && rate >= 0) {
        const bool edge = (interestingTimeFlags & nextTimeEdgeOK) != 0;
        if (!FindNextSampleStart(m->model->runs, decodeTime, edge, &m->nextTimeRun, &start, &duration)) {
            start = -1;
            duration = 0;
        }
    }
    if (interestingDecodeTime) *interestingDecodeTime = start;
    if (interestingDecodeDuration) *interestingDecodeDuration = duration;
}

bool ToolboxKnowsPresentationTimes(void) { return true; }

OSErr GetTrackPresentationOffset(Track theTrack, TrackPresentationOffset* offset) {
    TrackRecord* t = LiveTrack(theTrack);
    if (!t || !offset) return paramErr;
    offset->emptyEdits = TimeValue64(t->model->leadingEmptyEdits);
    offset->movieTimeScale = t->movie->timeScale;
    offset->compositionStart = t->model->media.compositionStart;
    return noErr;
}

namespace {

TimeCodeRecord LabelRecord(const TimecodeLabel& label) {
    TimeCodeRecord r{};
    r.t.hours = uint8_t(label.hours);
    r.t.minutes = uint8_t(label.minutes);
    r.t.seconds = uint8_t(label.seconds);
    r.t.frames = uint8_t(label.frames);
    return r;
}

}  // namespace

OSErr GetTimecodeOrigin(Media timecodeMedia, TimecodeOriginInfo* info) {
    MediaRecord* m = LiveMedia(timecodeMedia);
    if (!m || !info) return paramErr;
    const TimecodeOrigin& o = m->model->timecodeOrigin;
    info->source = o.source;
    info->halfStepDeclared = o.halfStepDeclared;
    info->xmlUnreadable = o.xmlUnreadable;
    info->xmlMismatch = o.xmlMismatch;
    if (!m->model->descriptions.empty()) ReadTimecodeDefinition(m->model->descriptions[0], &info->definition);
    info->xmlStart = LabelRecord(o.xmlStart);
    info->firstLabel = LabelRecord(o.firstLabel);
    info->dropFrameFromRate = o.dropFrameFromRate;
    return noErr;
}
