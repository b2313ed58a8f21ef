#include "mxf/mxf_metadata.h"

#include <cstdint>
#include <cstring>

#include "movie/byte_cursor.h"
#include "mxf/mxf_klv.h"
#include "mxf/mxf_partition.h"
#include "mxf/mxf_primer.h"

namespace {

// Structural sets: 06 0e 2b 34 02 53 01 01 0d 01 01 01 01 01 xx 00.
const uint8_t kSetPrefix[14] = {0x06, 0x0e, 0x2b, 0x34, 0x02, 0x53, 0x01, 0x01,
                                0x0d, 0x01, 0x01, 0x01, 0x01, 0x01};

MxfSetKind KindOfSet(const uint8_t* key) {
    if (!SameLabelPrefix(key, kSetPrefix, 14) || key[15] != 0x00) return MxfSetKind::Other;
    switch (key[14]) {
        case 0x2f: return MxfSetKind::Preface;
        case 0x18: return MxfSetKind::ContentStorage;
        case 0x36: return MxfSetKind::MaterialPackage;
        case 0x37: return MxfSetKind::SourcePackage;
        case 0x3b: return MxfSetKind::Track;  // timeline track
        case 0x0f: return MxfSetKind::Sequence;
        case 0x11: return MxfSetKind::SourceClip;
        case 0x14: return MxfSetKind::TimecodeComponent;
        case 0x09: return MxfSetKind::Filler;
        case 0x27:  // generic picture
        case 0x28:  // CDCI picture
        case 0x29:  // RGBA picture
        case 0x51:  // MPEG video
            return MxfSetKind::PictureDescriptor;
        case 0x42:  // generic sound
        case 0x47:  // AES3 sound
        case 0x48:  // wave sound
            return MxfSetKind::SoundDescriptor;
        case 0x44: return MxfSetKind::MultipleDescriptor;
        case 0x23: return MxfSetKind::EssenceContainerData;
        default: return MxfSetKind::Other;
    }
}

const char* KindName(MxfSetKind kind) {
    switch (kind) {
        case MxfSetKind::Preface: return "Preface";
        case MxfSetKind::ContentStorage: return "ContentStorage";
        case MxfSetKind::MaterialPackage: return "MaterialPackage";
        case MxfSetKind::SourcePackage: return "SourcePackage";
        case MxfSetKind::Track: return "Track";
        case MxfSetKind::Sequence: return "Sequence";
        case MxfSetKind::SourceClip: return "SourceClip";
        case MxfSetKind::TimecodeComponent: return "TimecodeComponent";
        case MxfSetKind::Filler: return "Filler";
        case MxfSetKind::PictureDescriptor: return "picture descriptor";
        case MxfSetKind::SoundDescriptor: return "sound descriptor";
        case MxfSetKind::MultipleDescriptor: return "MultipleDescriptor";
        case MxfSetKind::EssenceContainerData: return "EssenceContainerData";
        default: return "set the reader does not use";
    }
}

bool IsComponent(MxfSetKind k) {
    return k == MxfSetKind::Sequence || k == MxfSetKind::SourceClip ||
           k == MxfSetKind::TimecodeComponent || k == MxfSetKind::Filler;
}

bool IsDescriptor(MxfSetKind k) {
    return k == MxfSetKind::PictureDescriptor || k == MxfSetKind::SoundDescriptor ||
           k == MxfSetKind::MultipleDescriptor;
}

// Fixed-size item values; a value of another length leaves the field alone.
bool TakeU16(ByteCursor v, uint16_t* out) { return v.size == 2 && ReadU16(&v, out); }
bool TakeU32(ByteCursor v, uint32_t* out) { return v.size == 4 && ReadU32(&v, out); }
bool TakeI32(ByteCursor v, int32_t* out) {
    uint32_t u = 0;
    if (!TakeU32(v, &u)) return false;
    *out = int32_t(u);
    return true;
}
bool TakeI64(ByteCursor v, int64_t* out) {
    uint64_t u = 0;
    if (v.size != 8 || !ReadU64(&v, &u)) return false;
    *out = int64_t(u);
    return true;
}
bool TakeRational(ByteCursor v, MxfRational* out) {
    uint32_t n = 0, d = 0;
    if (v.size != 8 || !ReadU32(&v, &n) || !ReadU32(&v, &d)) return false;
    out->num = int32_t(n);
    out->den = int32_t(d);
    return true;
}
template <size_t N>
bool TakeBytes(ByteCursor v, std::array<uint8_t, N>* out) {
    if (v.size != N) return false;
    std::memcpy(out->data(), v.data, N);
    return true;
}
bool TakeLabel(ByteCursor v, uint8_t* out) {
    if (v.size != 16) return false;
    std::memcpy(out, v.data, 16);
    return true;
}
// count(4) item size(4) = 16, then count UIDs.
bool TakeUidArray(ByteCursor v, std::vector<MxfUid>* out) {
    uint32_t count = 0, itemSize = 0;
    if (!ReadU32(&v, &count) || !ReadU32(&v, &itemSize) || itemSize != 16 ||
        !FitsEntries(v, count, 16) || Remaining(v) != uint64_t(count) * 16) {
        return false;
    }
    out->resize(count);
    for (uint32_t i = 0; i < count; ++i) std::memcpy((*out)[i].data(), v.data + v.pos + i * 16, 16);
    return true;
}

struct SetItems {
    MxfUid uid = {};
    bool hasUid = false;
};

// Reads one set's items into the record of its kind.
bool ReadSetItems(ByteCursor c, MxfSetKind kind, const MxfPrimer& primer, MxfHeaderMetadata* m,
                  SetItems* items, std::string* problem) {
    MxfPrefaceSet preface;
    MxfContentStorageSet storage;
    MxfPackageSet package;
    MxfTrackSet track;
    MxfComponentSet component;
    MxfDescriptorSet descriptor;
    MxfEssenceDataSet essence;
    package.material = kind == MxfSetKind::MaterialPackage;
    component.kind = kind;
    descriptor.kind = kind;
    bool good = true;
    while (Remaining(c) > 0) {
        uint16_t tag = 0, length = 0;
        ByteCursor v;
        if (!ReadU16(&c, &tag) || !ReadU16(&c, &length) || !TakeCursor(&c, length, &v)) {
            *problem = std::string("an item of a ") + KindName(kind) + " runs past the set";
            return false;
        }
        switch (ResolveLocalTag(primer, tag)) {
            case 0x3c0a: items->hasUid = TakeBytes(v, &items->uid); break;
            case 0x3b03: TakeBytes(v, &preface.contentStorage); break;
            case 0x1901: good &= TakeUidArray(v, &storage.packages); break;
            case 0x4401: TakeBytes(v, &package.packageUid); break;
            case 0x4403: good &= TakeUidArray(v, &package.tracks); break;
            case 0x4701: package.hasDescriptor = TakeBytes(v, &package.descriptor); break;
            case 0x4801: TakeU32(v, &track.trackId); break;
            case 0x4804: TakeU32(v, &track.trackNumber); break;
            case 0x4b01: TakeRational(v, &track.editRate); break;
            case 0x4b02: TakeI64(v, &track.origin); break;
            case 0x4803: track.hasSequence = TakeBytes(v, &track.sequence); break;
            case 0x0201: TakeLabel(v, component.dataDefinition); break;
            case 0x0202: TakeI64(v, &component.duration); break;
            case 0x1001: good &= TakeUidArray(v, &component.components); break;
            case 0x1201: TakeI64(v, &component.startPosition); break;
            case 0x1101: TakeBytes(v, &component.sourcePackage); break;
            case 0x1102: TakeU32(v, &component.sourceTrackId); break;
            case 0x1501: TakeI64(v, &component.startTimecode); break;
            case 0x1502: TakeU16(v, &component.roundedBase); break;
            case 0x1503:
                if (v.size == 1) component.dropFrame = v.data[0] != 0;
                break;
            case 0x3f01: good &= TakeUidArray(v, &descriptor.subDescriptors); break;
            case 0x3006: TakeU32(v, &descriptor.linkedTrackId); break;
            case 0x3002: TakeI64(v, &descriptor.containerDuration); break;
            case 0x3203: TakeI32(v, &descriptor.storedWidth); break;
            case 0x3202: TakeI32(v, &descriptor.storedHeight); break;
            case 0x3205: TakeI32(v, &descriptor.sampledWidth); break;
            case 0x3204: TakeI32(v, &descriptor.sampledHeight); break;
            case 0x320c:
                if (v.size == 1) descriptor.frameLayout = v.data[0];
                break;
            case 0x2701: TakeBytes(v, &essence.linkedPackage); break;
            case 0x3f07: TakeU32(v, &essence.bodySid); break;
            case 0x3f06: TakeU32(v, &essence.indexSid); break;
            default: break;
        }
        if (!good) {
            *problem = std::string("a reference array of a ") + KindName(kind) +
                       " is not count x 16 bytes";
            return false;
        }
    }
    if (!items->hasUid) return true;  // nothing can refer to it
    MxfSetRef ref;
    ref.kind = kind;
    switch (kind) {
        case MxfSetKind::Preface:
            ref.index = uint32_t(m->prefaces.size());
            m->prefaces.push_back(preface);
            break;
        case MxfSetKind::ContentStorage:
            ref.index = uint32_t(m->contentStorages.size());
            m->contentStorages.push_back(std::move(storage));
            break;
        case MxfSetKind::MaterialPackage:
        case MxfSetKind::SourcePackage:
            ref.index = uint32_t(m->packages.size());
            m->packages.push_back(std::move(package));
            break;
        case MxfSetKind::Track:
            ref.index = uint32_t(m->tracks.size());
            m->tracks.push_back(track);
            break;
        case MxfSetKind::EssenceContainerData:
            ref.index = uint32_t(m->essenceData.size());
            m->essenceData.push_back(essence);
            break;
        default:
            if (IsComponent(kind)) {
                ref.index = uint32_t(m->components.size());
                m->components.push_back(std::move(component));
            } else if (IsDescriptor(kind)) {
                ref.index = uint32_t(m->descriptors.size());
                m->descriptors.push_back(std::move(descriptor));
            }
            break;
    }
    if (!m->sets.emplace(items->uid, ref).second) {
        *problem = "two sets share one InstanceUID";
        return false;
    }
    return true;
}

}  // namespace

