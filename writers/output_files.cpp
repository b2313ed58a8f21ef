#include "writers/output_files.h"

#include <algorithm>

bool OpenOutputStream(OutputStream& stream, const std::string& path) {
    stream.file = std::fopen(path.c_str(), "wb");
    if (!stream.file) return false;
    stream.block.resize(kOutputBlockSize);
    stream.used = 0;
    return true;
}

void FlushOutputStream(OutputStream& stream) {
    if (stream.file && stream.used != 0) std::fwrite(stream.block.data(), 1, stream.used, stream.file);
    stream.used = 0;
}

void AppendOutput(OutputStream& stream, const char* data, size_t size) {
    while (size != 0) {
        if (stream.used == stream.block.size()) FlushOutputStream(stream);
        const size_t part = std::min(size, stream.block.size() - stream.used);
        std::memcpy(&stream.block[stream.used], data, part);
        stream.used += part;
        data += part;
        size -= part;
    }
}

namespace {

void CloseOutputStream(OutputStream& stream) {
    if (!stream.file) return;
    FlushOutputStream(stream);
    std::fclose(stream.file);
    stream.file = nullptr;
}

}  // namespace

void CloseOutputFiles(OutputFiles& files) {
    CloseOutputStream(files.timecodeList);
    CloseOutputStream(files.subtitleText);
    CloseOutputStream(files.subtitleRange);
    CloseOutputStream(files.subtitleScript);
}
