// moov parsing: one reader per atom, found through a table from the atom's
// type and its parent's type. Readers of sample table atoms only note where
// the table lies; the tables are turned into the model once the whole trak
// has been read, when the media type is known, so that the location tables
// of non-timecode media are never loaded.
#include "movie/movie_parse.h"

#include <new>

#include "movie/atom.h"
#include "movie/compressed_movie.h"
#include "movie/fragments.h"

namespace {

constexpr int kMaxDepth = 16;

struct TrackAtoms {
    TrackModel track;
    bool hasMdhd = false, hasHdlr = false;
    bool hasStsd = false, hasStts = false, hasStsc = false, hasStco = false, hasStsz = false;
    bool chunkOffsets64 = false;
    ByteCursor stsd, stts, stsc, stco, stsz;
};

struct ParseContext {
    MovieModel* movie = nullptr;
    TrackAtoms* track = nullptr;
    int depth = 0;
    bool inflated = false;  // inside an inflated compressed header
};

typedef bool (*AtomReader)(ParseContext* ctx, ByteCursor body);

bool ReadChildren(ParseContext* ctx, uint32_t parentType, ByteCursor body);


bool ReadTrak(ParseContext* ctx, ByteCursor body);

bool ReadContainer(ParseContext* ctx, uint32_t type, ByteCursor body) {
    return ReadChildren(ctx, type, body);
}
bool ReadMdia(ParseContext* ctx, ByteCursor body) { return ReadContainer(ctx, FourCC("mdia"), body); }
bool ReadMinf(ParseContext* ctx, ByteCursor body) { return ReadContainer(ctx, FourCC("minf"), body); }
bool ReadStbl(ParseContext* ctx, ByteCursor body) { return ReadContainer(ctx, FourCC("stbl"), body); }

bool ReadTkhd(ParseContext* ctx, ByteCursor body) {
    uint8_t version;
    if (!ReadVersionAndFlags(&body, &version)) return false;
    if (!Skip(&body, version == 1 ? 16 : 8)) return false;  // creation, modification times
    return ReadU32(&body, &ctx->track->track.trackID);
}

bool ReadMdhd(ParseContext* ctx, ByteCursor body) {
    if (ctx->track->hasMdhd) return true;
    uint8_t version;
    uint32_t scale;
    if (!ReadVersionAndFlags(&body, &version)) return false;
    if (!Skip(&body, version == 1 ? 16 : 8) || !ReadU32(&body, &scale)) return false;
    if (scale > uint32_t(INT32_MAX)) return false;
    ctx->track->track.media.timeScale = int32_t(scale);
    ctx->track->hasMdhd = true;
    return true;
}

// hdlr: version/flags, component type, subtype, manufacturer, flags, flags
// mask, then the name: a counted string in QuickTime files, zero-terminated
// in ISO files.
bool ReadHdlr(ParseContext* ctx, ByteCursor body) {
    if (ctx->track->hasHdlr) return true;
    uint8_t version;
    uint32_t componentType, subtype, manufacturer;
    if (!ReadVersionAndFlags(&body, &version) || !ReadU32(&body, &componentType) ||
        !ReadU32(&body, &subtype) || !ReadU32(&body, &manufacturer) || !Skip(&body, 8)) {
        return false;
    }
    MediaModel& media = ctx->track->track.media;
    media.type = subtype;
    media.manufacturer = manufacturer;
    const char* name = reinterpret_cast<const char*>(body.data + body.pos);
    size_t left = Remaining(body);
    if (left > 0 && size_t(uint8_t(name[0])) + 1 == left) {
        media.handlerName.assign(name + 1, left - 1);
    } else {
        size_t n = 0;
        while (n < left && n < 255 && name[n] != 0) ++n;
        media.handlerName.assign(name, n);
    }
    ctx->track->hasHdlr = true;
    return true;
}

bool NoteTable(bool* has, ByteCursor* slot, ByteCursor body) {
    if (!*has) {
        *has = true;
        *slot = body;
    }
    return true;
}
bool ReadStsd(ParseContext* ctx, ByteCursor b) { return NoteTable(&ctx->track->hasStsd, &ctx->track->stsd, b); }
bool ReadStts(ParseContext* ctx, ByteCursor b) { return NoteTable(&ctx->track->hasStts, &ctx->track->stts, b); }
bool ReadStsc(ParseContext* ctx, ByteCursor b) { return NoteTable(&ctx->track->hasStsc, &ctx->track->stsc, b); }
bool ReadStsz(ParseContext* ctx, ByteCursor b) { return NoteTable(&ctx->track->hasStsz, &ctx->track->stsz, b); }
bool ReadStco(ParseContext* ctx, ByteCursor b) {
    if (ctx->track->hasStco) return true;
    ctx->track->chunkOffsets64 = false;
    return NoteTable(&ctx->track->hasStco, &ctx->track->stco, b);
}
bool ReadCo64(ParseContext* ctx, ByteCursor b) {
    if (ctx->track->hasStco) return true;
    ctx->track->chunkOffsets64 = true;
    return NoteTable(&ctx->track->hasStco, &ctx->track->stco, b);
}

// mvex: present when the movie's samples also come in fragments.
bool ReadMvex(ParseContext* ctx, ByteCursor body) {
    ctx->movie->fragmented = true;
    return ReadContainer(ctx, FourCC("mvex"), body);
}

// trex: version/flags, track ID, default description index, duration, size, flags.
bool ReadTrex(ParseContext* ctx, ByteCursor body) {
    uint8_t version;
    TrackExtends e;
    if (!ReadVersionAndFlags(&body, &version) || !ReadU32(&body, &e.trackID) ||
        !ReadU32(&body, &e.description) || !ReadU32(&body, &e.duration) || !ReadU32(&body, &e.size)) {
        return false;
    }
    ctx->movie->extends.push_back(e);
    return true;
}

// cmov: the whole moov, compressed. Its inflated form is read as if it
// stood in the file's moov; a compressed header inside it is refused.
bool ReadCmov(ParseContext* ctx, ByteCursor body) {
    if (ctx->inflated) return false;
    std::string moov;
    if (!InflateCompressedMovie(body, &moov)) return false;
    ByteCursor all = MakeCursor(moov.data(), moov.size());
    AtomHeader header;
    ByteCursor inner;
    if (NextChildAtom(&all, &header, &inner) != AtomStep::Atom || header.type != FourCC("moov")) return false;
    ctx->inflated = true;
    bool ok = ReadChildren(ctx, FourCC("moov"), inner);
    ctx->inflated = false;
    return ok;
}

struct ReaderEntry {
    uint32_t type;
    uint32_t parent;
    AtomReader read;
    bool inTrack;  // fills the current trak
};

const ReaderEntry kReaders[] = {
    {FourCC("trak"), FourCC("moov"), ReadTrak, false},
    {FourCC("mvex"), FourCC("moov"), ReadMvex, false},
    {FourCC("trex"), FourCC("mvex"), ReadTrex, false},
    {FourCC("cmov"), FourCC("moov"), ReadCmov, false},
    {FourCC("tkhd"), FourCC("trak"), ReadTkhd, true},
    {FourCC("mdia"), FourCC("trak"), ReadMdia, true},
    {FourCC("mdhd"), FourCC("mdia"), ReadMdhd, true},
    {FourCC("hdlr"), FourCC("mdia"), ReadHdlr, true},
    {FourCC("minf"), FourCC("mdia"), ReadMinf, true},
    {FourCC("stbl"), FourCC("minf"), ReadStbl, true},
    {FourCC("stsd"), FourCC("stbl"), ReadStsd, true},
    {FourCC("stts"), FourCC("stbl"), ReadStts, true},
    {FourCC("stsc"), FourCC("stbl"), ReadStsc, true},
    {FourCC("stco"), FourCC("stbl"), ReadStco, true},
    {FourCC("co64"), FourCC("stbl"), ReadCo64, true},
    {FourCC("stsz"), FourCC("stbl"), ReadStsz, true},
};

bool ReadChildren(ParseContext* ctx, uint32_t parentType, ByteCursor body) {
    if (ctx->depth >= kMaxDepth) return false;
    ++ctx->depth;
    bool ok = true;
    AtomHeader header;
    ByteCursor child;
    for (;;) {
        AtomStep step = NextChildAtom(&body, &header, &child);
        if (step == AtomStep::End) break;
        if (step == AtomStep::Damaged) {
            ok = false;
            break;
        }
        for (const ReaderEntry& e : kReaders) {
            if (e.type == header.type && e.parent == parentType) {
                // A track's atom outside a trak has nothing to fill.
                if (e.inTrack && !ctx->track) break;
                ok = e.read(ctx, child);
                break;
            }
        }
        if (!ok) break;
    }
    --ctx->depth;
    return ok;
}

// stsd: version/flags, entry count, then entries each opening with their own
// 32-bit size and data format.
bool BuildDescriptions(ByteCursor c, MediaModel* media) {
    uint8_t version;
    uint32_t count;
    if (!ReadVersionAndFlags(&c, &version) || !ReadU32(&c, &count)) return false;
    if (!FitsEntries(c, count, 16)) return false;
    media->descriptions.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        if (Remaining(c) < 8) return false;
        uint32_t size = LoadU32(c.data + c.pos);
        if (size < 16) return false;
        ByteCursor entry;
        if (!TakeCursor(&c, size, &entry)) return false;
        media->descriptions.emplace_back(reinterpret_cast<const char*>(entry.data), entry.size);
    }
    return true;
}

