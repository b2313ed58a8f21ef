// The run sequence on one movie. Every QuickTime object lives until
// TerminateQTML, the only release step; the output files are closed in the
// common clean-up.
#include "driver/movie_run.h"

#include <cstdio>

#include "driver/movie_open.h"
#include "driver/movie_path.h"
#include "driver/output_paths.h"
#include "extract/sample_walk.h"
#include "writers/output_files.h"
#include "writers/subtitle_script.h"

namespace {

// The output paths a movie may write, as they come before the run starts
// (the path is at most 255 bytes, so its counted form holds all of it).
const std::string* EarlierWriter(const char* moviePath, bool srt, const WrittenFiles& written) {
    const OutputPaths paths = OutputPathsFromText(moviePath);
    for (const std::string* path : {&paths.timecodeList, &paths.subtitleText, &paths.subtitleRange,
                                    &paths.subtitleScript, srt ? &paths.subtitleCues : nullptr}) {
        FileIdentity identity;
        if (!path || !IdentifyFile(*path, identity)) continue;
        const auto it = written.find(identity);
        if (it != written.end()) return &it->second;
    }
    return nullptr;
}

void NoteWrittenFiles(const OutputFiles& files, const char* moviePath, WrittenFiles& written) {
    for (const OutputStream* s : {&files.timecodeList, &files.subtitleText, &files.subtitleRange,
                                  &files.subtitleScript, &files.subtitleCues}) {
        FileIdentity identity;
        if (!s->path.empty() && IdentifyFile(s->path, identity)) written.emplace(identity, moviePath);
    }
}

}  // namespace

int RunMovie(const char* moviePath, const RunOptions& options, WrittenFiles* written) {
    // 1. The paths the run cannot serve, and files another movie of the run
    // has written: refused before anything starts.
    const MoviePathCheck pathCheck = CheckMoviePath(moviePath);
    if (pathCheck != MoviePathCheck::Accepted) {
        ReportMoviePathRefusal(pathCheck, moviePath);
        return -1;
    }
    if (options.srt && !ToolboxKnowsPresentationTimes()) {
        std::printf("Error: --srt needs the LumarestTC.exe for 64-bit Windows; this one reads movies with "
                    "QuickTime, which cannot say when each frame is shown\n");
        return -1;
    }
    if (written && !written->empty()) {
        if (const std::string* earlier = EarlierWriter(moviePath, options.srt, *written)) {
            std::printf("Error: Unable to write the files of\n %s\n over the files of\n %s", moviePath,
                        earlier->c_str());
            return -1;
        }
    }

    // 2-7. QuickTime, the movie and its tracks.
    OpenedMovie opened;
    RunMessage message;
    if (!OpenMovieForRun(moviePath, opened, message)) {
        PrintRunMessage(message, moviePath);
        if (opened.started) TerminateQTML();
        return -1;
    }

    int16_t RunStatus = 0;
    OutputFiles outputFiles;
    do {
        const DiscoveredTracks& tracks = opened.tracks;

        // 8. Output paths, beside the movie.
        const OutputPaths paths = DeriveOutputPaths(opened.toolboxName);

        // 9. Without both tracks there is nothing to write; not a failure.
        if (!CheckTracks(tracks.VideoMedia, tracks.TimecodeMedia)) break;

        // 10. The sample walk fills the three data files, and with --srt the
        // cue file.
        const MediaTimeScales scales{GetMediaTimeScale(tracks.VideoMedia),
                                     GetMediaTimeScale(tracks.TimecodeMedia)};
        SubtitleCueRequest cues;
        if (options.srt) {
            cues.path = paths.subtitleCues;
            GetTrackPresentationOffset(tracks.VideoTrack, &cues.offset);
        }
        if (WalkSamples(tracks.VideoMedia, tracks.TimecodeHandler, scales, outputFiles, paths.timecodeList,
                        paths.subtitleText, paths.subtitleRange, options.srt ? &cues : nullptr) ==
            WalkResult::Stopped) {
            RunStatus = -1;
            break;
        }

        // An MXF file cut short: its frames past the end have no lines, and
        // are said once rather than a message each.
        int64_t present = 0, declared = 0;
        if (GetMovieEssenceEnd(opened.movie, &present, &declared) == noErr && declared > present)
            std::printf("Error: Frame %lld and the frames after it are missing from the file; its header declares "
                        "%lld frames\n",
                        (long long)present, (long long)declared);

        // 11. The script that ties the data files to the movie.
        const PictureSize picture = ReadPictureSize(tracks.VideoDescription);
        if (!WriteSubtitleScript(outputFiles, paths.subtitleScript, MakeScriptPaths(moviePath, paths),
                                 picture.width, picture.height))
            RunStatus = -1;
    } while (false);

    // 12. Common clean-up. An output file that could not be written whole
    // fails the run (the message comes from the close).
    if (!CloseOutputFiles(outputFiles)) RunStatus = -1;
    if (written) NoteWrittenFiles(outputFiles, moviePath, *written);
    TerminateQTML();
    return RunStatus == 0 ? 0 : -1;
}
