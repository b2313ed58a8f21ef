// The --qc report on standard output: a block of lines per movie for
// people, or one JSON object per movie on a line of its own (JSON Lines).
#pragma once

#include <cstdint>
#include <string>

#include "writers/qc_report.h"

struct QcTotals {
    int64_t movies = 0;
    int64_t passed = 0;
    int64_t failed = 0;
    int64_t errors = 0;
};
void CountResult(QcTotals& totals, MovieResult result);

// "pass", "fail" or "error".
const char* ResultName(MovieResult result);

// "30000/1001"; empty when unknown.
std::string RateText(Rate rate);

// A frame gap's length: thousandths as a decimal without trailing zeros ("2.5").
std::string ThousandthsText(int64_t thousandths);

// One finding in words, as the text report gives it ("break at frame 10:
// 00:03:24:03 jumps to 02:03:30:20, 00:03:24:04 expected").
std::string FindingText(const Finding& finding);

// The movie's frames as the text report gives them: "1500 frames, frame
// rate 25/1" (meaningful once its video was walked).
std::string FramesText(const MovieReport& report);

// Its timecode: "timecode 10:00:00:00 to 10:00:59:24, non-drop, 25 frames a
// second, rate 25/1".
std::string TimecodeText(const TimecodeSummary& timecode);

// Where a timecode was read, in words: "rtmd track", "material package",
// "file package", "system items".
std::string SourceName(const char* source);

// An MXF file's timecode sources and their first labels: "timecode sources:
// material package 10:00:00:00, system items 10:00:00:00".
std::string SourcesText(const TimecodeSummary& timecode);

// The movie's block: "<path>: <result>", then indented lines.
void AppendQcText(std::string& out, const MovieReport& report);

// The closing line of a text report over several movies.
void AppendQcTotals(std::string& out, const QcTotals& totals);

// The movie's JSON object and a line feed. Paths (the movie's as
// DisplayPath gives it) and labels are written as UTF-8: a byte that is not
// part of a well-formed sequence becomes U+FFFD.
void AppendQcJson(std::string& out, const MovieReport& report);
