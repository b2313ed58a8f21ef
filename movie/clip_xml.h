// The clip's non-real-time metadata that Sony cameras write as XML (root
// element NonRealTimeMeta), inside the MP4 and beside it on the card as
// <stem>M01.XML. Of it the timecode needs one table:
//
//   <LtcChangeTable tcFps="30" halfStep="false">
//     <LtcChange frameCount="0" value="67212901" status="increment"/>
//
// tcFps is the timecode's nominal frames a second, halfStep="true" says the
// video runs at twice that, and each value is the four bytes of an SMPTE
// 12M timecode in hex, frames first.
#pragma once

#include <cstdint>
#include <string_view>

#include "movie/smpte12m.h"

// Bytes read of an XML document at most: a real one is a few kilobytes.
constexpr uint64_t kClipXmlMaxBytes = 1 << 20;

struct ClipXml {
    int tcFps = 0;          // nominal frames a second of the timecode
    bool halfStep = false;  // the video runs at twice tcFps
    // The label of frame 0 (frameCount="0"): its drop-frame bit and, with
    // halfStep, its seconds flag marking the second frame of a label.
    TimecodeLabel start;
};

// Reads the table from the document's text. False when the text is not a
// NonRealTimeMeta document with an LtcChangeTable whose tcFps is a positive
// number and which holds a valid frameCount="0" change. Entities are never
// expanded, comments, processing instructions and a DOCTYPE are passed
// over, element names may carry a namespace prefix and attributes may come
// in any order.
bool ParseClipXml(std::string_view text, ClipXml* xml);
