// The four output streams of a run, in their fixed closing order.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

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
    OutputStream subtitleCues;    // _Lumarest_TimeCode.srt, with --srt
};

// Every write but a stream's last hands over exactly this many bytes, so
// that each starts on a page boundary of the file: writes that start and end
// inside a page cost the kernel about a third more per byte.
constexpr size_t kOutputBlockSize = 64 * 1024;

// Opens path with mode "wb" (created or truncated) and sizes the block. False
// when the open fails; the stream then stays absent.
bool OpenOutputStream(OutputStream& stream, const std::string& path);

// OpenOutputStream; when it fails, prints "Error: Unable to open <name> file
// for write access\n %s" with the path ("TimeCode", "AviSynth TimeCode",
// "AviSynth Range", "AviSynth", "SRT": the names the close reports with).
bool OpenOutputFile(OutputStream& stream, const std::string& path, const char* name);

// Appends bytes that do not fit in what is left of the block: fills it,
// hands it to the file, and goes on.
void AppendAcrossBlocks(OutputStream& stream, const char* bytes, size_t n);

// Appends n bytes to the stream.
inline void Append(OutputStream& stream, const char* bytes, size_t n) {
    if (n > kOutputBlockSize - stream.used) return AppendAcrossBlocks(stream, bytes, n);
    std::memcpy(&stream.block[stream.used], bytes, n);
    stream.used += n;
}

// Flushes and closes every open stream, in the order list, text, range,
// script, cues; absent ones are skipped. Each stream whose writes or close
// failed is reported after its close, once: "Error: Unable to write TimeCode
// file\n %s" (and "AviSynth TimeCode", "AviSynth Range", "AviSynth", "SRT"),
// with its path. False when any was reported.
bool CloseOutputFiles(OutputFiles& files);

// A file written whole in one go, as the output files are ("wb", replaced
// when it exists): the messages of OpenOutputFile and CloseOutputFiles, with
// its name, go to `messages`. False when either was printed.
bool WriteOutputFile(const std::string& path, const std::string& bytes, const char* name, std::FILE* messages);
