// The QC page: its header, then one entry per movie.
#include "writers/qc_page.h"

#include "writers/display_path.h"
#include "writers/html_text.h"
#include "writers/qc_output.h"
#include "writers/utc_time.h"

namespace {

// The groups in the order the page lists them: what needs someone's
// attention first.
struct Group {
    MovieResult result;
    const char* heading;
};
constexpr Group kGroups[] = {
    {MovieResult::Error, "Could not be read"},
    {MovieResult::Fail, "Failed"},
    {MovieResult::Pass, "Passed"},
};

void AppendFindings(std::string& out, const MovieReport& r) {
    if (r.findings.empty()) return;
    out += "<ul class=\"findings\">";
    for (const Finding& f : r.findings) {
        const char* severity = SeverityName(f.check);
        out += "<li class=\"";
        out += severity;
        out += "\">";
        out += severity;
        out += ": ";
        AppendHtmlText(out, FindingText(f));
        out += "</li>";
    }
    out += "</ul>\n";
}

// The frames and the timecode in the text report's words.
void AppendFacts(std::string& out, const MovieReport& r) {
    if (!r.walked && !r.hasTimecode) return;
    out += "<p class=\"facts\">";
    if (r.walked) AppendHtmlText(out, FramesText(r));
    if (r.walked && r.hasTimecode) out += "<br>";
    if (r.hasTimecode) AppendHtmlText(out, TimecodeText(r.timecode));
    if (!r.timecode.sources.empty()) {
        out += "<br>";
        AppendHtmlText(out, SourcesText(r.timecode));
    }
    out += "</p>\n";
}

void AppendEntry(std::string& out, const MovieReport& r) {
    const std::string movie = DisplayPath(r.movie);
    out += "<section class=\"movie\" data-movie=\"";
    AppendHtmlText(out, movie);
    out += "\" data-result=\"";
    out += ResultName(r.result);
    out += "\">\n<h3><span class=\"result\">";
    out += ResultName(r.result);
    out += "</span> <span class=\"path\">";
    AppendHtmlText(out, movie);
    out += "</span></h3>\n";
    if (r.result == MovieResult::Error) {
        out += "<p class=\"error\">";
        AppendHtmlText(out, r.error);
        out += "</p>\n";
    } else {
        AppendFacts(out, r);
        // A strip needs frames to place and a timecode whose findings it shows.
        if (r.walked && r.frames > 0 && r.hasTimecode) AppendTimelineStrip(out, r);
        AppendFindings(out, r);
    }
    out += "</section>\n";
}

void AppendHeader(std::string& out, const QcTotals& totals, const QcPageRun& run) {
    std::string counts;
    AppendQcTotals(counts, totals);
    counts.pop_back();  // its line feed
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>Timecode QC, ";
    out += counts;
    out += "</title>\n<style>\n";
    out += kQcPageStyle;
    out += "</style>\n</head>\n<body>\n<header>\n<h1>Timecode QC</h1>\n<p class=\"run\">";
    AppendHtmlText(out, run.tool);
    const std::string madeAt = UtcTimeText(run.madeAt);
    out += ", run at <time datetime=\"" + madeAt + "\">" + madeAt + "</time>";
    if (run.expectedStart) {
        out += ", start expected at ";
        AppendHtmlText(out, *run.expectedStart);
    }
    out += "</p>\n<p class=\"totals\">" + counts + "</p>\n";
    out += "<p class=\"legend\">Each strip runs from frame 0 to the last frame: <i class=\"k-tc\"></i>frames with "
           "timecode <i class=\"k-break\"></i>break <i class=\"k-unreadable\"></i>frames without timecode "
           "<i class=\"k-gap\"></i>frame gap <i class=\"k-ends\"></i>after the timecode track ends. Point at a "
           "mark for its frames and labels.</p>\n</header>\n<main>\n";
}

}  // namespace

void AppendQcPage(std::string& out, const std::vector<MovieReport>& reports, const QcPageRun& run) {
    QcTotals totals;
    for (const MovieReport& r : reports) CountResult(totals, r.result);
    AppendHeader(out, totals, run);
    for (const Group& group : kGroups) {
        const int64_t count = group.result == MovieResult::Error  ? totals.errors
                              : group.result == MovieResult::Fail ? totals.failed
                                                                  : totals.passed;
        if (count == 0) continue;
        out += "<h2>";
        out += group.heading;
        out += " (" + std::to_string(count) + ")</h2>\n";
        for (const MovieReport& r : reports)
            if (r.result == group.result) AppendEntry(out, r);
    }
    out += "</main>\n</body>\n</html>\n";
}
