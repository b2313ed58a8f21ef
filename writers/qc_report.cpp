#include "writers/qc_report.h"

#include <algorithm>
#include <cmath>

namespace {

struct CheckInfo {
    const char* name;
    bool fails;
};

constexpr CheckInfo kChecks[kCheckCount] = {
    {"no-video", true},        {"no-timecode", true}, {"start", true},
    {"drop-frame-flag", false}, {"nominal-rate", false}, {"rate", false},
    {"xml-unreadable", false}, {"xml-mismatch", false}, {"drop-frame-unknown", false},
    {"break", true},           {"unreadable", true},  {"timecode-ends", false},
    {"essence-ends", true},    {"sources-disagree", false}, {"frame-gap", false},
};

}  // namespace

Rate ReducedRate(int64_t num, int64_t den) {
    if (num <= 0 || den <= 0) return Rate{};
    int64_t a = num, b = den;
    while (b != 0) {
        const int64_t r = a % b;
        a = b;
        b = r;
    }
    return Rate{num / a, den / a};
}

bool RatesDiffer(Rate a, Rate b) {
    if (a.den == 0 || b.den == 0) return false;
    const double x = double(a.num) / double(a.den);
    const double y = double(b.num) / double(b.den);
    return std::fabs(x - y) > y * 1e-4;
}

const char* CheckName(Check check) { return kChecks[int(check)].name; }

bool CheckFails(Check check) { return kChecks[int(check)].fails; }

const char* SeverityName(Check check) { return CheckFails(check) ? "fail" : "warning"; }

bool ListFinding(MovieReport& report, Check check) {
    const int c = int(check);
    if (report.listed[c] >= kListedFindingsPerCheck) {
        ++report.omitted[c];
        return false;
    }
    ++report.listed[c];
    return true;
}

void AddFinding(MovieReport& report, Finding finding) {
    if (ListFinding(report, finding.check)) report.findings.push_back(std::move(finding));
}

void CompleteReport(MovieReport& report) {
    // Findings of the whole movie (frame -1) first, in check order, then the
    // others by frame; equal places keep the order they were found in.
    std::stable_sort(report.findings.begin(), report.findings.end(), [](const Finding& a, const Finding& b) {
        if ((a.frame < 0) != (b.frame < 0)) return a.frame < 0;
        if (a.frame < 0) return a.check < b.check;
        return a.frame < b.frame;
    });
    for (int c = 0; c < kCheckCount; ++c) {
        if (report.omitted[c] == 0) continue;
        Finding more;
        more.check = Check(c);
        more.omitted = report.omitted[c];
        report.findings.push_back(more);
    }
    report.result = MovieResult::Pass;
    for (const Finding& f : report.findings)
        if (CheckFails(f.check)) report.result = MovieResult::Fail;
}

MovieReport ErrorReport(const std::string& movie, const std::string& message) {
    MovieReport report;
    report.movie = movie;
    report.result = MovieResult::Error;
    report.error = message;
    return report;
}
