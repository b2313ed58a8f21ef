// The --qc report as JSON Lines (RFC 8259, UTF-8), one object per movie.
#include <cstdio>

#include "writers/display_path.h"
#include "writers/qc_output.h"
#include "writers/utf8.h"

namespace {

// A JSON string: quotes, backslashes and control characters escaped, and
// every byte outside a well-formed UTF-8 sequence written as U+FFFD.
void AppendString(std::string& out, std::string_view bytes) {
    out += '"';
    ForEachUtf8Sequence(bytes, [&out](std::string_view sequence) {
        const unsigned char c = static_cast<unsigned char>(sequence[0]);
        if (sequence.size() > 1) {
            out += sequence;
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(c));
            out += escape;
        } else {
            out += char(c);
        }
    });
    out += '"';
}

// A string, or null for one that is empty (a label the handler could not
// give, a value the movie does not have).
void AppendLabel(std::string& out, const std::string& label) {
    if (label.empty())
        out += "null";
    else
        AppendString(out, label);
}

void AppendRate(std::string& out, Rate rate) {
    if (rate.den == 0)
        out += "null";
    else
        AppendString(out, RateText(rate));
}

// ,"name":
void Key(std::string& out, const char* name) {
    out += ",\"";
    out += name;
    out += "\":";
}

// ,"name":"label" (or null).
void LabelField(std::string& out, const char* name, const std::string& label) {
    Key(out, name);
    AppendLabel(out, label);
}

void RateField(std::string& out, const char* name, Rate rate) {
    Key(out, name);
    AppendRate(out, rate);
}

void NumberField(std::string& out, const char* name, const std::string& number) {
    Key(out, name);
    out += number;
}

void AppendFinding(std::string& out, const Finding& f) {
    out += "{\"check\":\"";
    out += CheckName(f.check);
    out += "\",\"severity\":\"";
    out += SeverityName(f.check);
    out += '"';
    if (f.omitted > 0) {
        NumberField(out, "omitted", std::to_string(f.omitted));
        out += '}';
        return;
    }
    if (f.frame >= 0) NumberField(out, "frame", std::to_string(f.frame));
    switch (f.check) {
        case Check::Start:
            LabelField(out, "expected", f.expected);
            LabelField(out, "found", f.after);
            break;
        case Check::XmlMismatch:
            LabelField(out, "xml", f.expected);
            LabelField(out, "found", f.after);
            break;
        case Check::Break:
            LabelField(out, "before", f.before);
            LabelField(out, "after", f.after);
            LabelField(out, "expected", f.expected);
            break;
        case Check::Unreadable:
        case Check::EssenceEnds:
            NumberField(out, "count", std::to_string(f.count));
            break;
        case Check::SourcesDisagree:
            Key(out, "sources");
            out += "[\"" + std::string(f.sources[0]) + "\",\"" + f.sources[1] + "\"]";
            NumberField(out, "count", std::to_string(f.count));
            Key(out, "labels");
            out += '[';
            AppendLabel(out, f.before);
            out += ',';
            AppendLabel(out, f.after);
            out += ']';
            break;
        case Check::FrameGap:
            NumberField(out, "frames", ThousandthsText(f.gapThousandths));
            break;
        case Check::Rate:
            RateField(out, "video", f.video);
            RateField(out, "timecode", f.timecode);
            break;
        default:
            break;
    }
    out += '}';
}

void AppendTimecode(std::string& out, const TimecodeSummary& t) {
    out += "{\"start\":";
    AppendLabel(out, t.labelled ? t.start : std::string());
    LabelField(out, "end", t.labelled ? t.end : std::string());
    LabelField(out, "format", t.defined ? t.format : "");
    NumberField(out, "frames_per_second", t.defined ? std::to_string(t.framesPerSecond) : "null");
    RateField(out, "rate", t.rate);
    NumberField(out, "wraps_24h", !t.defined ? "null" : t.wraps24h ? "true" : "false");
    LabelField(out, "source", t.source);
    if (!t.sources.empty()) {
        Key(out, "sources");
        for (size_t i = 0; i < t.sources.size(); ++i) {
            out += i ? ",\"" : "{\"";
            out += t.sources[i].first;
            out += "\":";
            AppendLabel(out, t.sources[i].second);
        }
        out += '}';
    }
    out += '}';
}

}  // namespace

void AppendQcJson(std::string& out, const MovieReport& r) {
    out += "{\"movie\":";
    AppendString(out, DisplayPath(r.movie));
    LabelField(out, "result", ResultName(r.result));
    LabelField(out, "error", r.result == MovieResult::Error ? r.error : std::string());
    NumberField(out, "frames", r.walked ? std::to_string(r.frames) : "null");
    RateField(out, "frame_rate", r.frameRate);
    Key(out, "timecode");
    if (r.hasTimecode)
        AppendTimecode(out, r.timecode);
    else
        out += "null";
    Key(out, "findings");
    out += '[';
    for (size_t i = 0; i < r.findings.size(); ++i) {
        if (i) out += ',';
        AppendFinding(out, r.findings[i]);
    }
    out += "]}\n";
}
