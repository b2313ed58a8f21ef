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

void WriteSampleLines(OutputFiles& files, int32_t frameIndex, const std::string& timecodeText) {
    // The text is at most 255 bytes (one counted string), so each line fits
    // in an empty block.
    const size_t n = timecodeText.size();
    char digits[kDecimalMax];
    char* const digitsEnd = digits + sizeof digits;
    const char* const digitsStart = FormatDecimalBackward(digitsEnd, frameIndex);
    const size_t d = size_t(digitsEnd - digitsStart);

    if (n + 16 + 2 * d > kOutputBlockSize) {  // not from a counted string; no shortcut
        AppendOutput(files.timecodeList, timecodeText.data(), n);
        AppendOutput(files.timecodeList, "\n", 1);
        AppendOutput(files.subtitleText, "n", 1);
        AppendOutput(files.subtitleText, digitsStart, d);
        AppendOutput(files.subtitleText, "=\"", 2);
        AppendOutput(files.subtitleText, timecodeText.data(), n);
        AppendOutput(files.subtitleText, "\"\n", 2);
    } else {
        // "%s\n"
        char* p = OutputRoom(files.timecodeList, n + 1);
        std::memcpy(p, timecodeText.data(), n);
        p[n] = '\n';
        files.timecodeList.used += n + 1;

        // "n%d=\"%s\"\n"
        p = OutputRoom(files.subtitleText, d + n + 5);
        *p++ = 'n';
        std::memcpy(p, digitsStart, d);
        p += d;
        *p++ = '=';
        *p++ = '"';
        std::memcpy(p, timecodeText.data(), n);
        p += n;
        *p++ = '"';
        *p = '\n';
        files.subtitleText.used += d + n + 5;
    }

    // "%d %d\n" from frame 1 on; frame 0 takes the range file's default.
    if (frameIndex != 0) {
        char* p = OutputRoom(files.subtitleRange, 2 * d + 2);
        std::memcpy(p, digitsStart, d);
        p[d] = ' ';
        std::memcpy(p + d + 1, digitsStart, d);
        p[2 * d + 1] = '\n';
        files.subtitleRange.used += 2 * d + 2;
    }
}
