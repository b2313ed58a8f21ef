// The --qc report as one HTML page (--html FILE) for people: a header with
// the run and its counts, then an entry per movie with its facts, its
// findings and a timeline strip that shows where they are. The page holds
// everything it shows (CSS and SVG inline) and needs no script, so it reads
// the same offline, from an email attachment or printed to PDF.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "writers/qc_report.h"

// What the header says about the run.
struct QcPageRun {
    std::string tool;     // "LumarestTC 1.0.0"
    int64_t madeAt = 0;   // seconds since 1970-01-01T00:00:00Z
    const std::string* expectedStart = nullptr;  // --expect-start's label, or null
};

// The whole page: the movies that could not be read first, then those that
// failed, then those that passed, each group in the run's order. Every
// entry carries data-movie (its path, as the JSON's "movie") and
// data-result ("pass", "fail", "error").
void AppendQcPage(std::string& out, const std::vector<MovieReport>& reports, const QcPageRun& run);

// The movie's timeline strip, an SVG as wide as its entry: frame 0 at the
// left edge, the last frame ending at the right. Each finding of the checks
// break, unreadable, frame-gap and timecode-ends is a mark with data-check,
// data-frame (its first frame), data-frames (the frames of all the findings
// it stands for) and a title giving them in the text report's words;
// findings that fall within about a pixel of each other share a mark.
void AppendTimelineStrip(std::string& out, const MovieReport& report);

// The page's style sheet, screen and print.
extern const char kQcPageStyle[];
