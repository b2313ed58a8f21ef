#include "writers/data_files.h"

#include <cstdio>

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
    files.subtitleRange.pending.append("Type int\nDefault 0\n\n");
    return DataFilesResult::Opened;
}

void WriteSampleLines(OutputFiles& files, int32_t frameIndex, const std::string& timecodeText) {
    std::string& list = files.timecodeList.pending;
    list.append(timecodeText);
    list.push_back('\n');
    FlushIfFull(files.timecodeList);

    std::string& text = files.subtitleText.pending;
    text.push_back('n');
    AppendDecimal(text, frameIndex);
    text.append("=\"", 2);
    text.append(timecodeText);
    text.append("\"\n", 2);
    FlushIfFull(files.subtitleText);

    if (frameIndex != 0) {
        std::string& range = files.subtitleRange.pending;
        AppendDecimal(range, frameIndex);
        range.push_back(' ');
        AppendDecimal(range, frameIndex);
        range.push_back('\n');
        FlushIfFull(files.subtitleRange);
    }
}