// stts: version/flags, entry count, then (sample count, sample duration).
bool BuildRuns(ByteCursor c, SampleRuns* runs) {
    uint8_t version;
    uint32_t count;
    if (!ReadVersionAndFlags(&c, &version) || !ReadU32(&c, &count)) return false;
    if (!FitsEntries(c, count, 8)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t samples, duration;
        ReadU32(&c, &samples);
        ReadU32(&c, &duration);
        if (!AppendRun(runs, samples, duration)) return false;
    }
    return true;
}

// Where each timecode sample lies: stsc maps chunks to samples per chunk and
// description, stco/co64 give each chunk's offset, stsz each sample's size
// (one size for all when its sample size field is not zero).
bool BuildLocations(TrackAtoms* t) {
    SampleLocations* locations = &t->track.media.locations;
    if (!t->hasStsc || !t->hasStco || !t->hasStsz) return true;  // no samples to read
    ByteCursor stsc = t->stsc, stco = t->stco, stsz = t->stsz;
    uint8_t version;
    uint32_t stscCount, chunkCount, uniformSize, sampleCount;
    if (!ReadVersionAndFlags(&stsc, &version) || !ReadU32(&stsc, &stscCount) ||
        !FitsEntries(stsc, stscCount, 12))
        return false;
    uint32_t offsetBytes = t->chunkOffsets64 ? 8 : 4;
    if (!ReadVersionAndFlags(&stco, &version) || !ReadU32(&stco, &chunkCount) ||
        !FitsEntries(stco, chunkCount, offsetBytes))
        return false;
    if (!ReadVersionAndFlags(&stsz, &version) || !ReadU32(&stsz, &uniformSize) ||
        !ReadU32(&stsz, &sampleCount))
        return false;
    if (uniformSize == 0 && !FitsEntries(stsz, sampleCount, 4)) return false;

    uint64_t sample = 0;
    uint32_t prevFirst = 0;
    for (uint32_t e = 0; e < stscCount && sample < sampleCount; ++e) {
        const uint8_t* p = stsc.data + stsc.pos + size_t(e) * 12;
        uint32_t firstChunk = LoadU32(p), perChunk = LoadU32(p + 4), description = LoadU32(p + 8);
        if (firstChunk <= prevFirst) return false;  // 1-based and strictly increasing
        prevFirst = firstChunk;
        uint64_t endChunk = uint64_t(chunkCount) + 1;
        if (e + 1 < stscCount) {
            uint32_t next = LoadU32(p + 12);
            if (next < endChunk) endChunk = next;
        }
        for (uint64_t chunk = firstChunk; chunk < endChunk && sample < sampleCount; ++chunk) {
            const uint8_t* q = stco.data + stco.pos + size_t(chunk - 1) * offsetBytes;
            uint64_t offset = t->chunkOffsets64 ? LoadU64(q) : LoadU32(q);
            uint64_t take = perChunk;
            if (take > sampleCount - sample) take = sampleCount - sample;
            if (uniformSize != 0) {
                if (!AppendSpan(locations, offset, take, uniformSize, description)) return false;
            } else {
                for (uint64_t k = 0; k < take; ++k) {
                    uint32_t size = LoadU32(stsz.data + stsz.pos + size_t(sample + k) * 4);
                    if (!AppendSpan(locations, offset, 1, size, description)) return false;
                    offset += size;
                }
            }
            sample += take;
        }
    }
    return true;
}

