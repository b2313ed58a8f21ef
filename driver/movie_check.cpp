#include "driver/movie_check.h"

#include <cstdio>
#include <cstring>

#include "driver/movie_open.h"
#include "driver/movie_path.h"
#include "driver/qc_page_file.h"
#include "extract/timecode_checks.h"
#include "writers/qc_output.h"

namespace {

void AddMovieFinding(MovieReport& report, Check check) {
    Finding f;
    f.check = check;
    AddFinding(report, f);
}

bool IsMxfSource(const char* source) {
    return std::strcmp(source, "material") == 0 || std::strcmp(source, "file") == 0 ||
           std::strcmp(source, "system") == 0;
}

// Every timecode track of an MXF movie: one per source it carries.
std::vector<TimecodeSource> MxfTimecodeSources(Movie movie, TimeScale videoScale) {
    std::vector<TimecodeSource> sources;
    const int32_t count = GetMovieTrackCount(movie);
    for (int32_t i = 1; i <= count; ++i) {
        Media media = GetTrackMedia(GetMovieIndTrack(movie, i));
        OSType type = 0;
        GetMediaHandlerDescription(media, &type, nullptr, nullptr);
        TimecodeOriginInfo origin;
        if (type != TimeCodeMediaType || GetTimecodeOrigin(media, &origin) != noErr || !IsMxfSource(origin.source))
            continue;
        TimecodeSource s;
        s.name = origin.source;
        s.handler = GetMediaHandler(media);
        s.scales = MediaTimeScales{videoScale, GetMediaTimeScale(media)};
        sources.push_back(s);
    }
    return sources;
}

// An MXF file that holds fewer edit units than its header declares: the
// frames counted are the declared ones, the missing ones a finding.
void AddEssenceEnd(Movie movie, MovieReport& report) {
    int64_t present = 0, declared = 0;
    if (GetMovieEssenceEnd(movie, &present, &declared) != noErr || declared <= present) return;
    Finding f;
    f.check = Check::EssenceEnds;
    f.frame = present;
    f.count = declared - present;
    AddFinding(report, std::move(f));
    report.frames = declared;
}

MovieReport ReportOnEntry(const MovieEntry& entry, const RunOptions& options) {
    switch (entry.kind) {
        case MovieEntry::Movie:
            return CheckMovie(entry.path.c_str(), options);
        case MovieEntry::FolderWithoutMovie:
            return ErrorReport(entry.path, "Error: No movie in folder");
        case MovieEntry::UnreadableFolder:
            break;
    }
    return ErrorReport(entry.path, "Error: Unable to read folder");
}

}  // namespace

MovieReport CheckMovie(const char* moviePath, const RunOptions& options) {
    // Nothing is written, so a path the script could not carry is no
    // obstacle; one too long for the counted form is.
    if (CheckMoviePath(moviePath) == MoviePathCheck::TooLong)
        return ErrorReport(moviePath, "Error: Movie path is longer than 255 characters");
    OpenedMovie opened;
    RunMessage message;
    if (!OpenMovieForRun(moviePath, opened, message)) {
        if (opened.started) TerminateQTML();
        return ErrorReport(moviePath, message.text);
    }
    MovieReport report;
    report.movie = moviePath;
    const DiscoveredTracks& t = opened.tracks;
    if (!t.VideoMedia) AddMovieFinding(report, Check::NoVideo);
    if (!t.TimecodeMedia) AddMovieFinding(report, Check::NoTimecode);
    report.hasTimecode = t.TimecodeMedia != nullptr;
    if (t.VideoMedia) {
        const MediaTimeScales scales{GetMediaTimeScale(t.VideoMedia),
                                     t.TimecodeMedia ? GetMediaTimeScale(t.TimecodeMedia) : 0};
        const TimeValue timecodeEnd = t.TimecodeMedia ? GetMediaDuration(t.TimecodeMedia) : 0;
        // QuickTime tells nothing of where its timecode came from: a 'tmcd' track.
        TimecodeOriginInfo origin;
        if (t.TimecodeMedia && GetTimecodeOrigin(t.TimecodeMedia, &origin) != noErr) origin = TimecodeOriginInfo();
        SourceComparison comparison;
        const bool mxf = t.TimecodeMedia && IsMxfSource(origin.source);
        if (mxf) StartSourceComparison(comparison, MxfTimecodeSources(opened.movie, GetMediaTimeScale(t.VideoMedia)));
        CheckMovieTimecode(t.VideoMedia, t.TimecodeMedia ? t.TimecodeHandler : nullptr, scales, timecodeEnd, origin,
                           options.expectStart ? &options.startLabel : nullptr, mxf ? &comparison : nullptr, report);
        AddEssenceEnd(opened.movie, report);
    }
    CompleteReport(report);
    TerminateQTML();
    return report;
}

int CheckMovies(const std::vector<MovieEntry>& movies, const RunOptions& options) {
    const int64_t madeAt = options.html ? PageTimeOfRun() : 0;
    // The page lists failures first, so it needs every report; they hold
    // the findings listed, not the frames.
    std::vector<MovieReport> reports;
    QcTotals totals;
    std::string out;
    for (const MovieEntry& entry : movies) {
        MovieReport report = ReportOnEntry(entry, options);
        CountResult(totals, report.result);
        out.clear();
        if (options.json)
            AppendQcJson(out, report);
        else
            AppendQcText(out, report);
        std::fwrite(out.data(), 1, out.size(), stdout);
        if (options.html) reports.push_back(std::move(report));
    }
    if (!options.json && movies.size() > 1) {
        out.clear();
        AppendQcTotals(out, totals);
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    if (options.html && !WriteQcPageFile(reports, options, madeAt)) return -1;
    return totals.errors ? -1 : totals.failed ? 1 : 0;
}
