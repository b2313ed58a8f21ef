// The whole Toolbox sequence of a run over fuzzer bytes written to a file,
// with the checks of --qc over the same walk.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "extract/cue_times.h"
#include "extract/timecode_checks.h"
#include "qtbinding/builtin/builtin_store.h"
#include "qtbinding/toolbox.h"
#include "tests/fuzz/fuzz_harness.h"
#include "writers/qc_output.h"

namespace {

// Sample descriptions asked for per media: the first few and one beyond any
// real count, which must leave the handle alone.
constexpr int32_t kDescriptionsAsked = 3;

std::string ScratchPath() {
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(folder) + "/lumarest-fuzz-" + std::to_string(getpid()) + ".mov";
}

bool WriteBytes(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* fp = std::fopen(path.c_str(), "wb");
    if (!fp) return false;
    bool ok = std::fwrite(data, 1, size, fp) == size;
    return std::fclose(fp) == 0 && ok;
}

// "HH:MM:SS:FF" or ";FF", optionally after '-', or a decimal counter. Hours
// go up to 255 and frames up to 254, so each may take three digits.
bool WellFormedTimecode(const unsigned char* s) {
    std::string t(reinterpret_cast<const char*>(s + 1), s[0]);
    size_t i = !t.empty() && t[0] == '-' ? 1 : 0;
    auto digits = [&](size_t from, size_t n) {
        if (from + n > t.size()) return false;
        for (size_t k = from; k < from + n; ++k)
            if (t[k] < '0' || t[k] > '9') return false;
        return true;
    };
    if (t.find(':') == std::string::npos && t.find(';') == std::string::npos)
        return i == 0 && !t.empty() && t.size() <= 10 && digits(0, t.size());
    size_t h = t.find(':', i);
    if (h == std::string::npos || h - i < 2 || h - i > 3 || !digits(i, h - i)) return false;
    if (t.size() < h + 9 || t.size() > h + 10 || t[h + 3] != ':' || (t[h + 6] != ':' && t[h + 6] != ';'))
        return false;
    return digits(h + 1, 2) && digits(h + 4, 2) && digits(h + 7, t.size() - h - 7);
}

// A video time in the timecode media's time scale, rounded to nearest; false
// when the result does not fit the request's 32-bit time.
bool ToTimecodeTime(int64_t videoTime, int32_t videoScale, int32_t timecodeScale, int32_t* out) {
    if (videoScale <= 0 || timecodeScale <= 0) return false;
    __int128 scaled = (__int128(videoTime) * timecodeScale * 2 + videoScale) / (__int128(videoScale) * 2);
    if (scaled < INT32_MIN || scaled > INT32_MAX) return false;
    *out = int32_t(scaled);
    return true;
}

// The handler keeps what it found for the previous time (sample span, frame
// count, record) to answer a walk cheaply; a look-up with nothing kept must
// give the same answer.
void CompareWithFreshLookUp(MediaHandler handler, int32_t time, ComponentResult result, int32_t frame,
                            const TimeCodeDef& def, const TimeCodeRecord& rec) {
    ComponentInstanceRecord* h = LiveHandler(handler);
    if (!h || !h->timecode) return;
    TimecodeSampleCache fresh;
    int32_t freshFrame = 0;
    TimeCodeDef freshDef;
    TimeCodeRecord freshRec;
    std::memset(&freshDef, 0, sizeof freshDef);
    std::memset(&freshRec, 0, sizeof freshRec);
    ComponentResult freshResult =
        TimecodeAtTime(h->media->file, *h->media->model, h->media->mxf, &fresh, time, &freshFrame, &freshDef, &freshRec);
    if ((result == 0) != (freshResult == 0)) FuzzInvariantFailed("kept state changes whether a timecode is had");
    if (result != 0) return;
    if (frame != freshFrame || std::memcmp(&def, &freshDef, sizeof def) != 0 ||
        std::memcmp(&rec, &freshRec, sizeof rec) != 0)
        FuzzInvariantFailed("timecode differs from a look-up with nothing kept");
}

void AskTimecode(MediaHandler handler, int32_t time, WalkSummary* summary) {
    int32_t frame = 0;
    TimeCodeDef def;
    TimeCodeRecord rec;
    std::memset(&def, 0, sizeof def);
    std::memset(&rec, 0, sizeof rec);
    ComponentResult result = TCGetTimeCodeAtTime(handler, time, &frame, &def, &rec, nullptr);
    CompareWithFreshLookUp(handler, time, result, frame, def, rec);
    if (result != 0) return;
    unsigned char text[256];
    std::memset(text, 0, sizeof text);
    if (TCTimeCodeToString(handler, &def, &rec, text) != 0) return;
    std::string s(reinterpret_cast<const char*>(text + 1), text[0]);
    if (!WellFormedTimecode(text)) {
        std::fprintf(stderr, "timecode text \"%s\" (flags %d, %u fps)\n", s.c_str(), int(def.flags),
                     unsigned(def.numFrames));
        FuzzInvariantFailed("timecode text of an unknown form");
    }
    if (summary->timecodes == 0) summary->firstTimecode = s;
    summary->lastTimecode = s;
    ++summary->timecodes;
}

// Walks a media's samples forward from the first, as the run does; each
// answer must lie after the one before. With a timecode handler, asks the
// timecode of every sample. Every sample's subtitle cue, as --srt times it
// from the track's presentation offset, must start where the one before
// ended and not end before it starts. With checks, feeds --qc's checks every
// sample. Returns the samples walked.
int64_t WalkMedia(Track track, Media media, MediaHandler timecode, int32_t timecodeScale, WalkSummary* summary,
                  TimecodeChecks* checks = nullptr) {
    int32_t scale = GetMediaTimeScale(media);
    TimeValue64 time = -1, duration = 0;
    GetMediaNextInterestingDecodeTime(media, nextTimeMediaSample | nextTimeEdgeOK, 0, 0x10000, &time,
                                      &duration);
    TrackPresentationOffset offset;
    if (GetTrackPresentationOffset(track, &offset) != noErr) FuzzInvariantFailed("no presentation offset");
    CueTimes cues = StartCueTimes(offset, scale, time);
    int64_t lastEnd = 0;
    int64_t steps = 0;
    while (time >= 0 && steps < kFuzzWalkSteps) {
        ++steps;
        int32_t tcTime;
        if (timecode && ToTimecodeTime(time, scale, timecodeScale, &tcTime)) AskTimecode(timecode, tcTime, summary);
        if (checks) CheckFrame(*checks, time, duration);
        TimeValue64 next = -1, sampleDuration = duration;
        GetMediaNextInterestingDecodeTime(media, nextTimeMediaSample, time, 0x10000, &next, &duration);
        if (next >= 0 && next <= time) FuzzInvariantFailed("next sample time does not move forward");
        int64_t start, end;
        NextCue(cues, next >= 0 ? next : SampleEnd(time, sampleDuration), &start, &end);
        if (start != lastEnd || end < start) FuzzInvariantFailed("cues overlap or leave a gap");
        lastEnd = end;
        time = next;
    }
    return steps;
}

// The --qc report on the walked frames: at most one more finding per check
// than are listed, every frame finding within the frames walked, and both
// reports written.
void CheckReport(const MovieReport& report) {
    int64_t perCheck[kCheckCount] = {};
    for (const Finding& f : report.findings) {
        if (++perCheck[int(f.check)] > kListedFindingsPerCheck + 1) FuzzInvariantFailed("findings beyond the cap");
        if (f.frame >= report.frames) FuzzInvariantFailed("finding past the last frame");
    }
    std::string out;
    AppendQcText(out, report);
    AppendQcJson(out, report);
    if (out.empty() || out.back() != '\n') FuzzInvariantFailed("report without its last line feed");
}

// The first video media's walk, with --qc's checks (and their second walk
// for frame gaps) over the same frames.
void CheckVideo(Track track, Media video, Media timecode, MediaHandler handler, WalkSummary* summary) {
    const MediaTimeScales scales{GetMediaTimeScale(video), timecode ? GetMediaTimeScale(timecode) : 0};
    MovieReport report;
    report.hasTimecode = timecode != nullptr;
    TimecodeChecks checks;
    TimecodeOriginInfo origin;
    if (timecode) GetTimecodeOrigin(timecode, &origin);
    StartTimecodeChecks(checks, report, timecode ? handler : nullptr, scales,
                        timecode ? GetMediaDuration(timecode) : 0, origin, nullptr);
    summary->videoSamples =
        WalkMedia(track, video, timecode ? handler : nullptr, scales.timecode, summary, &checks);
    if (FinishTimecodeChecks(checks)) ListFrameGaps(video, checks);
    CompleteReport(report);
    CheckReport(report);
}

void WalkMovie(Movie movie, WalkSummary* summary) {
    int32_t count = GetMovieTrackCount(movie);
    summary->tracks = count;
    Track videoTrack = nullptr;
    Media video = nullptr, timecode = nullptr;
    MediaHandler timecodeHandler = nullptr;
    Handle desc = NewHandleClear(0);
    for (int32_t i = 1; i <= count; ++i) {
        Track track = GetMovieIndTrack(movie, i);
        Media media = GetTrackMedia(track);
        OSType type = 0, maker = 0;
        unsigned char name[256];
        GetMediaHandlerDescription(media, &type, name, &maker);
        GetMediaTimeScale(media);
        MediaHandler handler = GetMediaHandler(media);
        for (int32_t d = 1; desc && d <= kDescriptionsAsked; ++d) GetMediaSampleDescription(media, d, desc);
        if (desc) GetMediaSampleDescription(media, INT32_MAX, desc);
        if (type == VideoMediaType && !video) {
            videoTrack = track;
            video = media;
        }
        if (type == TimeCodeMediaType && !timecode) {
            timecode = media;
            timecodeHandler = handler;
        }
    }
    // Requests from out-of-range positions and references must be refused.
    if (GetMovieIndTrack(movie, 0) || GetMovieIndTrack(movie, count + 1))
        FuzzInvariantFailed("track beyond the movie handed out");
    if (video) CheckVideo(videoTrack, video, timecode, timecodeHandler, summary);
    // Every media's own walk, and its timecode at its own sample times.
    WalkSummary ignored;
    for (int32_t i = 1; i <= count; ++i) {
        Track track = GetMovieIndTrack(movie, i);
        Media media = GetTrackMedia(track);
        if (media == video) continue;
        MediaHandler handler = GetMediaHandler(media);
        WalkMedia(track, media, handler, GetMediaTimeScale(media), &ignored);
    }
}

}  // namespace

void FuzzInvariantFailed(const char* what) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

bool WalkMovieBytes(const uint8_t* data, size_t size, WalkSummary* summary) {
    *summary = WalkSummary();
    std::string path = ScratchPath();
    if (!WriteBytes(path, data, size)) {
        std::remove(path.c_str());
        return false;
    }
    if (InitializeQTML(4) != noErr) FuzzInvariantFailed("start-up failed");
    if (EnterMovies() != noErr) FuzzInvariantFailed("EnterMovies failed");
    unsigned char name[256];
    c2pstrcpy(name, path.c_str());
    FSSpec fileSpec;
    FSMakeFSSpec(0, 0, name, &fileSpec);
    int16_t ref = 0;
    summary->openStatus = OpenMovieFile(&fileSpec, &ref, 1);
    if (summary->openStatus == noErr) {
        Movie movie = nullptr;
        summary->movieStatus = NewMovieFromFile(&movie, ref, nullptr, nullptr, 1, nullptr);
        if (summary->movieStatus == noErr) {
            if (!movie) FuzzInvariantFailed("movie created but not handed out");
            WalkMovie(movie, summary);
        }
    }
    TerminateQTML();
    std::remove(path.c_str());
    return true;
}
