// The --qc report for people.
#include "writers/qc_output.h"

namespace {

// A label, or what stands for one the handler could not give.
std::string Shown(const std::string& label) { return label.empty() ? "(no label)" : label; }

std::string Frames(int64_t count) { return std::to_string(count) + (count == 1 ? " frame" : " frames"); }

}  // namespace

void CountResult(QcTotals& totals, MovieResult result) {
    ++totals.movies;
    if (result == MovieResult::Pass) ++totals.passed;
    if (result == MovieResult::Fail) ++totals.failed;
    if (result == MovieResult::Error) ++totals.errors;
}

const char* ResultName(MovieResult result) {
    return result == MovieResult::Pass ? "pass" : result == MovieResult::Fail ? "fail" : "error";
}

std::string RateText(Rate rate) {
    if (rate.den == 0) return std::string();
    return std::to_string(rate.num) + "/" + std::to_string(rate.den);
}

std::string ThousandthsText(int64_t thousandths) {
    std::string s = std::to_string(thousandths / 1000);
    int64_t part = thousandths % 1000;
    if (part == 0) return s;
    s += '.';
    for (int64_t digit = 100; part != 0; digit /= 10) {
        s += char('0' + part / digit);
        part %= digit;
    }
    return s;
}

std::string FindingText(const Finding& f) {
    const std::string at = f.frame >= 0 ? " at frame " + std::to_string(f.frame) : std::string();
    if (f.omitted > 0) return std::to_string(f.omitted) + " more " + CheckName(f.check) + " findings not listed";
    switch (f.check) {
        case Check::NoVideo:
            return "no video track";
        case Check::NoTimecode:
            return "no timecode track";
        case Check::Start:
            return "starts at " + Shown(f.after) + ", " + f.expected + " expected";
        case Check::DropFrameFlag:
            return "drop-frame flag on a timecode whose rate is not 30000/1001 or 60000/1001";
        case Check::NominalRate:
            return "frames a second of the timecode differ from its rate";
        case Check::Rate:
            return "video at " + RateText(f.video) + " frames a second, timecode at " + RateText(f.timecode);
        case Check::XmlUnreadable:
            return "the clip's XML cannot be read or holds no LtcChangeTable; the labels and the frame rate decide";
        case Check::XmlMismatch:
            return "the clip's XML starts at " + Shown(f.expected) + ", the first frame's label is " + Shown(f.after);
        case Check::DropFrameUnknown:
            return "no XML or label says whether the timecode drops frames; drop frame taken from the frame rate";
        case Check::Break:
            return "break" + at + ": " + Shown(f.before) + " jumps to " + Shown(f.after) + ", " +
                   Shown(f.expected) + " expected";
        case Check::Unreadable:
            return "no timecode for " + Frames(f.count) + at;
        case Check::TimecodeEnds:
            return "timecode track ends" + at + "; its count carries on";
        case Check::EssenceEnds:
            return "the file ends" + at + ": " + Frames(f.count) + " the header declares are missing";
        case Check::SourcesDisagree:
            return std::string("the ") + SourceName(f.sources[0]) + " and the " + SourceName(f.sources[1]) +
                   " disagree" + at + ": " + Shown(f.before) + " against " + Shown(f.after) + ", on " +
                   Frames(f.count);
        case Check::FrameGap:
            return "frame gap" + at + ": " + ThousandthsText(f.gapThousandths) +
                   " frame durations after the frame before";
    }
    return std::string();
}

std::string SourceName(const char* source) {
    const std::string s = source;
    if (s == "material") return "material package";
    if (s == "file") return "file package";
    if (s == "system") return "system items";
    return s + " track";
}

std::string FramesText(const MovieReport& r) {
    std::string text = Frames(r.frames);
    if (r.frameRate.den) text += ", frame rate " + RateText(r.frameRate);
    return text;
}

std::string TimecodeText(const TimecodeSummary& t) {
    std::string text = "timecode ";
    text += t.labelled ? Shown(t.start) + " to " + Shown(t.end) : std::string("without a label");
    if (t.defined) {
        text += std::string(", ") + t.format + ", " + std::to_string(t.framesPerSecond) + " frames a second, rate " +
                RateText(t.rate);
        if (t.wraps24h) text += ", wraps at 24 hours";
        if (std::string(t.source) != "tmcd") text += std::string(", read from the ") + SourceName(t.source);
    }
    return text;
}

std::string SourcesText(const TimecodeSummary& t) {
    std::string text = "timecode sources:";
    for (size_t i = 0; i < t.sources.size(); ++i)
        text += std::string(i ? ", " : " ") + SourceName(t.sources[i].first) + " " + Shown(t.sources[i].second);
    return text;
}

void AppendQcText(std::string& out, const MovieReport& r) {
    out += r.movie;
    out += ": ";
    out += ResultName(r.result);
    out += '\n';
    if (r.result == MovieResult::Error) {
        out += "  " + r.error + "\n";
        return;
    }
    if (r.walked) out += "  " + FramesText(r) + "\n";
    if (r.hasTimecode) out += "  " + TimecodeText(r.timecode) + "\n";
    if (!r.timecode.sources.empty()) out += "  " + SourcesText(r.timecode) + "\n";
    for (const Finding& f : r.findings)
        out += std::string("  ") + SeverityName(f.check) + ": " + FindingText(f) + "\n";
}

void AppendQcTotals(std::string& out, const QcTotals& t) {
    out += std::to_string(t.movies) + " movies: " + std::to_string(t.passed) + " passed, " +
           std::to_string(t.failed) + " failed, " + std::to_string(t.errors) + " could not be read\n";
}
