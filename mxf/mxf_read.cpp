// ReadMxf: the partitions, the header metadata of the partition that holds
// the final version of it, and one walk of the body to count what the file
// holds.
#include <algorithm>
#include <new>

#include "movie/movie_file.h"
#include "mxf/mxf_body.h"
#include "mxf/mxf_index.h"
#include "mxf/mxf_klv.h"
#include "mxf/mxf_metadata.h"
#include "mxf/mxf_partition.h"

namespace {

constexpr uint64_t kMaxHeaderMetadata = 64ull << 20;
constexpr size_t kMaxIndexSegments = 4096;
constexpr uint64_t kMaxIndexSegmentBytes = 64ull << 20;

// Header metadata keys: the primer pack, local sets (02 53) and other sets
// (02 xx) that are not partition, index, random index or system packs, and fill.
bool IsHeaderMetadataKey(const uint8_t* key) {
    uint8_t kind = 0, status = 0;
    if (IsFillKey(key) || IsPrimerPackKey(key)) return true;
    if (key[4] != 0x02) return false;
    return !IsPartitionPackKey(key, &kind, &status) && !IsRandomIndexPackKey(key) &&
           !IsIndexSegmentKey(key) && !IsSystemPackKey(key) &&
           !(key[8] == 0x0d && key[9] == 0x01 && key[10] == 0x03);  // content package items
}

// The bytes of the partition's header metadata, read in one go: from the
// first KLV after the pack and its fill to the first KLV that is not header
// metadata.
MxfStatus ReadMetadataBytes(MxfSource* source, const MxfPartition& partition,
                            std::vector<uint8_t>* bytes, std::string* problem) {
    const uint64_t size = MxfFileSize(*source);
    uint64_t at = partition.end;
    uint64_t start = 0;
    bool primer = false;
    for (;;) {
        MxfKlv klv;
        MxfStatus st = ReadKlvHeader(source, at, &klv);
        if (st == MxfStatus::ReadError) return st;
        if (st != MxfStatus::Ok || !IsHeaderMetadataKey(klv.key)) break;
        if (klv.length > size - klv.valueOffset) break;  // cut short: read what is whole
        if (!primer && IsFillKey(klv.key)) {
            at = klv.valueOffset + klv.length;
            continue;
        }
        if (!primer) {
            if (!IsPrimerPackKey(klv.key)) break;
            primer = true;
            start = at;
        }
        at = klv.valueOffset + klv.length;
        if (at - start > kMaxHeaderMetadata) {
            *problem = "the header metadata is larger than 64 MiB";
            return MxfStatus::Damaged;
        }
    }
    if (!primer) {
        *problem = "the header metadata has no primer pack";
        return MxfStatus::Damaged;
    }
    bytes->resize(size_t(at - start));
    return MxfRead(source, start, bytes->data(), bytes->size());
}

bool CarriesMetadata(MxfSource* source, const MxfPartition& p) {
    if (p.headerByteCount > 0) return true;
    MxfKlv klv;
    uint64_t at = p.end;
    while (ReadKlvHeader(source, at, &klv) == MxfStatus::Ok && IsFillKey(klv.key)) {
        at = klv.valueOffset + klv.length;
    }
    return ReadKlvHeader(source, at, &klv) == MxfStatus::Ok && IsPrimerPackKey(klv.key);
}

// The partition whose header metadata is the one to read: the header
// partition when it is closed and complete (cameras and growing recorders
// leave it open), else the footer, else the last partition before the footer
// that carries header metadata, else the header partition as it is.
MxfStatus ChooseMetadataPartition(MxfSource* source, const MxfPartition& header,
                                  MxfPartition* chosen) {
    *chosen = header;
    if (header.status == kMxfClosedComplete && CarriesMetadata(source, header)) return MxfStatus::Ok;
    bool found = false;
    MxfPartition p;
    MxfStatus st = FindFooterPartition(source, header, &found, &p);
    if (st != MxfStatus::Ok || !found) return st;
    // Each step goes strictly backwards, so the walk ends.
    while (p.thisPartition > header.thisPartition) {
        if (CarriesMetadata(source, p)) {
            *chosen = p;
            return MxfStatus::Ok;
        }
        const uint64_t previous = p.previousPartition;
        if (previous >= p.thisPartition || previous <= header.thisPartition) break;
        if (ReadPartitionAt(source, header.offset, previous, &p) != MxfStatus::Ok) break;
    }
    return MxfStatus::Ok;
}

// floor(a * b / c) for 0 <= b < c, without overflow.
int64_t ScaleDown(int64_t a, uint64_t b, uint64_t c) {
#ifdef __SIZEOF_INT128__
    return int64_t((unsigned __int128)uint64_t(a) * b / c);
#else
    return int64_t((long double)a * (long double)b / (long double)c);
#endif
}

struct SegmentPlace {
    uint64_t valueOffset = 0;
    uint64_t length = 0;
};

struct BodyCount {
    int64_t whole = 0;           // counted elements held whole
    int64_t all = 0;             // with a cut one
    bool systemItems = false;
    MxfKlv first;                // the first counted element
    std::vector<SegmentPlace> segments;
};

MxfStatus CountBody(MovieFile* file, const MxfModel& model, BodyCount* count) {
    MxfBodyCursor cursor;
    StartBodyWalk(file, model, &cursor);
    *count = BodyCount();
    for (;;) {
        MxfBodyEvent event;
        MxfKlv klv;
        MxfStatus st = NextBodyEvent(model, &cursor, &event, &klv);
        if (st != MxfStatus::Ok) return st;
        switch (event) {
            case MxfBodyEvent::End: return MxfStatus::Ok;
            case MxfBodyEvent::Element:
            case MxfBodyEvent::CutElement:
                if (count->all == 0) count->first = klv;
                ++count->all;
                if (event == MxfBodyEvent::Element) ++count->whole;
                break;
            case MxfBodyEvent::SystemPack: count->systemItems = true; break;
            case MxfBodyEvent::IndexSegment:
                if (count->segments.size() < kMaxIndexSegments && klv.length <= kMaxIndexSegmentBytes) {
                    count->segments.push_back({klv.valueOffset, klv.length});
                }
                break;
        }
        if (event == MxfBodyEvent::CutElement) return MxfStatus::Ok;
    }
}

// What the index table segments of the essence say.
struct IndexCount {
    int64_t units = -1;           // edit units indexed (start + duration at most)
    uint32_t editUnitByteCount = 0;
    int64_t unitsWithin = -1;     // edit units that end within `present` bytes of the stream
};

MxfStatus CountIndex(MxfSource* source, const std::vector<SegmentPlace>& places, uint32_t indexSid,
                     uint64_t streamBytes, uint64_t present, IndexCount* out) {
    std::vector<uint8_t> bytes;
    // Stream offsets may count from the element's key or from its value:
    // the offset of edit unit 0 tells which.
    uint64_t base = 0;
    for (int pass = 0; pass < 2; ++pass) {
        int64_t within = 0;
        bool entries = false;
        for (const SegmentPlace& place : places) {
            bytes.resize(size_t(place.length));
            MxfStatus st = MxfRead(source, place.valueOffset, bytes.data(), bytes.size());
            if (st != MxfStatus::Ok) return st;
            MxfIndexSegment s;
            if (ReadIndexSegment(MakeCursor(bytes.data(), bytes.size()), &s) != MxfStatus::Ok) continue;
            if (indexSid != 0 && s.indexSid != indexSid) continue;
            if (s.startPosition < 0 || s.duration < 0) continue;
            if (pass == 0) {
                if (s.editUnitByteCount != 0) out->editUnitByteCount = s.editUnitByteCount;
                int64_t units = s.duration;
                if (units == 0 && s.editUnitByteCount != 0) units = int64_t(streamBytes / s.editUnitByteCount);
                if (units > INT64_MAX - s.startPosition) continue;
                out->units = std::max(out->units, s.startPosition + units);
                if (s.startPosition == 0 && s.entryCount > 0) base = IndexEntryStreamOffset(s, 0);
                continue;
            }
            for (uint32_t i = 0; i < s.entryCount; ++i) {
                entries = true;
                const uint64_t offset = IndexEntryStreamOffset(s, i);
                // Unit n ends where unit n + 1 starts.
                if (s.startPosition + int64_t(i) >= 1 && offset >= base && offset - base <= present) ++within;
            }
        }
        if (pass == 1 && entries) out->unitsWithin = within;
    }
    return MxfStatus::Ok;
}

// Element types of the picture item that the mappings keep for clip
// wrapping (MPEG and VC-3 06, JPEG 2000 09): used only when a single
// element and no index table leave the wrapping open (one frame of a
// frame-wrapped file cut short, or one clip).
bool ClipWrappedElementType(const uint8_t* key) {
    return (key[12] == 0x15 || key[12] == 0x05) && (key[14] == 0x06 || key[14] == 0x09);
}

MxfStatus ReadEssence(MovieFile* file, MxfSource* source, MxfModel* model, uint32_t indexSid) {
    BodyCount body;
    MxfStatus st = CountBody(file, *model, &body);
    if (st != MxfStatus::Ok) return st;
    if (body.all == 0 && model->trackNumber != 0) {
        // The track number in the header does not match the essence: count
        // any picture element.
        MxfModel any = *model;
        any.trackNumber = 0;
        BodyCount second;
        st = CountBody(file, any, &second);
        if (st != MxfStatus::Ok) return st;
        if (second.all > 0) {
            model->trackNumber = 0;
            body = std::move(second);
        }
    }
    model->systemItems = body.systemItems;
    const uint64_t size = MxfFileSize(*source);
    const uint64_t length = body.first.length;
    const uint64_t present = body.all > 0 ? std::min(length, size - body.first.valueOffset) : 0;
    IndexCount index;
    st = CountIndex(source, body.segments, indexSid, length, present, &index);
    if (st != MxfStatus::Ok) return st;
    if (model->declaredFrames < 0 && index.units >= 0) model->declaredFrames = index.units;

    if (body.all == 0) {
        model->wrapping = MxfWrapping::Unknown;
        model->framesPresent = 0;
        return MxfStatus::Ok;
    }
    const int64_t declared = model->declaredFrames;
    bool clip = false;
    if (body.all == 1) {
        if (index.editUnitByteCount != 0) {
            clip = length >= 2ull * index.editUnitByteCount;
        } else if (index.units > 1 && index.unitsWithin >= 0) {
            clip = true;  // several indexed units, one element
        } else if (declared > 1) {
            clip = ClipWrappedElementType(body.first.key);
        }
    }
    if (!clip) {
        model->wrapping = MxfWrapping::Frame;
        model->framesPresent = body.whole;
        if (model->declaredFrames < 0) model->declaredFrames = body.all;
        return MxfStatus::Ok;
    }
    model->wrapping = MxfWrapping::Clip;
    model->systemItems = false;
    int64_t held = -1;
    if (present == length) {
        held = declared >= 0 ? declared : index.units;
    } else if (index.editUnitByteCount != 0) {
        held = int64_t(present / index.editUnitByteCount);
    } else if (index.unitsWithin >= 0) {
        held = index.unitsWithin;
    } else if (declared >= 0 && length > 0) {
        held = ScaleDown(declared, present, length);
    }
    if (held >= 0 && declared >= 0) held = std::min(held, declared);
    model->framesPresent = held;
    return MxfStatus::Ok;
}

MxfStatus ReadMxfOrThrow(MovieFile* file, MxfModel* model, std::string* problem, bool countEssence) {
    *model = MxfModel();
    problem->clear();
    MxfSource source;
    InitMxfSource(file, &source);
    MxfPartition header;
    MxfStatus st = FindHeaderPartition(&source, &header);
    if (st != MxfStatus::Ok) return st;
    model->runIn = header.offset;
    model->bodyStart = header.offset;
    // Operational patterns: 06 0e 2b 34 04 01 01 vv 0d 01 02 01 xx ...; xx 10 is OP-Atom.
    model->opAtom = header.operationalPattern[8] == 0x0d && header.operationalPattern[12] == 0x10;

    MxfPartition chosen;
    st = ChooseMetadataPartition(&source, header, &chosen);
    if (st != MxfStatus::Ok) return st;
    std::vector<uint8_t> bytes;
    st = ReadMetadataBytes(&source, chosen, &bytes, problem);
    if (st == MxfStatus::Damaged && chosen.offset != header.offset) {
        st = ReadMetadataBytes(&source, header, &bytes, problem);
    }
    if (st != MxfStatus::Ok) return st;
    MxfHeaderMetadata metadata;
    st = ReadHeaderMetadata(bytes.data(), bytes.size(), &metadata, problem);
    if (st != MxfStatus::Ok) return st;
    std::vector<uint8_t>().swap(bytes);
    MxfEssenceLink link;
    st = ResolveHeaderMetadata(metadata, model, &link, problem);
    if (st != MxfStatus::Ok) return st;
    model->bodySid = link.bodySid;
    model->trackNumber = link.trackNumber;
    if (!countEssence) return MxfStatus::Ok;
    return ReadEssence(file, &source, model, link.indexSid);
}

}  // namespace

bool LooksLikeMxf(MovieFile* file) {
    MxfSource source;
    InitMxfSource(file, &source);
    MxfPartition header;
    try {
        return FindHeaderPartition(&source, &header) == MxfStatus::Ok;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

MxfStatus ReadMxf(MovieFile* file, MxfModel* model, std::string* problem, bool countEssence) {
    try {
        return ReadMxfOrThrow(file, model, problem, countEssence);
    } catch (const std::bad_alloc&) {
        return MxfStatus::OutOfMemory;
    }
}
