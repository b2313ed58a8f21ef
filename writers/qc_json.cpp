// The --qc report as JSON Lines (RFC 8259, UTF-8), one object per movie.
#include <cstdio>

#include "writers/qc_output.h"
#include "writers/utf8.h"

namespace {

// A JSON string: quotes, backslashes and control characters escaped, and
// every byte outside a well-formed UTF-8 sequence written as U+FFFD.
void AppendString(std::string& out, std::string_view bytes) {
    out += '"';
    while (!bytes.empty()) {
        const size_t length = Utf8SequenceLength(bytes);
        const unsigned char c = static_cast<unsigned char>(bytes[0]);
        if (length == 0) {
            out += kReplacementCharacter;
            bytes.remove_prefix(1);
            continue;
        }
        if (c == '"' || c == '\\') {
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
            out.append(bytes.data(), length);
        }
        bytes.remove_prefix(length);
    }
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

void AppendFinding(std::string& out, const Finding& f) {
    out += "{\"check\":\"";
    out += CheckName(f.check);
    out += "\",\"severity\":\"";
    out += CheckFails(f.check) ? "fail" : "warning";
    out += '"';
    if (f.omitted > 0) {
        Key(out, "omitted");
        out += std::to_string(f.omitted);
        out += '}';
        return;
    }
    if (f.frame >= 0) {
        Key(out, "frame");
        out += std::to_string(f.frame);
    }
    switch (f.check) {
        case Check::Start:
            Key(out, "expected");
            AppendLabel(out, f.expected);
            Key(out, "found");
            AppendLabel(out, f.after);
            break;
        case Check::Break:
            Key(out, "before");
            AppendLabel(out, f.before);
            Key(out, "after");
            AppendLabel(out, f.after);
            Key(out, "expected");
            AppendLabel(out, f.expected);
            break;
        case Check::Unreadable:
            Key(out, "count");
            out += std::to_string(f.count);
            break;
        case Check::FrameGap:
            Key(out, "frames");
            out += ThousandthsText(f.gapThousandths);
            break;
        case Check::Rate:
            Key(out, "video");
            AppendRate(out, f.video);
            Key(out, "timecode");
            AppendRate(out, f.timecode);
            break;
        default:
            break;
    }
    out += '}';
}

void AppendTimecode(std::string& out, const TimecodeSummary& t) {
    out += "{\"start\":";
    AppendLabel(out, t.labelled ? t.start : std::string());
    Key(out, "end");
    AppendLabel(out, t.labelled ? t.end : std::string());
    Key(out, "format");
    AppendLabel(out, t.defined ? t.format : "");
    Key(out, "frames_per_second");
    out += t.defined ? std::to_string(t.framesPerSecond) : "null";
    Key(out, "rate");
    AppendRate(out, t.rate);
    Key(out, "wraps_24h");
    out += !t.defined ? "null" : t.wraps24h ? "true" : "false";
    out += '}';
}

}  // namespace

void AppendQcJson(std::string& out, const MovieReport& r) {
    out += "{\"movie\":";
    AppendString(out, r.movie);
    Key(out, "result");
    AppendString(out, ResultName(r.result));
    Key(out, "error");
    AppendLabel(out, r.result == MovieResult::Error ? r.error : std::string());
    Key(out, "frames");
    out += r.walked ? std::to_string(r.frames) : "null";
    Key(out, "frame_rate");
    AppendRate(out, r.frameRate);
    Key(out, "timecode");
    if (r.hasTimecode) AppendTimecode(out, r.timecode); else out += "null";
    Key(out, "findings");
    out += '[';
    for (size_t i = 0; i < r.findings.size(); ++i) {
        if (i) out += ',';
        AppendFinding(out, r.findings[i]);
    }
    out += "]}\n";
}