bool ReadTrak(ParseContext* ctx, ByteCursor body) {
    if (ctx->track) return false;  // a trak inside a trak
    TrackAtoms atoms;
    ctx->track = &atoms;
    bool ok = ReadChildren(ctx, FourCC("trak"), body);
    ctx->track = nullptr;
    if (!ok) return false;
    MediaModel& media = atoms.track.media;
    if (atoms.hasStsd && !BuildDescriptions(atoms.stsd, &media)) return false;
    if (atoms.hasStts && !BuildRuns(atoms.stts, &media.runs)) return false;
    // Only the size table's header: its sample count bounds the samples
    // that have data. The table itself is loaded for timecode media only.
    if (atoms.hasStsz) {
        ByteCursor stsz = atoms.stsz;
        uint8_t version;
        uint32_t uniformSize, sampleCount;
        if (!ReadVersionAndFlags(&stsz, &version) || !ReadU32(&stsz, &uniformSize) ||
            !ReadU32(&stsz, &sampleCount))
            return false;
        TrimRuns(&media.runs, sampleCount);
    }
    if (media.type == FourCC("tmcd") && !BuildLocations(&atoms)) return false;
    ctx->movie->tracks.push_back(std::move(atoms.track));
    return true;
}

}  // namespace

bool ParseMovieAtom(const uint8_t* body, size_t size, MovieModel* movie) {
    ParseContext ctx;
    ctx.movie = movie;
    return ReadChildren(&ctx, FourCC("moov"), MakeCursor(body, size));
}