MxfStatus ReadHeaderMetadata(const uint8_t* data, size_t size, MxfHeaderMetadata* m,
                             std::string* problem) {
    *m = MxfHeaderMetadata();
    MxfPrimer primer;
    bool primerSeen = false;
    size_t at = 0;
    while (at < size) {
        const size_t avail = size - at;
        uint64_t length = 0;
        size_t used = 0;
        if (avail < 17 || !IsUniversalLabel(data + at) ||
            !DecodeBerLength(data + at + 16, avail - 16, &length, &used) ||
            length > avail - 16 - used) {
            *problem = "a set runs past the header metadata";
            return MxfStatus::Damaged;
        }
        const uint8_t* key = data + at;
        ByteCursor value = MakeCursor(data + at + 16 + used, size_t(length));
        at += 16 + used + size_t(length);
        if (IsFillKey(key)) continue;
        if (!primerSeen) {
            if (!IsPrimerPackKey(key)) {
                *problem = "the header metadata does not start with a primer pack";
                return MxfStatus::Damaged;
            }
            MxfStatus st = ReadPrimer(value, &primer, problem);
            if (st != MxfStatus::Ok) return st;
            primerSeen = true;
            continue;
        }
        // Local sets with 2-byte tags and lengths (registry byte 0x53) only.
        if (key[4] != 0x02 || key[5] != 0x53) continue;
        SetItems items;
        if (!ReadSetItems(value, KindOfSet(key), primer, m, &items, problem)) {
            return MxfStatus::Damaged;
        }
    }
    if (!primerSeen) {
        *problem = "the header metadata has no primer pack";
        return MxfStatus::Damaged;
    }
    return MxfStatus::Ok;
}

