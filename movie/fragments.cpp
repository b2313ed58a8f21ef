#include "movie/fragments.h"

#include "movie/atom.h"
#include "movie/byte_cursor.h"

namespace {

// tfhd flags
constexpr uint32_t kBaseDataOffset = 0x000001;
constexpr uint32_t kDescriptionIndex = 0x000002;
constexpr uint32_t kDefaultDuration = 0x000008;
constexpr uint32_t kDefaultSize = 0x000010;
constexpr uint32_t kDefaultFlags = 0x000020;
constexpr uint32_t kDefaultBaseIsMoof = 0x020000;
// trun flags
constexpr uint32_t kDataOffset = 0x000001;
constexpr uint32_t kFirstSampleFlags = 0x000004;
constexpr uint32_t kSampleDuration = 0x000100;
constexpr uint32_t kSampleSize = 0x000200;
constexpr uint32_t kSampleFlags = 0x000400;
constexpr uint32_t kSampleCompositionOffset = 0x000800;

struct FragmentTrack {
    TrackModel* track = nullptr;
    uint64_t base = 0;          // base data offset
    uint64_t next = 0;          // where the next trun's data starts without its own offset
    uint32_t description = 1;
    uint32_t duration = 0;
    uint32_t size = 0;
    bool hasDecodeTime = false;
    uint64_t decodeTime = 0;
};

TrackModel* FindTrack(MovieModel* movie, uint32_t trackID) {
    // Two tracks may share an ID: the fragments go to the first.
    for (TrackModel& t : movie->tracks)
        if (t.trackID == trackID) return &t;
    return nullptr;
}

// tfhd: version/flags, track ID, then the optional fields in flag order.
bool ReadTfhd(ByteCursor c, MovieModel* movie, uint64_t moofOffset, uint64_t prevTrafEnd, FragmentTrack* f) {
    uint8_t version;
    uint32_t flags, trackID, ignored;
    if (!ReadVersionAndFlags(&c, &version, &flags) || !ReadU32(&c, &trackID)) return false;
    f->track = FindTrack(movie, trackID);
    const TrackExtends* ex = nullptr;
    for (const TrackExtends& e : movie->extends)
        if (e.trackID == trackID) ex = &e;
    if (ex) {
        f->description = ex->description;
        f->duration = ex->duration;
        f->size = ex->size;
    }
    f->base = (flags & kDefaultBaseIsMoof) ? moofOffset : prevTrafEnd;
    if ((flags & kBaseDataOffset) && !ReadU64(&c, &f->base)) return false;
    if ((flags & kDescriptionIndex) && !ReadU32(&c, &f->description)) return false;
    if ((flags & kDefaultDuration) && !ReadU32(&c, &f->duration)) return false;
    if ((flags & kDefaultSize) && !ReadU32(&c, &f->size)) return false;
    if ((flags & kDefaultFlags) && !ReadU32(&c, &ignored)) return false;
    f->next = f->base;
    return true;
}

// tfdt: version 0 a 32-bit, version 1 a 64-bit base media decode time.
bool ReadTfdt(ByteCursor c, FragmentTrack* f) {
    uint8_t version;
    uint32_t flags;
    if (!ReadVersionAndFlags(&c, &version, &flags)) return false;
    if (version == 1) {
        if (!ReadU64(&c, &f->decodeTime)) return false;
    } else {
        uint32_t t;
        if (!ReadU32(&c, &t)) return false;
        f->decodeTime = t;
    }
    f->hasDecodeTime = true;
    return true;
}

// trun: version/flags, sample count, optional data offset (signed, from the
// base) and first-sample flags, then per sample the fields its flags name.
bool ReadTrun(ByteCursor c, uint64_t fileSize, FragmentTrack* f) {
    uint8_t version;
    uint32_t flags, count, ignored;
    if (!ReadVersionAndFlags(&c, &version, &flags) || !ReadU32(&c, &count)) return false;
    uint64_t offset = f->next;
    if (flags & kDataOffset) {
        uint32_t raw;
        if (!ReadU32(&c, &raw)) return false;
        int64_t delta = int32_t(raw);
        if (delta < 0 && uint64_t(-delta) > f->base) return false;
        offset = f->base + uint64_t(delta);
        if (delta > 0 && offset < f->base) return false;
    }
    if ((flags & kFirstSampleFlags) && !ReadU32(&c, &ignored)) return false;
    uint32_t entrySize = 4 * (((flags & kSampleDuration) != 0) + ((flags & kSampleSize) != 0) +
                              ((flags & kSampleFlags) != 0) + ((flags & kSampleCompositionOffset) != 0));
    if (!FitsEntries(c, count, entrySize)) return false;
    TrackModel* track = f->track;
    bool timecode = track && track->media.type == FourCC("tmcd");
    if (entrySize == 0) {
        // Every sample takes the defaults: one run and one span, however
        // large the count, after checking that all the data is in the file.
        uint64_t bytes = uint64_t(count) * f->size;
        if (offset > fileSize || bytes > fileSize - offset) return false;
        if (track) {
            if (!AppendRun(&track->media.runs, count, f->duration)) return false;
            if (timecode && !AppendSpan(&track->media.locations, offset, count, f->size, f->description))
                return false;
        }
        f->next = offset + bytes;
        return true;
    }
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t duration = f->duration, size = f->size;
        if (flags & kSampleDuration) ReadU32(&c, &duration);
        if (flags & kSampleSize) ReadU32(&c, &size);
        if (flags & kSampleFlags) ReadU32(&c, &ignored);
        if (flags & kSampleCompositionOffset) ReadU32(&c, &ignored);
        if (offset > fileSize || size > fileSize - offset) return false;  // data outside the file
        if (track) {
            if (!AppendRun(&track->media.runs, 1, duration)) return false;
            if (timecode && !AppendSpan(&track->media.locations, offset, 1, size, f->description)) return false;
        }
        offset += size;
    }
    f->next = offset;
    return true;
}