namespace {

bool AnySamples(const MovieModel& movie) {
    for (const TrackModel& t : movie.tracks)
        if (t.media.runs.sampleCount != 0) return true;
    return false;
}

// Reads every moof in file order into the tracks. A fragmented movie whose
// fragments cannot be read is refused rather than walked short.
MovieStatus ReadFragments(MovieFile* file, const TopLevelScan& scan, MovieModel* movie) {
    if (scan.damagedAfterMovie) return MovieStatus::Damaged;
    if (scan.fragments.empty() && !AnySamples(*movie)) return MovieStatus::Damaged;
    std::string body;
    for (const AtomLocation& moof : scan.fragments) {
        uint64_t size = moof.size - moof.headerSize;
        if (size > uint64_t(SIZE_MAX / 2)) return MovieStatus::OutOfMemory;
        body.resize(size_t(size));
        if (!ReadMovieFileAt(file, moof.offset + moof.headerSize, &body[0], body.size()))
            return MovieStatus::ReadError;
        if (!AddMovieFragment(reinterpret_cast<const uint8_t*>(body.data()), body.size(), moof.offset, file->size,
                              movie))
            return MovieStatus::Damaged;
    }
    return MovieStatus::Ok;
}

}  // namespace

MovieStatus ReadMovie(MovieFile* file, MovieModel* movie) {
    TopLevelScan scan;
    ScanTopLevel(file, &scan);
    if (!scan.hasMovie) return MovieStatus::NoMovie;
    if (scan.movieTruncated) return MovieStatus::Damaged;
    uint64_t bodySize = scan.movie.size - scan.movie.headerSize;
    if (bodySize > uint64_t(SIZE_MAX / 2)) return MovieStatus::OutOfMemory;
    try {
        {
            std::string body(size_t(bodySize), '\0');
            if (!ReadMovieFileAt(file, scan.movie.offset + scan.movie.headerSize, &body[0], body.size()))
                return MovieStatus::ReadError;
            if (!ParseMovieAtom(reinterpret_cast<const uint8_t*>(body.data()), body.size(), movie))
                return MovieStatus::Damaged;
        }
        return movie->fragmented ? ReadFragments(file, scan, movie) : MovieStatus::Ok;
    } catch (const std::bad_alloc&) {
        return MovieStatus::OutOfMemory;
    }
}