namespace {

// Data definitions: 06 0e 2b 34 04 01 01 vv 01 03 02 xx yy 00 00 00 with
// xx yy 02 01 picture, 02 02 sound, 01 01..03 timecode.
enum class TrackKind { Other, Picture, Sound, Timecode };

TrackKind KindOfDataDefinition(const uint8_t* label) {
    static const uint8_t kPrefix[11] = {0x06, 0x0e, 0x2b, 0x34, 0x04, 0x01, 0x01, 0x01,
                                        0x01, 0x03, 0x02};
    if (!SameLabelPrefix(label, kPrefix, 11)) return TrackKind::Other;
    if (label[11] == 0x02 && label[12] == 0x01) return TrackKind::Picture;
    if (label[11] == 0x02 && label[12] == 0x02) return TrackKind::Sound;
    if (label[11] == 0x01 && label[12] >= 0x01 && label[12] <= 0x03) return TrackKind::Timecode;
    return TrackKind::Other;
}

struct Resolver {
    const MxfHeaderMetadata& m;
    std::string* problem;

    // The set `uid` names, which must be one of the kinds `accept` allows.
    // Sets of kinds the reader does not keep are reported as Other with
    // found false, so that callers can pass over them (event tracks,
    // descriptive segments).
    bool Find(const MxfUid& uid, const char* what, bool (*accept)(MxfSetKind), MxfSetRef* ref,
              bool* found) {
        *found = false;
        auto it = m.sets.find(uid);
        if (it == m.sets.end()) {
            *problem = std::string("a reference from ") + what + " names no set";
            return false;
        }
        if (it->second.kind == MxfSetKind::Other) return true;
        if (!accept(it->second.kind)) {
            *problem = std::string("a reference from ") + what + " names a " +
                       KindName(it->second.kind);
            return false;
        }
        *ref = it->second;
        *found = true;
        return true;
    }
};

bool AcceptContentStorage(MxfSetKind k) { return k == MxfSetKind::ContentStorage; }
bool AcceptPackage(MxfSetKind k) {
    return k == MxfSetKind::MaterialPackage || k == MxfSetKind::SourcePackage;
}
bool AcceptTrack(MxfSetKind k) { return k == MxfSetKind::Track; }
bool AcceptSegment(MxfSetKind k) { return IsComponent(k); }
bool AcceptComponent(MxfSetKind k) { return IsComponent(k) && k != MxfSetKind::Sequence; }
bool AcceptDescriptor(MxfSetKind k) { return IsDescriptor(k); }
bool AcceptSubDescriptor(MxfSetKind k) { return IsDescriptor(k) && k != MxfSetKind::MultipleDescriptor; }

// A track resolved down to its components.
struct ResolvedTrack {
    const MxfTrackSet* track = nullptr;
    TrackKind kind = TrackKind::Other;
    int64_t duration = -1;                          // of the sequence
    std::vector<const MxfComponentSet*> components;  // in order
};

bool ResolveTrack(Resolver* r, const MxfTrackSet& track, ResolvedTrack* out) {
    out->track = &track;
    out->components.clear();
    if (!track.hasSequence) return true;
    MxfSetRef ref;
    bool found = false;
    if (!r->Find(track.sequence, "a Track", AcceptSegment, &ref, &found)) return false;
    if (!found) return true;
    const MxfComponentSet& segment = r->m.components[ref.index];
    out->duration = segment.duration;
    out->kind = KindOfDataDefinition(segment.dataDefinition);
    if (segment.kind != MxfSetKind::Sequence) {
        out->components.push_back(&segment);  // a track whose segment is one component
    } else {
        for (const MxfUid& uid : segment.components) {
            if (!r->Find(uid, "a Sequence", AcceptComponent, &ref, &found)) return false;
            if (found) out->components.push_back(&r->m.components[ref.index]);
        }
    }
    if (out->kind == TrackKind::Other && !out->components.empty()) {
        out->kind = KindOfDataDefinition(out->components[0]->dataDefinition);
    }
    if (out->kind == TrackKind::Other) {
        for (const MxfComponentSet* c : out->components) {
            if (c->kind == MxfSetKind::TimecodeComponent) out->kind = TrackKind::Timecode;
        }
    }
    return true;
}

// The package's first track of the kind (or with the track ID, when not 0).
bool FindTrack(Resolver* r, const MxfPackageSet& package, TrackKind kind, uint32_t trackId,
               ResolvedTrack* out, bool* found) {
    *found = false;
    for (const MxfUid& uid : package.tracks) {
        MxfSetRef ref;
        bool isTrack = false;
        if (!r->Find(uid, "a package", AcceptTrack, &ref, &isTrack)) return false;
        if (!isTrack) continue;
        const MxfTrackSet& track = r->m.tracks[ref.index];
        if (trackId != 0 && track.trackId != trackId) continue;
        ResolvedTrack t;
        if (!ResolveTrack(r, track, &t)) return false;
        if (trackId == 0 && t.kind != kind) continue;
        *out = t;
        *found = true;
        return true;
    }
    return true;
}

const MxfComponentSet* FirstSourceClip(const ResolvedTrack& t) {
    for (const MxfComponentSet* c : t.components) {
        if (c->kind == MxfSetKind::SourceClip) return c;
    }
    return nullptr;
}

void FillTimecode(const ResolvedTrack& t, int64_t position, MxfTimecode* tc) {
    tc->present = true;
    tc->editRate = t.track->editRate;
    tc->origin = t.track->origin;
    tc->position = position;
    tc->components.clear();
    for (const MxfComponentSet* c : t.components) {
        MxfTimecodeComponent out;
        out.duration = c->duration;
        if (c->kind == MxfSetKind::TimecodeComponent) {
            out.start = c->startTimecode;
            out.roundedBase = c->roundedBase;
            out.dropFrame = c->dropFrame;
        }
        tc->components.push_back(out);
    }
}

const MxfPackageSet* FindSourcePackage(const std::vector<const MxfPackageSet*>& packages,
                                       const MxfUmid& uid) {
    for (const MxfPackageSet* p : packages) {
        if (!p->material && p->packageUid == uid) return p;
    }
    return nullptr;
}

bool ResolveDescriptor(Resolver* r, const MxfPackageSet& package, uint32_t pictureTrackId,
                       MxfModel* model) {
    if (!package.hasDescriptor) return true;
    MxfSetRef ref;
    bool found = false;
    if (!r->Find(package.descriptor, "a SourcePackage", AcceptDescriptor, &ref, &found)) return false;
    if (!found) return true;
    const MxfDescriptorSet* picture = nullptr;
    const MxfDescriptorSet& d = r->m.descriptors[ref.index];
    if (d.kind == MxfSetKind::PictureDescriptor) picture = &d;
    for (const MxfUid& uid : d.subDescriptors) {
        if (!r->Find(uid, "a MultipleDescriptor", AcceptSubDescriptor, &ref, &found)) return false;
        if (!found) continue;
        const MxfDescriptorSet& sub = r->m.descriptors[ref.index];
        if (sub.kind != MxfSetKind::PictureDescriptor) continue;
        if (!picture || (sub.linkedTrackId == pictureTrackId && picture->linkedTrackId != pictureTrackId)) {
            picture = &sub;
        }
    }
    if (picture) {
        // The sampled area (the stored one may carry padding lines); with
        // separate fields or a segmented frame the heights count the lines
        // of one field.
        model->width = picture->sampledWidth > 0 ? picture->sampledWidth : picture->storedWidth;
        model->height = picture->sampledHeight > 0 ? picture->sampledHeight : picture->storedHeight;
        if ((picture->frameLayout == 1 || picture->frameLayout == 4) && model->height <= INT32_MAX / 2) {
            model->height *= 2;
        }
        if (model->declaredFrames < 0 && picture->containerDuration >= 0) {
            model->declaredFrames = picture->containerDuration;
        }
    }
    return true;
}

}  // namespace

