#include "writers/data_files.h"

#include "common/decimal.h"

bool OpenDataFiles(OutputFiles& files, const std::string& timecodeListPath, const std::string& subtitleTextPath,
                   const std::string& subtitleRangePath, const std::string* subtitleCuesPath) {
    if (!OpenOutputFile(files.timecodeList, timecodeListPath, "TimeCode") ||
        !OpenOutputFile(files.subtitleText, subtitleTextPath, "AviSynth TimeCode") ||
        !OpenOutputFile(files.subtitleRange, subtitleRangePath, "AviSynth Range") ||
        (subtitleCuesPath && !OpenOutputFile(files.subtitleCues, *subtitleCuesPath, "SRT")))
        return false;
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
