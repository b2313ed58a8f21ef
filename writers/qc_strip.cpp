// The timeline strip of a movie's entry on the QC page.
#include <algorithm>
#include <climits>

#include "writers/html_text.h"
#include "writers/qc_output.h"
#include "writers/qc_page.h"

namespace {

// Places along the strip are in thousandths of a percent of its width, so
// that each coordinate is a short exact decimal ("37.512%") and the same
// run gives the same bytes on every machine.
constexpr int64_t kWidth = 100000;
// Findings whose places fall in the same thousandth of the width (about a
// pixel on a screen or a landscape page) share one mark.
constexpr int64_t kCell = kWidth / 1000;
// The narrowest span drawn, so that a frame or two in a long movie shows.
constexpr int64_t kThinnestSpan = 150;

// Where frame `frame` begins: frame 0 at the left edge, the end of the last
// frame at the right.
int64_t Place(int64_t frame, int64_t frames) {
    frame = std::clamp<int64_t>(frame, 0, frames);
    while (frames > INT64_MAX / kWidth) {  // beyond any real movie: keeps the product in 64 bits
        frame /= 2;
        frames /= 2;
    }
    return frame * kWidth / frames;
}

struct MarkStyle {
    Check check;
    bool span;          // a span over its frames, else a line where its frame begins
    const char* lineY;  // a line's vertical extent
};

// In drawing order: spans under lines, and a frame gap in the lower part
// over a break, so that a gap at a break's frame still shows, with its own title.
constexpr MarkStyle kMarkStyles[] = {
    {Check::TimecodeEnds, true, ""},
    {Check::Unreadable, true, ""},
    {Check::Break, false, " y2=\"100%\""},
    {Check::FrameGap, false, " y1=\"40%\" y2=\"100%\""},
};

struct Mark {
    std::vector<const Finding*> findings;
    int64_t from = 0, to = 0;  // places
};

void AppendPlace(std::string& out, const char* attribute, int64_t place) {
    out += ' ';
    out += attribute;
    out += "=\"";
    out += ThousandthsText(place);
    out += "%\"";
}

void AppendMark(std::string& out, const MarkStyle& style, const Mark& mark) {
    out += style.span ? "<rect data-check=\"" : "<line data-check=\"";
    out += CheckName(style.check);
    out += "\" data-frame=\"" + std::to_string(mark.findings.front()->frame) + "\" data-frames=\"";
    for (size_t i = 0; i < mark.findings.size(); ++i) {
        if (i) out += ' ';
        out += std::to_string(mark.findings[i]->frame);
    }
    out += '"';
    if (style.span) {
        const int64_t width = std::max(mark.to - mark.from, kThinnestSpan);
        AppendPlace(out, "x", std::min(mark.from, kWidth - width));
        AppendPlace(out, "width", width);
        out += " height=\"100%\"";
    } else {
        AppendPlace(out, "x1", mark.from);
        AppendPlace(out, "x2", mark.from);
        out += style.lineY;
    }
    out += "><title>";
    for (size_t i = 0; i < mark.findings.size(); ++i) {
        if (i) out += '\n';
        AppendHtmlText(out, FindingText(*mark.findings[i]));
    }
    out += style.span ? "</title></rect>" : "</title></line>";
}

// The marks of one check. The report lists findings by frame, so a mark
// grows until the next finding begins past the cell in which it ends.
void AppendMarks(std::string& out, const MarkStyle& style, const MovieReport& r) {
    Mark mark;
    for (const Finding& f : r.findings) {
        if (f.check != style.check || f.frame < 0 || f.omitted > 0) continue;
        const int64_t from = Place(f.frame, r.frames);
        int64_t to = from;
        if (f.check == Check::Unreadable) to = Place(f.frame + std::min(f.count, r.frames - f.frame), r.frames);
        if (f.check == Check::TimecodeEnds) to = kWidth;
        if (!mark.findings.empty() && from / kCell > mark.to / kCell) {
            AppendMark(out, style, mark);
            mark.findings.clear();
        }
        if (mark.findings.empty()) mark.from = mark.to = from;
        mark.findings.push_back(&f);
        mark.to = std::max(mark.to, to);
    }
    if (!mark.findings.empty()) AppendMark(out, style, mark);
}

}  // namespace

void AppendTimelineStrip(std::string& out, const MovieReport& r) {
    out += "<svg class=\"strip\" height=\"28\" role=\"img\" aria-label=\"timeline of the frames\">"
           "<rect class=\"tc\" width=\"100%\" height=\"100%\"/>";
    for (const MarkStyle& style : kMarkStyles) AppendMarks(out, style, r);
    out += "</svg>\n<div class=\"axis\"><span>frame 0</span><span>frame " + std::to_string(r.frames - 1) +
           "</span></div>\n";
}
