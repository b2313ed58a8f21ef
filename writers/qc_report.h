// What --qc finds in one movie: its frames, its timecode's definition, and
// the findings of every check, ready for the text and JSON writers.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A rate as a fraction in lowest terms; den 0 when unknown.
struct Rate {
    int64_t num = 0;
    int64_t den = 0;
};

// num / den in lowest terms; unknown unless both are positive.
Rate ReducedRate(int64_t num, int64_t den);

// True when both rates are known and differ by more than one part in 10,000:
// 30 against 30000/1001 differs, a time scale's rounding of 24000/1001 to
// 2997/125 does not.
bool RatesDiffer(Rate a, Rate b);

// The checks, in the order in which a movie's findings are listed: the
// movie's own, then the definition's, then those at frames (by frame).
enum class Check : uint8_t {
    NoVideo,
    NoTimecode,
    Start,
    DropFrameFlag,
    NominalRate,
    Rate,
    XmlUnreadable,
    XmlMismatch,
    DropFrameUnknown,
    Break,
    Unreadable,
    TimecodeEnds,
    EssenceEnds,
    SourcesDisagree,
    FrameGap,
};
constexpr int kCheckCount = 15;

// "no-video", "no-timecode", "start", "drop-frame-flag", "nominal-rate",
// "rate", "xml-unreadable", "xml-mismatch", "drop-frame-unknown", "break",
// "unreadable", "timecode-ends", "essence-ends", "sources-disagree",
// "frame-gap".
const char* CheckName(Check check);

// True for the checks whose findings fail the movie; the others warn.
bool CheckFails(Check check);

// "fail" or "warning", as CheckFails says.
const char* SeverityName(Check check);

// Findings listed per check and movie; the rest are counted in one more
// finding of that check (see Finding::omitted).
constexpr int64_t kListedFindingsPerCheck = 1000;

struct Finding {
    Check check = Check::Break;
    int64_t frame = -1;  // the frame it is at; -1 for findings of the whole movie
    // break: before, after, expected (the label continuity gives);
    // start: expected, found (in `after`); xml-mismatch: the XML's label (in
    // `expected`) and the first frame's (in `after`); sources-disagree: the
    // two sources' labels (in `before` and `after`).
    // A label the handler could not give stays empty and is written as null.
    std::string before;
    std::string after;
    std::string expected;
    int64_t count = 0;          // unreadable: frames in the run; essence-ends: frames missing;
                                // sources-disagree: frames whose labels differ
    const char* sources[2] = {};  // sources-disagree: the two sources' names
    int64_t gapThousandths = 0; // frame-gap: time since the frame before, in usual frame durations x 1000
    Rate video, timecode;       // rate: the two rates
    int64_t omitted = 0;        // > 0: stands for this many findings of its check not listed
};

enum class MovieResult : uint8_t { Pass, Fail, Error };

// The timecode track's definition and labels.
struct TimecodeSummary {
    bool labelled = false;  // some frame's label was had: start and end hold text
    std::string start, end;
    bool defined = false;  // the definition was had (with the first label)
    const char* format = "";  // "drop-frame", "non-drop" or "counter"
    int framesPerSecond = 0;
    Rate rate;
    bool wraps24h = false;
    const char* source = "tmcd";  // where the labels were read: "tmcd", "rtmd", "material", "file", "system"
    // An MXF file's timecode sources, each with its first frame's label
    // (empty when it has none), in the order material, file, system.
    std::vector<std::pair<const char*, std::string>> sources;
};

struct MovieReport {
    std::string movie;  // the path's bytes as given or found in a folder (DisplayPath for UTF-8)
    MovieResult result = MovieResult::Pass;
    std::string error;  // result Error: the message, without the path
    bool walked = false;  // the video was walked: frames and frameRate hold
    int64_t frames = 0;
    Rate frameRate;       // from the duration most samples have
    bool hasTimecode = false;
    TimecodeSummary timecode;
    std::vector<Finding> findings;  // in listing order once the report is complete
    int64_t listed[kCheckCount] = {};   // findings of each check listed so far
    int64_t omitted[kCheckCount] = {};  // and beyond those, not listed
};

// Whether a further finding of check is listed: true, counting it as
// listed, while fewer than kListedFindingsPerCheck are; after that false,
// counting it as omitted. Lets a check skip making a finding nobody sees.
bool ListFinding(MovieReport& report, Check check);

// Appends the finding when ListFinding says it is listed.
void AddFinding(MovieReport& report, Finding finding);

// Puts the findings in listing order (the movie's own in check order, then
// the others by frame), adds one finding per check that left any out, and
// sets the result: Fail when any finding fails, else Pass.
void CompleteReport(MovieReport& report);

// A movie that could not be read: result Error with the message.
MovieReport ErrorReport(const std::string& movie, const std::string& message);
