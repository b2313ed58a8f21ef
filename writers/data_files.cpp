#include "writers/data_files.h"

#include <cstdio>
#include <cstring>

#include "common/short_text.h"
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
    const size_t n = timecodeText.size();
    const char* const text = timecodeText.data();
    DecimalCounter& index = files.frameIndexText;
    SetDecimalCounter(index, frameIndex);
    const size_t d = index.length;

    // The frame index goes in as whole words, up to kDecimalCopy bytes; the
    // room asked for covers them, and what lies past the index is
    // overwritten next.
    const size_t slack = kDecimalCopy - d;
    if (n + kDecimalCopy + 5 > kOutputRoomMax) {  // not from a counted string; too long to fill in place
        AppendOutput(files.timecodeList, text, n);
        AppendOutput(files.timecodeList, "\n", 1);
        AppendOutput(files.subtitleText, "n", 1);
        AppendOutput(files.subtitleText, index.text, d);
        AppendOutput(files.subtitleText, "=\"", 2);
        AppendOutput(files.subtitleText, text, n);
        AppendOutput(files.subtitleText, "\"\n", 2);
    } else {
        // "%s\n"
        char* p = OutputRoom(files.timecodeList, n + 1);
        CopyShortText(p, text, n);
        p[n] = '\n';
        files.timecodeList.used += n + 1;

        // "n%d=\"%s\"\n"
        p = OutputRoom(files.subtitleText, d + n + 5 + slack);
        p[0] = 'n';
        p = PutDecimalCounter(p + 1, index);
        p[0] = '=';
        p[1] = '"';
        CopyShortText(p + 2, text, n);
        p[n + 2] = '"';
        p[n + 3] = '\n';
        files.subtitleText.used += d + n + 5;
    }

    // "%d %d\n" from frame 1 on; frame 0 takes the range file's default.
    if (frameIndex != 0) {
        char* p = OutputRoom(files.subtitleRange, 2 * d + 2 + slack);
        p = PutDecimalCounter(p, index);
        *p++ = ' ';
        p = PutDecimalCounter(p, index);
        *p = '\n';
        files.subtitleRange.used += 2 * d + 2;
    }
}
