// Index table segments: local sets with key
// 06 0e 2b 34 02 53 01 01 0d 01 02 01 01 10 01 00 and the items
// IndexEditRate 3f0b, IndexStartPosition 3f0c, IndexDuration 3f0d,
// EditUnitByteCount 3f05 (constant bytes per edit unit), IndexSID 3f06,
// BodySID 3f07 and IndexEntryArray 3f0a: count(4), entry size(4), then per
// edit unit TemporalOffset(1) KeyFrameOffset(1) Flags(1) StreamOffset(8) and
// slice offsets. Stream offsets count the bytes of the essence container's
// stream (its body partitions' essence, without partition packs, header
// metadata or index tables).
#pragma once

#include <cstdint>

#include "movie/byte_cursor.h"
#include "mxf/mxf_model.h"

struct MxfIndexSegment {
    MxfRational editRate;
    int64_t startPosition = 0;
    int64_t duration = 0;           // 0 with a byte count: every edit unit of the stream
    uint32_t editUnitByteCount = 0;
    uint32_t indexSid = 0;
    uint32_t bodySid = 0;
    uint32_t entryCount = 0;
    uint32_t entrySize = 0;
    ByteCursor entries;             // entryCount x entrySize bytes
};

bool IsIndexSegmentKey(const uint8_t* key);

// Damaged when an item runs past the segment or the entry array is not
// count x size (size at least 11) bytes.
MxfStatus ReadIndexSegment(ByteCursor value, MxfIndexSegment* segment);

// The stream offset of entry i (i < entryCount).
uint64_t IndexEntryStreamOffset(const MxfIndexSegment& segment, uint32_t i);
