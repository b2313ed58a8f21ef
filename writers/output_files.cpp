#include "writers/output_files.h"

#include <algorithm>
#include <cstdio>

namespace {

// Hands every waiting byte to the file; a short write marks the stream failed.
void FlushOutputStream(OutputStream& stream) {
    if (stream.used != 0 && std::fwrite(stream.block.data(), 1, stream.used, stream.file) != stream.used)
        stream.writeFailed = true;
    stream.used = 0;
}

// The close result counts as much as the writes': some file systems report
// a failed write only there.
bool CloseOutputStream(OutputStream& stream, const char* name, std::FILE* messages = stdout) {
    if (!stream.file) return true;
    FlushOutputStream(stream);
    bool written = !stream.writeFailed && !std::ferror(stream.file);
    if (std::fclose(stream.file) != 0) written = false;
    stream.file = nullptr;
    if (!written) std::fprintf(messages, "Error: Unable to write %s file\n %s", name, stream.path.c_str());
    return written;
}

bool OpenOrReport(OutputStream& stream, const std::string& path, const char* name, std::FILE* messages) {
    if (OpenOutputStream(stream, path)) return true;
    std::fprintf(messages, "Error: Unable to open %s file for write access\n %s", name, path.c_str());
    return false;
}

}  // namespace

bool OpenOutputStream(OutputStream& stream, const std::string& path) {
    stream.file = std::fopen(path.c_str(), "wb");
    if (!stream.file) return false;
    // The block is the stream's only buffer: each hand-over becomes one
    // write. With stdio's own buffer as well, every block went out as two
    // writes (the whole multiples of that buffer, then the rest copied into
    // it), and off the page boundaries.
    std::setvbuf(stream.file, nullptr, _IONBF, 0);
    stream.block.resize(kOutputBlockSize);
    stream.used = 0;
    stream.path = path;
    stream.writeFailed = false;
    return true;
}

bool OpenOutputFile(OutputStream& stream, const std::string& path, const char* name) {
    return OpenOrReport(stream, path, name, stdout);
}

void AppendAcrossBlocks(OutputStream& stream, const char* bytes, size_t n) {
    while (n != 0) {
        if (stream.used == kOutputBlockSize) FlushOutputStream(stream);
        const size_t part = std::min(n, kOutputBlockSize - stream.used);
        std::memcpy(&stream.block[stream.used], bytes, part);
        stream.used += part;
        bytes += part;
        n -= part;
    }
}

bool CloseOutputFiles(OutputFiles& files) {
    const bool list = CloseOutputStream(files.timecodeList, "TimeCode");
    const bool text = CloseOutputStream(files.subtitleText, "AviSynth TimeCode");
    const bool range = CloseOutputStream(files.subtitleRange, "AviSynth Range");
    const bool script = CloseOutputStream(files.subtitleScript, "AviSynth");
    const bool cues = CloseOutputStream(files.subtitleCues, "SRT");
    return list && text && range && script && cues;
}

bool WriteOutputFile(const std::string& path, const std::string& bytes, const char* name, std::FILE* messages) {
    OutputStream stream;
    if (!OpenOrReport(stream, path, name, messages)) return false;
    Append(stream, bytes.data(), bytes.size());
    return CloseOutputStream(stream, name, messages);
}
