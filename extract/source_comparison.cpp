#include "extract/source_comparison.h"

#include <algorithm>
#include <cstring>

#include "qtbinding/timecode_def.h"

namespace {

int SourceRank(const char* name) {
    return std::strcmp(name, "material") == 0 ? 0 : std::strcmp(name, "file") == 0 ? 1 : 2;
}

std::string LabelOf(SourceComparison& c, TimecodeSource& s) {
    if (!TimecodeRecordText(s.handler, &s.definition, &s.record, c.scratch, c.text)) return std::string();
    return c.text;
}

// Two labels are the same text: the same fields, and both drop frame or neither.
bool SameLabel(const TimecodeSource& a, const TimecodeSource& b) {
    return std::memcmp(&a.record, &b.record, sizeof a.record) == 0 &&
           DropFrameApplies(a.definition) == DropFrameApplies(b.definition) &&
           ((a.definition.flags ^ b.definition.flags) & tcCounter) == 0;
}

bool ShowsMidnight(const TimecodeSource& s) {
    const TimeCodeTime& t = s.record.t;
    return s.labelled && !(s.definition.flags & tcCounter) && t.hours == 0 && t.minutes == 0 && t.seconds == 0 &&
           t.frames == 0;
}

}  // namespace

void StartSourceComparison(SourceComparison& c, std::vector<TimecodeSource> sources) {
    std::stable_sort(sources.begin(), sources.end(), [](const TimecodeSource& x, const TimecodeSource& y) {
        return SourceRank(x.name) < SourceRank(y.name);
    });
    c.sources = std::move(sources);
    c.pairs.clear();
    for (size_t a = 0; a < c.sources.size(); ++a)
        for (size_t b = a + 1; b < c.sources.size(); ++b) {
            SourcePair p;
            p.a = a;
            p.b = b;
            c.pairs.push_back(p);
        }
    c.frames = 0;
    c.text.reserve(sizeof c.scratch.plain);
}

void CompareSourcesAt(SourceComparison& c, TimeValue64 time) {
    for (TimecodeSource& s : c.sources) {
        int32_t count;
        s.labelled = TCGetTimeCodeAtTime(s.handler, ToTimecodeMediaTime(time, s.scales), &count, &s.definition,
                                         &s.record, nullptr) == 0;
        if (c.frames == 0 && s.labelled) s.first = LabelOf(c, s);
    }
    for (SourcePair& p : c.pairs) {
        TimecodeSource& a = c.sources[p.a];
        TimecodeSource& b = c.sources[p.b];
        if (c.frames == 0 && SourceRank(a.name) == 0 && SourceRank(b.name) == 1 && (ShowsMidnight(a) || ShowsMidnight(b)))
            p.compared = false;
        if (!p.compared || !a.labelled || !b.labelled || SameLabel(a, b)) continue;
        if (p.count++ == 0) {
            p.frame = c.frames;
            p.labelA = LabelOf(c, a);
            p.labelB = LabelOf(c, b);
        }
    }
    ++c.frames;
}

void FinishSourceComparison(SourceComparison& c, MovieReport& report) {
    report.timecode.sources.clear();
    for (const TimecodeSource& s : c.sources) report.timecode.sources.push_back({s.name, s.first});
    for (const SourcePair& p : c.pairs) {
        if (p.count == 0) continue;
        Finding f;
        f.check = Check::SourcesDisagree;
        f.frame = p.frame;
        f.count = p.count;
        f.sources[0] = c.sources[p.a].name;
        f.sources[1] = c.sources[p.b].name;
        f.before = p.labelA;
        f.after = p.labelB;
        AddFinding(report, std::move(f));
    }
}