MxfStatus ResolveHeaderMetadata(const MxfHeaderMetadata& m, MxfModel* model, MxfEssenceLink* link,
                                std::string* problem) {
    Resolver r{m, problem};
    MxfSetRef ref;
    bool found = false;
    if (m.prefaces.empty()) {
        *problem = "the header metadata has no Preface";
        return MxfStatus::Damaged;
    }
    if (!r.Find(m.prefaces[0].contentStorage, "the Preface", AcceptContentStorage, &ref, &found)) {
        return MxfStatus::Damaged;
    }
    if (!found) {
        *problem = "the Preface names no ContentStorage";
        return MxfStatus::Damaged;
    }
    std::vector<const MxfPackageSet*> packages;
    const MxfPackageSet* material = nullptr;
    for (const MxfUid& uid : m.contentStorages[ref.index].packages) {
        if (!r.Find(uid, "the ContentStorage", AcceptPackage, &ref, &found)) return MxfStatus::Damaged;
        if (!found) continue;
        packages.push_back(&m.packages[ref.index]);
        if (!material && m.packages[ref.index].material) material = packages.back();
    }
    if (!material) {
        *problem = "the ContentStorage has no MaterialPackage";
        return MxfStatus::Damaged;
    }

    ResolvedTrack picture, timecode, sound;
    bool hasPicture = false, hasTimecode = false, hasSound = false;
    if (!FindTrack(&r, *material, TrackKind::Picture, 0, &picture, &hasPicture) ||
        !FindTrack(&r, *material, TrackKind::Timecode, 0, &timecode, &hasTimecode) ||
        !FindTrack(&r, *material, TrackKind::Sound, 0, &sound, &hasSound)) {
        return MxfStatus::Damaged;
    }
    if (hasTimecode) FillTimecode(timecode, 0, &model->material);
    model->soundOnly = !hasPicture && hasSound;

    // The material track the essence is reached through: the picture, or for
    // sound-only files the first sound track.
    const ResolvedTrack* main = hasPicture ? &picture : hasSound ? &sound : nullptr;
    if (!main) return MxfStatus::Ok;
    const MxfComponentSet* clip = FirstSourceClip(*main);
    if (hasPicture) {
        model->editRate = picture.track->editRate;
        model->declaredFrames = clip && clip->duration >= 0 ? clip->duration : picture.duration;
        model->hasPicture = model->declaredFrames != 0;
    }
    if (!clip) return MxfStatus::Ok;
    model->startPosition = clip->startPosition;

    // The file package: the top-level source package the clip names.
    const MxfPackageSet* filePackage = FindSourcePackage(packages, clip->sourcePackage);
    if (!filePackage) return MxfStatus::Ok;
    for (const MxfEssenceDataSet& e : m.essenceData) {
        if (e.linkedPackage == filePackage->packageUid) {
            link->bodySid = e.bodySid;
            link->indexSid = e.indexSid;
        }
    }
    ResolvedTrack fileTrack, fileTimecode;
    bool hasFileTrack = false, hasFileTimecode = false;
    if (!FindTrack(&r, *filePackage, main->kind, clip->sourceTrackId, &fileTrack, &hasFileTrack) ||
        !FindTrack(&r, *filePackage, TrackKind::Timecode, 0, &fileTimecode, &hasFileTimecode)) {
        return MxfStatus::Damaged;
    }
    if (hasFileTrack) link->trackNumber = fileTrack.track->trackNumber;
    if (hasPicture && !ResolveDescriptor(&r, *filePackage, hasFileTrack ? fileTrack.track->trackId : 0, model)) {
        return MxfStatus::Damaged;
    }
    if (hasFileTimecode) {
        FillTimecode(fileTimecode, model->startPosition, &model->file);
        return MxfStatus::Ok;
    }
    // No timecode of its own: the package the file package's clip names (a
    // tape or import package) at the clip's StartPosition.
    const MxfComponentSet* fileClip = hasFileTrack ? FirstSourceClip(fileTrack) : nullptr;
    if (!fileClip) return MxfStatus::Ok;
    const MxfPackageSet* lower = FindSourcePackage(packages, fileClip->sourcePackage);
    if (!lower || lower == filePackage) return MxfStatus::Ok;
    ResolvedTrack lowerTimecode;
    bool hasLowerTimecode = false;
    if (!FindTrack(&r, *lower, TrackKind::Timecode, 0, &lowerTimecode, &hasLowerTimecode)) {
        return MxfStatus::Damaged;
    }
    if (hasLowerTimecode) {
        FillTimecode(lowerTimecode, int64_t(uint64_t(fileClip->startPosition) + uint64_t(model->startPosition)), &model->file);
        model->fileTimecodeFromLowerPackage = true;
    }
    return MxfStatus::Ok;
}
