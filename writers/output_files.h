// The four output streams of a run, in their fixed closing order.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "writers/decimal.h"

// A stream opened "wb", and a block of bytes not yet handed to it. The data
// files get a few short lines per sample; copying them into the block and
// handing it over whole keeps the per-line cost to a few byte copies.
struct OutputStream {
    std::FILE* file = nullptr;
    std::string block;  // sized once when the stream opens, never grown
    size_t used = 0;    // bytes of block waiting to be written
    std::string path;   // as opened, for the message when writing fails
    bool writeFailed = false;  // a write fell short: disk full, quota, I/O error
};

struct OutputFiles {
    OutputStream timecodeList;    // _TimeCode.txt
    OutputStream subtitleText;    // _Lumarest_SubTitle_TimeCode.txt
    OutputStream subtitleRange;   // _Lumarest_SubTitle_Range.txt
    OutputStream subtitleScript;  // _Lumarest_SubTitle.avs
    DecimalCounter frameIndexText;  // the last frame index written, as text
};

// Every write but a stream's last hands over exactly this many bytes, so
// that each starts on a page boundary of the file: writes that start and end
// inside a page cost the kernel about a third more per byte.
constexpr size_t kOutputBlockSize = 64 * 1024;
// The most that one OutputRoom call may ask for. The block holds this much
// past kOutputBlockSize, so a line never has to be split to fit; what runs
// past the write goes to the block's start for the next one.
constexpr size_t kOutputRoomMax = 512;

// Opens path with mode "wb" (created or truncated) and sizes the block. False
// when the open fails; the stream then stays absent.
bool OpenOutputStream(OutputStream& stream, const std::string& path);

// Hands every waiting byte to the file; a short write marks the stream failed.
void FlushOutputStream(OutputStream& stream);

// Hands the first kOutputBlockSize waiting bytes to the file and moves the
// rest to the block's start. For a stream holding at least that many.
void WriteFullBlock(OutputStream& stream);

// Appends size bytes, handing over each full block on the way.
void AppendOutput(OutputStream& stream, const char* data, size_t size);

// Room for `size` (at most kOutputRoomMax) more bytes at the end of the
// waiting ones; the caller fills them and adds size to used.
inline char* OutputRoom(OutputStream& stream, size_t size) {
    assert(size <= kOutputRoomMax);  // then it fits: fewer than kOutputBlockSize bytes wait below
    (void)size;
    if (stream.used >= kOutputBlockSize) WriteFullBlock(stream);
    return &stream.block[stream.used];
}

// Flushes and closes every open stream, in the order list, text, range,
// script; absent ones are skipped. Each stream whose writes or close failed
// is reported after its close, once: "Error: Unable to write TimeCode file\n
// %s" (and "AviSynth TimeCode", "AviSynth Range", "AviSynth"), with its path.
// False when any was reported.
bool CloseOutputFiles(OutputFiles& files);
