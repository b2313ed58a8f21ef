#include "writers/data_files.h"

#include <cstdio>
#include <cstring>

#include "writers/decimal.h"

DataFilesResult OpenDataFiles(OutputFiles& files, const std::string& timecodeListPath,
                              const std::string& subtitleTextPath,
                              const std::string& subtitleRangePath) {
    if (!OpenOutputStream(files.timecodeList, timecodeListPath)) {
        std::printf("Error: Unable to open TimeCode file for write access\n %s", timecodeListPath.c_str());
        return DataFilesResult::ListFailed;
    }
    if (!OpenOutputStream(files.subtitleText, subtitleTextPath)) {
        std::printf("Error: Unable to open AviSynth TimeCode file for write access\n %s",
                    subtitleTextPath.c_str());
        return DataFilesResult::TextFailed;
    }
    if (!OpenOutputStream(files.subtitleRange, subtitleRangePath)) {
        std::printf("Error: Unable to open AviSynth Range file for write access\n %s",
                    subtitleRangePath.c_str());
        return DataFilesResult::RangeFailed;
    }
    static const char kRangeHeader[] = "Type int\nDefault 0\n\n";
    AppendOutput(files.subtitleRange, kRangeHeader, sizeof kRangeHeader - 1);
    return DataFilesResult::Opened;
}

namespace {

// Copies n bytes; from 8 to 16 bytes (every timecode text) as two
// overlapping 8-byte moves, a few instructions instead of a library call.
inline void CopyText(char* dst, const char* src, size_t n) {
    if (n >= 8 && n <= 16) {
        std::memcpy(dst, src, 8);
        std::memcpy(dst + n - 8, src + n - 8, 8);
    } else {
        std::memcpy(dst, src, n);
    }
}

// Room past the line itself: the frame index is copied as a fixed 16 bytes
// from its counter (at most 11 of them count), and the bytes beyond the line
// are overwritten by the next one or never handed to the file.
constexpr size_t kCopySlack = 16;

}  // namespace

void WriteSampleLines(OutputFiles& files, int32_t frameIndex, const std::string& timecodeText) {
    const size_t n = timecodeText.size();
    DecimalCounter& index = files.frameIndexText;
    SetDecimalCounter(index, frameIndex);
    const char* const digits = index.text;
    const size_t d = index.length;

    if (n + 2 * d + 5 + 2 * kCopySlack > kOutputBlockSize) {  // not from a counted string; no shortcut
        AppendOutput(files.timecodeList, timecodeText.data(), n);
        AppendOutput(files.timecodeList, "\n", 1);
        AppendOutput(files.subtitleText, "n", 1);
        AppendOutput(files.subtitleText, digits, d);
        AppendOutput(files.subtitleText, "=\"", 2);
        AppendOutput(files.subtitleText, timecodeText.data(), n);
        AppendOutput(files.subtitleText, "\"\n", 2);
    } else {
        // "%s\n"
        char* p = OutputRoom(files.timecodeList, n + 1);
        CopyText(p, timecodeText.data(), n);
        p[n] = '\n';
        files.timecodeList.used += n + 1;

        // "n%d=\"%s\"\n"
        p = OutputRoom(files.subtitleText, d + n + 5 + kCopySlack);
        p[0] = 'n';
        std::memcpy(p + 1, digits, kCopySlack);
        p += 1 + d;
        p[0] = '=';
        p[1] = '"';
        CopyText(p + 2, timecodeText.data(), n);
        p += 2 + n;
        p[0] = '"';
        p[1] = '\n';
        files.subtitleText.used += d + n + 5;
    }

    // "%d %d\n" from frame 1 on; frame 0 takes the range file's default.
    if (frameIndex != 0) {
        char* p = OutputRoom(files.subtitleRange, 2 * d + 2 + kCopySlack);
        std::memcpy(p, digits, kCopySlack);
        p[d] = ' ';
        std::memcpy(p + d + 1, digits, kCopySlack);
        p[2 * d + 1] = '\n';
        files.subtitleRange.used += 2 * d + 2;
    }
}
