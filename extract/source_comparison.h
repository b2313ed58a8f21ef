// An MXF file's timecode sources compared frame by frame, for --qc: the
// material package's timecode, the file package's and the system items'.
// Each pair of sources that gives different labels for the same frames is
// one finding: the first such frame, the two labels there and how many
// frames differ. The material and file packages are not compared when
// either shows 00:00:00:00 at the first frame, the "none given" value of
// mastering tools (every IMF and DCP track file would differ otherwise).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "extract/timecode_text.h"
#include "qtbinding/toolbox.h"
#include "writers/qc_report.h"

struct TimecodeSource {
    const char* name = "";  // "material", "file" or "system"
    MediaHandler handler = nullptr;
    MediaTimeScales scales;
    bool labelled = false;  // the current frame has a label from it
    TimeCodeDef definition{};
    TimeCodeRecord record{};
    std::string first;       // its label at the first frame; empty for none
};

struct SourcePair {
    size_t a = 0, b = 0;     // sources, a before b
    bool compared = true;
    int64_t frame = -1;      // the first frame whose labels differ
    int64_t count = 0;
    std::string labelA, labelB;
};

struct SourceComparison {
    std::vector<TimecodeSource> sources;  // in the order material, file, system
    std::vector<SourcePair> pairs;
    int64_t frames = 0;
    TimecodeScratch scratch;
    std::string text;
};

// Ready for the first frame; sources in any order, at least two to compare.
void StartSourceComparison(SourceComparison& c, std::vector<TimecodeSource> sources);

// The next frame, the video sample at time.
void CompareSourcesAt(SourceComparison& c, TimeValue64 time);

// The sources' first labels into the report's timecode summary, and a
// sources-disagree finding per pair that differed.
void FinishSourceComparison(SourceComparison& c, MovieReport& report);
