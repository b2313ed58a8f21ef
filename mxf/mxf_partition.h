// Partition packs and the random index pack.
//
// A partition pack's key is 06 0e 2b 34 02 05 01 01 0d 01 02 01 01 kk ss 00:
// kk 02 header, 03 body, 04 footer; ss 01 open incomplete, 02 closed
// incomplete, 03 open complete, 04 closed complete. Its value starts with
// MajorVersion(2) MinorVersion(2) KAGSize(4) ThisPartition(8)
// PreviousPartition(8) FooterPartition(8) HeaderByteCount(8)
// IndexByteCount(8) IndexSID(4) BodyOffset(8) BodySID(4)
// OperationalPattern(16), then the essence container batch. Partition
// offsets count from the header partition pack, after any run-in.
#pragma once

#include <cstdint>

#include "mxf/mxf_klv.h"

enum : uint8_t { kMxfHeaderPartition = 2, kMxfBodyPartition = 3, kMxfFooterPartition = 4 };
enum : uint8_t { kMxfClosedComplete = 4 };

struct MxfPartition {
    uint64_t offset = 0;        // file offset of the pack's key
    uint64_t end = 0;           // file offset just past the pack's value
    uint8_t kind = 0;           // 2 header, 3 body, 4 footer
    uint8_t status = 0;         // 1..4
    uint64_t thisPartition = 0;
    uint64_t previousPartition = 0;
    uint64_t footerPartition = 0;
    uint64_t headerByteCount = 0;
    uint64_t indexByteCount = 0;
    uint32_t indexSid = 0;
    uint64_t bodyOffset = 0;
    uint32_t bodySid = 0;
    uint8_t operationalPattern[16] = {};
};

constexpr uint64_t kMxfMaxRunIn = 64 * 1024;

// kind and status of a partition pack key; false when the key is not one.
bool IsPartitionPackKey(const uint8_t* key, uint8_t* kind, uint8_t* status);
bool IsRandomIndexPackKey(const uint8_t* key);
bool IsPrimerPackKey(const uint8_t* key);

// Reads the partition pack whose KLV is `klv`. Damaged when its value is too
// short for the fixed fields.
MxfStatus ReadPartitionPack(MxfSource* source, const MxfKlv& klv, MxfPartition* partition);

// Finds the header partition pack at the start of the file or after a run-in
// of at most 64 KiB: NotMxf when there is none.
MxfStatus FindHeaderPartition(MxfSource* source, MxfPartition* header);

// The partition at `relative` (an offset counted from the header partition
// pack): Damaged unless a partition pack stands there and says it is there.
MxfStatus ReadPartitionAt(MxfSource* source, uint64_t runIn, uint64_t relative,
                          MxfPartition* partition);

// The footer partition: from the header's FooterPartition, else from the
// random index pack at the end of the file. Ok with *found false when
// neither leads to one (an open, growing or cut-short file).
MxfStatus FindFooterPartition(MxfSource* source, const MxfPartition& header, bool* found,
                              MxfPartition* footer);
