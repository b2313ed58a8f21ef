#include "writers/output_files.h"

bool OpenOutputStream(OutputStream& stream, const std::string& path) {
    stream.file = std::fopen(path.c_str(), "wb");
    if (!stream.file) return false;
    // One line at most rides over the block size before it is handed over.
    stream.pending.reserve(kOutputBlockSize + 1024);
    return true;
}

void FlushOutputStream(OutputStream& stream) {
    if (stream.file && !stream.pending.empty())
        std::fwrite(stream.pending.data(), 1, stream.pending.size(), stream.file);
    stream.pending.clear();  // keeps the capacity
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