bool ReadTraf(ByteCursor body, MovieModel* movie, uint64_t moofOffset, uint64_t fileSize, uint64_t* prevTrafEnd) {
    FragmentTrack f;
    bool hasTfhd = false;
    AtomHeader h;
    ByteCursor child;
    for (;;) {
        AtomStep step = NextChildAtom(&body, &h, &child);
        if (step == AtomStep::End) break;
        if (step == AtomStep::Damaged) return false;
        if (h.type == FourCC("tfhd")) {
            if (hasTfhd || !ReadTfhd(child, movie, moofOffset, *prevTrafEnd, &f)) return false;
            hasTfhd = true;
        } else if (h.type == FourCC("tfdt")) {
            if (!hasTfhd || !ReadTfdt(child, &f)) return false;
            // The fragment's samples start at its base decode time; going
            // back before samples already held is inconsistent.
            if (f.track) {
                if (f.decodeTime > uint64_t(INT64_MAX)) return false;
                if (!SetRunEndTime(&f.track->media.runs, int64_t(f.decodeTime))) return false;
            }
        } else if (h.type == FourCC("trun")) {
            if (!hasTfhd || !ReadTrun(child, fileSize, &f)) return false;
        }
    }
    if (!hasTfhd) return false;
    *prevTrafEnd = f.next;
    return true;
}

}  // namespace

bool AddMovieFragment(const uint8_t* body, size_t size, uint64_t moofOffset, uint64_t fileSize,
                         MovieModel* movie) {
    ByteCursor c = MakeCursor(body, size);
    uint64_t prevTrafEnd = moofOffset;  // the first traf's data is based on the moof
    AtomHeader h;
    ByteCursor child;
    for (;;) {
        AtomStep step = NextChildAtom(&c, &h, &child);
        if (step == AtomStep::End) break;
        if (step == AtomStep::Damaged) return false;
        if (h.type == FourCC("traf") && !ReadTraf(child, movie, moofOffset, fileSize, &prevTrafEnd))
            return false;
    }
    return true;
}
