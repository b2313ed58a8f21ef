// The body: essence container KLVs walked forward by key and length, values
// skipped, from the header partition pack to the end of the file. Partition
// packs say which essence container (BodySID) the KLVs after them belong to.
// A content package of a frame-wrapped container is counted at its element
// of the counted track (the essence element key's bytes 12 to 15 are the
// track number); its system item, when there is one, comes before it.
//
// The system metadata pack's value is bitmap(1) rate(1) type(1) channel
// handle(2) continuity count(2) label(16) creation stamp(17) user stamp(17).
// A user stamp whose first byte (byte 40 of the value) is 0x81 holds the
// frame's SMPTE 12M timecode in bytes 41 to 44: frames, seconds, minutes,
// hours, each BCD with 12M's flag bits.
#pragma once

#include <cstdint>

#include "mxf/mxf_klv.h"
#include "mxf/mxf_model.h"

enum class MxfBodyEvent {
    End,            // end of the file, a key that is not a label, or a KLV that runs past the file
    Element,        // a counted essence element, whole
    CutElement,     // a counted essence element whose value runs past the end of the file
    SystemPack,     // a system metadata pack in the body
    IndexSegment,   // an index table segment (in any partition)
};

// Where a walk stands. It lives with whoever walks; nothing of it is kept in
// the model. Its memory is the byte source's window, whatever the number of
// frames.
struct MxfBodyCursor {
    MxfSource source;
    bool started = false;
    uint64_t next = 0;          // file offset of the next KLV
    bool inBody = false;        // the current partition holds the counted essence container
    int64_t packages = 0;       // counted elements passed
    int64_t cachedPackage = -1; // the content package whose system item was read last
    bool cachedPresent = false;
    uint8_t cached[4] = {};
};

// Puts the cursor at the start of the body.
void StartBodyWalk(MovieFile* file, const MxfModel& model, MxfBodyCursor* cursor);

// Moves to the next KLV that the walk reports and gives its key and length.
MxfStatus NextBodyEvent(const MxfModel& model, MxfBodyCursor* cursor, MxfBodyEvent* event,
                        MxfKlv* klv);

// The system item timecode of content package `contentPackage` (counted from
// the body's first, so material frame k is startPosition + k): the four 12M
// bytes as stored and whether there was one. The walk goes forward from the
// cursor and starts again from the body's start when asked for an earlier
// package.
MxfStatus SystemItemTimecode(MovieFile* file, const MxfModel& model, MxfBodyCursor* cursor,
                             int64_t contentPackage, uint8_t smpte[4], bool* present);
