// moov parsing: one reader per atom, found through a table from the atom's
// type and its parent's type. The tree is walked where it lies (the file, or
// an inflated compressed header in memory): containers header by header, and
// of the leaves only what the Toolbox operations need. Readers of sample
// table atoms only note where the table lies; the tables are read once the
// whole trak has been walked, when the media type is known: the time table
// and descriptions of every media, the head of the size table (its sample
// count), and the location tables of timecode media only. The per-sample
// tables of video and sound are never read.
#include "movie/movie_parse.h"

#include <new>

#include "movie/atom_source.h"
#include "movie/compressed_movie.h"
#include "movie/fragments.h"
#include "movie/rtmd_track.h"

namespace {

constexpr int kMaxDepth = 16;
// The bytes of a small atom that its reader looks at, at most: tkhd, mdhd
// and trex up to the fields read, hdlr up to a 255-byte name.
constexpr uint64_t kHeaderAtomBytes = 64;
constexpr uint64_t kHdlrBytes = 24 + 256;

// Samples at the head of a video's ctts that are searched for the frame
// shown first: it comes within the decoder's reordering depth (16 frames in
// H.264 and HEVC), so the table's head is all that is read.
constexpr uint64_t kCompositionHeadSamples = 128;

struct TrackAtoms {
    TrackModel track;
    bool hasMdhd = false, hasHdlr = false;
    bool hasStsd = false, hasStts = false, hasStsc = false, hasStco = false, hasStsz = false;
    bool hasElst = false, hasCtts = false;
    bool chunkOffsets64 = false;
    AtomRegion stsd, stts, stsc, stco, stsz, elst, ctts;
};

struct ParseContext {
    MovieModel* movie = nullptr;
    TrackAtoms* track = nullptr;
    int depth = 0;
    bool inflated = false;  // inside an inflated compressed header
};

typedef bool (*AtomReader)(ParseContext* ctx, AtomRegion body);

bool ReadChildren(ParseContext* ctx, uint32_t parentType, AtomRegion body);

// The first bytes of a small atom into bytes, and a cursor over them.
bool LoadSmallAtom(const AtomRegion& body, uint64_t maxBytes, std::string* bytes, ByteCursor* c) {
    if (!LoadRegion(body, maxBytes, bytes)) return false;
    *c = MakeCursor(bytes->data(), bytes->size());
    return true;
}

bool ReadTrak(ParseContext* ctx, AtomRegion body);

bool ReadContainer(ParseContext* ctx, uint32_t type, AtomRegion body) { return ReadChildren(ctx, type, body); }
bool ReadEdts(ParseContext* ctx, AtomRegion body) { return ReadContainer(ctx, FourCC("edts"), body); }
bool ReadMdia(ParseContext* ctx, AtomRegion body) { return ReadContainer(ctx, FourCC("mdia"), body); }
bool ReadMinf(ParseContext* ctx, AtomRegion body) { return ReadContainer(ctx, FourCC("minf"), body); }
bool ReadStbl(ParseContext* ctx, AtomRegion body) { return ReadContainer(ctx, FourCC("stbl"), body); }

// mvhd: version/flags, creation and modification times (32 or 64 bits each),
// time scale. Only edit durations count in it, so a header that cannot be
// read leaves the scale at 0 rather than refusing the movie.
bool ReadMvhd(ParseContext* ctx, AtomRegion body) {
    std::string bytes;
    ByteCursor c;
    uint8_t version;
    uint32_t scale;
    if (LoadSmallAtom(body, kHeaderAtomBytes, &bytes, &c) && ReadVersionAndFlags(&c, &version) &&
        Skip(&c, version == 1 ? 16 : 8) && ReadU32(&c, &scale) && scale <= uint32_t(INT32_MAX))
        ctx->movie->timeScale = int32_t(scale);
    return true;
}

// tkhd: version/flags, creation and modification times (32 or 64 bits each), track ID.
bool ReadTkhd(ParseContext* ctx, AtomRegion body) {
    std::string bytes;
    ByteCursor c;
    uint8_t version;
    if (!LoadSmallAtom(body, kHeaderAtomBytes, &bytes, &c) || !ReadVersionAndFlags(&c, &version)) return false;
    if (!Skip(&c, version == 1 ? 16 : 8)) return false;
    return ReadU32(&c, &ctx->track->track.trackID);
}

// mdhd: version/flags, creation and modification times, time scale.
bool ReadMdhd(ParseContext* ctx, AtomRegion body) {
    if (ctx->track->hasMdhd) return true;
    std::string bytes;
    ByteCursor c;
    uint8_t version;
    uint32_t scale;
    if (!LoadSmallAtom(body, kHeaderAtomBytes, &bytes, &c) || !ReadVersionAndFlags(&c, &version)) return false;
    if (!Skip(&c, version == 1 ? 16 : 8) || !ReadU32(&c, &scale)) return false;
    if (scale > uint32_t(INT32_MAX)) return false;
    ctx->track->track.media.timeScale = int32_t(scale);
    ctx->track->hasMdhd = true;
    return true;
}

// hdlr: version/flags, component type, subtype, manufacturer, flags, flags
// mask, then the name: a counted string that fills the rest of the atom in
// QuickTime files, zero-terminated in ISO files.
bool ReadHdlr(ParseContext* ctx, AtomRegion body) {
    if (ctx->track->hasHdlr) return true;
    std::string bytes;
    ByteCursor c;
    uint8_t version;
    uint32_t componentType, subtype, manufacturer;
    if (!LoadSmallAtom(body, kHdlrBytes, &bytes, &c) || !ReadVersionAndFlags(&c, &version) ||
        !ReadU32(&c, &componentType) || !ReadU32(&c, &subtype) || !ReadU32(&c, &manufacturer) || !Skip(&c, 8)) {
        return false;
    }
    MediaModel& media = ctx->track->track.media;
    media.type = subtype;
    media.manufacturer = manufacturer;
    const char* name = reinterpret_cast<const char*>(c.data + c.pos);
    const uint64_t nameBytes = RegionSize(body) - c.pos;  // of the whole atom, not only what was read
    const size_t loaded = Remaining(c);
    if (loaded > 0 && uint64_t(uint8_t(name[0])) + 1 == nameBytes) {
        media.handlerName.assign(name + 1, loaded - 1);
    } else {
        size_t n = 0;
        while (n < loaded && n < 255 && name[n] != 0) ++n;
        media.handlerName.assign(name, n);
    }
    ctx->track->hasHdlr = true;
    return true;
}

bool NoteTable(bool* has, AtomRegion* slot, AtomRegion body) {
    if (!*has) {
        *has = true;
        *slot = body;
    }
    return true;
}
bool ReadStsd(ParseContext* ctx, AtomRegion b) { return NoteTable(&ctx->track->hasStsd, &ctx->track->stsd, b); }
bool ReadStts(ParseContext* ctx, AtomRegion b) { return NoteTable(&ctx->track->hasStts, &ctx->track->stts, b); }
bool ReadStsc(ParseContext* ctx, AtomRegion b) { return NoteTable(&ctx->track->hasStsc, &ctx->track->stsc, b); }
bool ReadStsz(ParseContext* ctx, AtomRegion b) { return NoteTable(&ctx->track->hasStsz, &ctx->track->stsz, b); }
bool ReadElst(ParseContext* ctx, AtomRegion b) { return NoteTable(&ctx->track->hasElst, &ctx->track->elst, b); }
bool ReadCtts(ParseContext* ctx, AtomRegion b) { return NoteTable(&ctx->track->hasCtts, &ctx->track->ctts, b); }
bool ReadStco(ParseContext* ctx, AtomRegion b) {
    if (ctx->track->hasStco) return true;
    ctx->track->chunkOffsets64 = false;
    return NoteTable(&ctx->track->hasStco, &ctx->track->stco, b);
}
bool ReadCo64(ParseContext* ctx, AtomRegion b) {
    if (ctx->track->hasStco) return true;
    ctx->track->chunkOffsets64 = true;
    return NoteTable(&ctx->track->hasStco, &ctx->track->stco, b);
}

// mvex: present when the movie's samples also come in fragments.
bool ReadMvex(ParseContext* ctx, AtomRegion body) {
    ctx->movie->fragmented = true;
    return ReadContainer(ctx, FourCC("mvex"), body);
}

// trex: version/flags, track ID, default description index, duration, size, flags.
bool ReadTrex(ParseContext* ctx, AtomRegion body) {
    std::string bytes;
    ByteCursor c;
    uint8_t version;
    TrackExtends e;
    if (!LoadSmallAtom(body, kHeaderAtomBytes, &bytes, &c) || !ReadVersionAndFlags(&c, &version) ||
        !ReadU32(&c, &e.trackID) || !ReadU32(&c, &e.description) || !ReadU32(&c, &e.duration) ||
        !ReadU32(&c, &e.size)) {
        return false;
    }
    ctx->movie->extends.push_back(e);
    return true;
}

// cmov: the whole moov, compressed. Its inflated form is read as if it
// stood in the file's moov; a compressed header inside it is refused.
bool ReadCmov(ParseContext* ctx, AtomRegion body) {
    if (ctx->inflated) return false;
    std::string compressed, moov;
    if (!LoadRegion(body, RegionSize(body), &compressed)) return false;
    if (!InflateCompressedMovie(MakeCursor(compressed.data(), compressed.size()), &moov)) return false;
    compressed = std::string();
    AtomSource inflated = MemoryAtomSource(moov.data(), moov.size());
    AtomRegion all = WholeSource(&inflated);
    AtomHeader header;
    AtomRegion inner;
    if (NextRegionAtom(&all, &header, &inner) != AtomStep::Atom || header.type != FourCC("moov")) return false;
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
    {FourCC("mvhd"), FourCC("moov"), ReadMvhd, false},
    {FourCC("tkhd"), FourCC("trak"), ReadTkhd, true},
    {FourCC("edts"), FourCC("trak"), ReadEdts, true},
    {FourCC("elst"), FourCC("edts"), ReadElst, true},
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
    {FourCC("ctts"), FourCC("stbl"), ReadCtts, true},
};

bool ReadChildren(ParseContext* ctx, uint32_t parentType, AtomRegion body) {
    if (ctx->depth >= kMaxDepth) return false;
    ++ctx->depth;
    bool ok = true;
    AtomHeader header;
    AtomRegion child;
    for (;;) {
        AtomStep step = NextRegionAtom(&body, &header, &child);
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
bool BuildDescriptions(const AtomRegion& stsd, MediaModel* media) {
    std::string bytes;
    if (!LoadRegion(stsd, RegionSize(stsd), &bytes)) return false;
    ByteCursor c = MakeCursor(bytes.data(), bytes.size());
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

// The version/flags and the first count fields of a table atom, read on
// their own; table is left at the entries.
bool ReadTableHead(AtomRegion* table, uint32_t* fields, int count, uint8_t* version = nullptr) {
    std::string bytes;
    ByteCursor c;
    uint8_t ignored;
    if (!LoadSmallAtom(*table, 4 + 4 * uint64_t(count), &bytes, &c) ||
        !ReadVersionAndFlags(&c, version ? version : &ignored))
        return false;
    for (int i = 0; i < count; ++i)
        if (!ReadU32(&c, &fields[i])) return false;
    table->pos += c.pos;
    return true;
}

// stts: version/flags, entry count, then (sample count, sample duration),
// read in place: a variable-rate video has an entry per sample.
bool BuildRuns(AtomRegion stts, SampleRuns* runs) {
    uint32_t count;
    if (!ReadTableHead(&stts, &count, 1) || count > RegionSize(stts) / 8) return false;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t samples, duration;
        if (!ReadRegionU32(&stts, &samples) || !ReadRegionU32(&stts, &duration)) return false;
        if (!AppendRun(runs, samples, duration)) return false;
    }
    return true;
}

// Where each timecode sample lies: stsc maps chunks to samples per chunk and
// description, stco/co64 give each chunk's offset, stsz each sample's size
// (one size for all when its sample size field is not zero). Timecode tables
// are short; they are read whole.
bool BuildLocations(TrackAtoms* t) {
    SampleLocations* locations = &t->track.media.locations;
    if (!t->hasStsc || !t->hasStco || !t->hasStsz) return true;  // no samples to read
    std::string stscBytes, stcoBytes, stszBytes;
    if (!LoadRegion(t->stsc, RegionSize(t->stsc), &stscBytes) ||
        !LoadRegion(t->stco, RegionSize(t->stco), &stcoBytes) ||
        !LoadRegion(t->stsz, RegionSize(t->stsz), &stszBytes))
        return false;
    ByteCursor stsc = MakeCursor(stscBytes.data(), stscBytes.size());
    ByteCursor stco = MakeCursor(stcoBytes.data(), stcoBytes.size());
    ByteCursor stsz = MakeCursor(stszBytes.data(), stszBytes.size());
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

// elst: version/flags, entry count, then per edit the segment duration (movie
// time scale) and the media time, 32 bits each in version 0 and 64 in
// version 1, and the 16.16 media rate. Media time -1 is an empty edit: the
// track shows nothing for its duration. Only the edits up to the first that
// shows media are read. Edits serve the subtitle cues alone, so an edit list
// that cannot be read counts as none.
void ReadLeadingEmptyEdits(AtomRegion elst, TrackModel* track) {
    uint8_t version;
    uint32_t count;
    if (!ReadTableHead(&elst, &count, 1, &version)) return;
    const uint64_t entryBytes = version == 1 ? 20 : 12;
    if (count == 0 || count > RegionSize(elst) / entryBytes) return;
    uint64_t empty = 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t words[5];
        for (uint64_t w = 0; w < entryBytes / 4; ++w)
            if (!ReadRegionU32(&elst, &words[w])) return;
        const uint64_t duration = version == 1 ? (uint64_t(words[0]) << 32 | words[1]) : words[0];
        const bool emptyEdit = version == 1 ? (words[2] == 0xFFFFFFFFu && words[3] == 0xFFFFFFFFu)
                                            : words[1] == 0xFFFFFFFFu;
        if (!emptyEdit) break;
        empty = duration > uint64_t(INT64_MAX) - empty ? uint64_t(INT64_MAX) : empty + duration;
    }
    track->hasEditList = true;
    track->leadingEmptyEdits = empty;
}

// ctts: version/flags, entry count, then (sample count, composition offset).
// The offset is read as signed in both versions, as ffmpeg reads it. Of the
// first kCompositionHeadSamples samples, the earliest presentation time
// sets when the first frame is shown. A table that cannot be read counts as
// none, as above.
void ReadCompositionStart(AtomRegion ctts, MediaModel* media) {
    uint32_t count;
    int64_t firstStart;
    if (!ReadTableHead(&ctts, &count, 1) || count > RegionSize(ctts) / 8) return;
    if (!SampleStartTime(media->runs, 0, &firstStart)) return;
    bool any = false;
    int64_t earliest = 0;
    uint64_t sample = 0;
    for (uint32_t i = 0; i < count && i < kCompositionHeadSamples && sample < kCompositionHeadSamples; ++i) {
        uint32_t samples, offset;
        if (!ReadRegionU32(&ctts, &samples) || !ReadRegionU32(&ctts, &offset)) return;
        for (uint32_t k = 0; k < samples && sample < kCompositionHeadSamples; ++k, ++sample) {
            // Below 2^40 + 2^31: the head's decode times come from at most
            // kCompositionHeadSamples 32-bit durations.
            int64_t start;
            if (!SampleStartTime(media->runs, sample, &start)) break;
            const int64_t shown = start + int32_t(offset);
            if (!any || shown < earliest) earliest = shown;
            any = true;
        }
    }
    if (any) media->compositionStart = earliest - firstStart;
}

bool ReadTrak(ParseContext* ctx, AtomRegion body) {
    if (ctx->track) return false;  // a trak inside a trak
    TrackAtoms atoms;
    ctx->track = &atoms;
    bool ok = ReadChildren(ctx, FourCC("trak"), body);
    ctx->track = nullptr;
    if (!ok) return false;
    MediaModel& media = atoms.track.media;
    if (atoms.hasStsd && !BuildDescriptions(atoms.stsd, &media)) return false;
    if (atoms.hasStts && !BuildRuns(atoms.stts, &media.runs)) return false;
    // The size table's head: its sample count bounds the samples that have
    // data. The table itself is read for timecode media only; for the others
    // it is only checked to fit its atom.
    if (atoms.hasStsz) {
        AtomRegion stsz = atoms.stsz;
        uint32_t head[2];  // sample size, sample count
        if (!ReadTableHead(&stsz, head, 2)) return false;
        if (head[0] == 0 && head[1] > RegionSize(stsz) / 4) return false;
        TrimRuns(&media.runs, head[1]);
    }
    if ((media.type == FourCC("tmcd") || IsRtmdMedia(media)) && !BuildLocations(&atoms)) return false;
    // When the first frame is shown: the edit list's leading empty edits, or
    // without an edit list the composition offsets at the head of ctts.
    if (atoms.hasElst) ReadLeadingEmptyEdits(atoms.elst, &atoms.track);
    if (media.type == FourCC("vide") && !atoms.track.hasEditList && atoms.hasCtts)
        ReadCompositionStart(atoms.ctts, &media);
    ctx->movie->tracks.push_back(std::move(atoms.track));
    return true;
}

MovieStatus ParseMovieRegion(AtomRegion moov, MovieModel* movie) {
    ParseContext ctx;
    ctx.movie = movie;
    try {
        if (ReadChildren(&ctx, FourCC("moov"), moov)) return MovieStatus::Ok;
    } catch (const std::bad_alloc&) {
        return MovieStatus::OutOfMemory;
    }
    return moov.source->readFailed ? MovieStatus::ReadError : MovieStatus::Damaged;
}

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

bool ParseMovieAtom(const uint8_t* body, size_t size, MovieModel* movie) {
    AtomSource source = MemoryAtomSource(body, size);
    return ParseMovieRegion(WholeSource(&source), movie) == MovieStatus::Ok;
}

MovieStatus ReadMovie(MovieFile* file, MovieModel* movie) {
    TopLevelScan scan;
    ScanTopLevel(file, &scan);
    if (!scan.hasMovie) return MovieStatus::NoMovie;
    if (scan.movieTruncated) return MovieStatus::Damaged;
    AtomSource source = FileAtomSource(file);
    const AtomRegion moov{&source, scan.movie.offset + scan.movie.headerSize, scan.movie.offset + scan.movie.size};
    MovieStatus status = ParseMovieRegion(moov, movie);
    if (status != MovieStatus::Ok) return status;
    source = AtomSource();  // the buffer's memory back before more is read
    try {
        // Sony's rtmd tracks come in plain movies; fragments carry no such track.
        if (!movie->fragmented) {
            PresentRtmdTimecode(file, scan.metadata, movie);
            return MovieStatus::Ok;
        }
        return ReadFragments(file, scan, movie);
    } catch (const std::bad_alloc&) {
        return MovieStatus::OutOfMemory;
    }
}
