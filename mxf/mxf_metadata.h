// Header metadata: the primer pack followed by local sets. A local set's key
// is 06 0e 2b 34 02 53 01 01 0d 01 01 01 01 01 xx 00 with xx naming the set;
// its value is items of local tag(2) + length(2) + value. Sets refer to each
// other by the 16-byte InstanceUID (tag 3c0a) of the set referred to: one UID
// for a single strong reference, a batch of count(4) + item size(4) = 16 +
// UIDs for an array of them. Only the sets the tool uses are kept, each as a
// plain record found by its InstanceUID; other sets and items are skipped.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "mxf/mxf_model.h"

using MxfUid = std::array<uint8_t, 16>;
using MxfUmid = std::array<uint8_t, 32>;

enum class MxfSetKind : uint8_t {
    Other,  // a set read only to know that its InstanceUID exists
    Preface,
    ContentStorage,
    MaterialPackage,
    SourcePackage,
    Track,
    Sequence,
    SourceClip,
    TimecodeComponent,
    Filler,
    PictureDescriptor,
    SoundDescriptor,
    MultipleDescriptor,
    EssenceContainerData,
};

struct MxfPrefaceSet {
    MxfUid contentStorage = {};
};

struct MxfContentStorageSet {
    std::vector<MxfUid> packages;
};

struct MxfPackageSet {
    bool material = false;
    MxfUmid packageUid = {};
    std::vector<MxfUid> tracks;
    bool hasDescriptor = false;
    MxfUid descriptor = {};
};

struct MxfTrackSet {
    uint32_t trackId = 0;
    uint32_t trackNumber = 0;
    MxfRational editRate;
    int64_t origin = 0;
    bool hasSequence = false;
    MxfUid sequence = {};
};

// Sequence, SourceClip, TimecodeComponent or Filler.
struct MxfComponentSet {
    MxfSetKind kind = MxfSetKind::Other;
    uint8_t dataDefinition[16] = {};
    int64_t duration = -1;
    std::vector<MxfUid> components;      // Sequence
    int64_t startPosition = 0;           // SourceClip
    MxfUmid sourcePackage = {};
    uint32_t sourceTrackId = 0;
    int64_t startTimecode = 0;           // TimecodeComponent
    uint16_t roundedBase = 0;
    bool dropFrame = false;
};

// A picture, sound or multiple descriptor.
struct MxfDescriptorSet {
    MxfSetKind kind = MxfSetKind::Other;
    int32_t storedWidth = 0;
    int32_t storedHeight = 0;
    int32_t sampledWidth = 0;   // 0: not given
    int32_t sampledHeight = 0;
    uint8_t frameLayout = 0;    // 0 full frame, 1 separate fields, 2 one field, 3 mixed fields, 4 segmented frame
    int64_t containerDuration = -1;
    uint32_t linkedTrackId = 0;
    std::vector<MxfUid> subDescriptors;  // MultipleDescriptor
};

struct MxfEssenceDataSet {
    MxfUmid linkedPackage = {};
    uint32_t bodySid = 0;
    uint32_t indexSid = 0;
};

struct MxfSetRef {
    MxfSetKind kind = MxfSetKind::Other;
    uint32_t index = 0;  // into the vector of that kind
};

struct MxfHeaderMetadata {
    std::map<MxfUid, MxfSetRef> sets;  // every set with an InstanceUID
    std::vector<MxfPrefaceSet> prefaces;
    std::vector<MxfContentStorageSet> contentStorages;
    std::vector<MxfPackageSet> packages;
    std::vector<MxfTrackSet> tracks;
    std::vector<MxfComponentSet> components;
    std::vector<MxfDescriptorSet> descriptors;
    std::vector<MxfEssenceDataSet> essenceData;
};

// Reads header metadata held in memory: a primer pack first (fill items
// aside), then sets until the bytes end. Damaged with `problem` set when
// there is no primer, an item or set runs past its container, an array is
// not count x 16 bytes, or two sets share an InstanceUID.
MxfStatus ReadHeaderMetadata(const uint8_t* data, size_t size, MxfHeaderMetadata* metadata,
                             std::string* problem);

// What the essence reading needs from the header metadata.
struct MxfEssenceLink {
    uint32_t bodySid = 0;
    uint32_t indexSid = 0;
    uint32_t trackNumber = 0;  // of the file package's picture (or sound) track
};

// Follows the references from the Preface to the material package, its
// picture, sound and timecode tracks, the file package that the picture clip
// names and the package below it, and fills the picture, timecode and
// descriptor fields of the model. The levels are fixed (Preface,
// ContentStorage, package, track, sequence, component; package, descriptor,
// sub-descriptor) and each reference must name a set of the next level, so a
// reference that names a set of the wrong kind is refused, and with it every
// loop. Damaged with `problem` set for such a reference or one that names no
// set.
MxfStatus ResolveHeaderMetadata(const MxfHeaderMetadata& metadata, MxfModel* model,
                                MxfEssenceLink* link, std::string* problem);
