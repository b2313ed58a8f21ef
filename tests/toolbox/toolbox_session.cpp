#include "tests/toolbox/toolbox_session.h"

#include "tests/fixture/ffmpeg_movie.h"

#include <cstring>

QtSession::QtSession() {
    initErr = InitializeQTML(4);
    if (initErr == noErr) enterErr = EnterMovies();
}

QtSession::~QtSession() {
    if (initErr == noErr) TerminateQTML();
}

OSErr OpenMoviePath(const std::string& path, Movie* movie, OSErr* openErr) {
    *movie = nullptr;
    unsigned char name[256];
    c2pstrcpy(name, path.c_str());
    FSSpec fileSpec;
    std::memset(&fileSpec, 0, sizeof fileSpec);
    FSMakeFSSpec(0, 0, name, &fileSpec);
    int16_t ref = 0;
    OSErr err = OpenMovieFile(&fileSpec, &ref, 1);
    if (openErr) *openErr = err;
    if (err != noErr) return err;
    return NewMovieFromFile(movie, ref, nullptr, nullptr, 1, nullptr);
}

Media NthMediaOfType(Movie movie, OSType type, int n) {
    int32_t count = GetMovieTrackCount(movie);
    for (int32_t i = 1; i <= count; ++i) {
        Media media = GetTrackMedia(GetMovieIndTrack(movie, i));
        OSType t = 0;
        GetMediaHandlerDescription(media, &t, nullptr, nullptr);
        if (t == type && --n == 0) return media;
    }
    return nullptr;
}

TimeValue64 NextSampleTime(Media media, int16_t flags, TimeValue64 from) {
    TimeValue64 time = 0, duration = 0;
    GetMediaNextInterestingDecodeTime(media, flags, from, 0x10000, &time, &duration);
    return time;
}

std::vector<TimeValue64> WalkSampleTimes(Media media, size_t limit) {
    std::vector<TimeValue64> times;
    TimeValue64 t = NextSampleTime(media, nextTimeMediaSample | nextTimeEdgeOK, 0);
    while (t >= 0 && times.size() < limit) {
        times.push_back(t);
        t = NextSampleTime(media, nextTimeMediaSample, t);
    }
    return times;
}

std::string TimecodeTextAt(MediaHandler handler, TimeValue time, ComponentResult* result) {
    int32_t frame = 0;
    TimeCodeDef def;
    TimeCodeRecord rec;
    std::memset(&def, 0, sizeof def);
    std::memset(&rec, 0, sizeof rec);
    unsigned char counted[256] = {0};
    char text[256] = {0};
    *result = TCGetTimeCodeAtTime(handler, time, &frame, &def, &rec, nullptr);
    if (*result != 0) return "";
    *result = TCTimeCodeToString(handler, &def, &rec, counted);
    if (*result != 0) return "";
    p2cstrcpy(text, counted);
    return text;
}

TimeValue64 ToTimecodeTime(TimeValue64 t, TimeScale videoScale, TimeScale tcScale) {
    if (videoScale <= 0 || tcScale <= 0 || videoScale == tcScale) return t;
    // Exact 128-bit product; the quotient rounded up (sample times are >= 0).
    __int128 num = __int128(t) * tcScale;
    __int128 q = num / videoScale;
    if (num % videoScale > 0) ++q;
    return TimeValue64(q);
}

WalkedMovie WalkMovie(const std::string& path, size_t limit) {
    WalkedMovie w;
    Movie movie = nullptr;
    w.status = OpenMoviePath(path, &movie);
    if (w.status != noErr) return w;
    Media video = NthMediaOfType(movie, VideoMediaType);
    Media tc = NthMediaOfType(movie, TimeCodeMediaType);
    if (!video || !tc) return w;
    Handle desc = NewHandleClear(86);
    if (desc) {
        GetMediaSampleDescription(video, 1, desc);
        std::memcpy(&w.width, *desc + 32, 2);
        std::memcpy(&w.height, *desc + 34, 2);
    }
    MediaHandler handler = GetMediaHandler(tc);
    TimeScale vs = GetMediaTimeScale(video), ts = GetMediaTimeScale(tc);
    w.times = WalkSampleTimes(video, limit);
    for (TimeValue64 t : w.times) {
        ComponentResult r = 0;
        w.timecodes.push_back(TimecodeTextAt(handler, TimeValue(ToTimecodeTime(t, vs, ts)), &r));
        w.results.push_back(r);
    }
    return w;
}

TestFolder::TestFolder() : path(MakeTempFolder()) {}
TestFolder::~TestFolder() { RemoveFolder(path); }
