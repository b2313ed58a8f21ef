// The four output streams of a run, in their fixed closing order.
#pragma once

#include <cstdio>
#include <string>

// A stream opened "wb", and the bytes not yet handed to it. The data files get
// one line per sample; collecting them here and handing them over in large
// blocks keeps the per-line cost to a few byte copies.
struct OutputStream {
    std::FILE* file = nullptr;
    std::string pending;
};

struct OutputFiles {
    OutputStream timecodeList;    // _TimeCode.txt
    OutputStream subtitleText;    // _Lumarest_SubTitle_TimeCode.txt
    OutputStream subtitleRange;   // _Lumarest_SubTitle_Range.txt
    OutputStream subtitleScript;  // _Lumarest_SubTitle.avs
};

// Opens path with mode "wb" (created or truncated) and reserves the pending
// block once. False when the open fails; the stream then stays absent.
bool OpenOutputStream(OutputStream& stream, const std::string& path);

// Hands the pending bytes to the file. Write results are not examined.
void FlushOutputStream(OutputStream& stream);

// Hands pending bytes over once a full block has gathered.
constexpr size_t kOutputBlockSize = 64 * 1024;
inline void FlushIfFull(OutputStream& stream) {
    if (stream.pending.size() >= kOutputBlockSize) FlushOutputStream(stream);
}

// Flushes and closes every open stream, in the order list, text, range,
// script; absent ones are skipped. Close results are not examined.
void CloseOutputFiles(OutputFiles& files);
