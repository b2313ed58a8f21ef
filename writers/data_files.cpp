#include "writers/data_files.h"

#include <cstdio>

#include "common/decimal.h"
#include "writers/subtitle_cues.h"

bool OpenDataFiles(OutputFiles& files, const std::string& timecodeListPath, const std::string& subtitleTextPath,
                   const std::string& subtitleRangePath, const std::string* subtitleCuesPath) {
    if (!OpenOutputStream(files.timecodeList, timecodeListPath)) {
        std::printf("Error: Unable to open TimeCode file for write access\n %s", timecodeListPath.c_str());
        return false;
    }
    if (!OpenOutputStream(files.subtitleText, subtitleTextPath)) {
        std::printf("Error: Unable to open AviSynth TimeCode file for write access\n %s",
                    subtitleTextPath.c_str());
        return false;
    }
    if (!OpenOutputStream(files.subtitleRange, subtitleRangePath)) {
        std::printf("Error: Unable to open AviSynth Range file for write access\n %s",
                    subtitleRangePath.c_str());
        return false;
    }
    if (subtitleCuesPath && !OpenSubtitleCueFile(files, *subtitleCuesPath)) return false;
    static const char kRangeHeader[] = "Type int\nDefault 0\n\n";
    Append(files.subtitleRange, kRangeHeader, sizeof kRangeHeader - 1);
    return true;
}

void WriteSampleLines(OutputFiles& files, int32_t frameIndex, const std::string& timecodeText) {
    char index[kDecimalMax];
    const size_t indexLength = size_t(PutDecimal(index, frameIndex) - index);

    // "%s\n"
    Append(files.timecodeList, timecodeText.data(), timecodeText.size());
    Append(files.timecodeList, "\n", 1);

    // "n%d=\"%s\"\n"
    Append(files.subtitleText, "n", 1);
    Append(files.subtitleText, index, indexLength);
    Append(files.subtitleText, "=\"", 2);
    Append(files.subtitleText, timecodeText.data(), timecodeText.size());
    Append(files.subtitleText, "\"\n", 2);

    // "%d %d\n" from frame 1 on; frame 0 takes the range file's default.
    if (frameIndex != 0) {
        Append(files.subtitleRange, index, indexLength);
        Append(files.subtitleRange, " ", 1);
        Append(files.subtitleRange, index, indexLength);
        Append(files.subtitleRange, "\n", 1);
    }
}
