// The run sequence. Every QuickTime object lives until TerminateQTML, the only
// release step; the output files are closed in the common clean-up.
#include "driver/run.h"

#include <cstdint>
#include <cstdio>

#include "driver/movie_path.h"
#include "driver/options.h"
#include "driver/output_paths.h"
#include "driver/track_discovery.h"
#include "extract/sample_walk.h"
#include "qtbinding/toolbox.h"
#include "writers/output_files.h"
#include "writers/subtitle_script.h"

namespace {

constexpr int32_t kQtmlStartupFlags = 4;
constexpr int8_t kReadPermission = 1;
constexpr int16_t kNewMovieActive = 1;

}  // namespace

int RunLumarest(int argc, char** argv) {
    // 1. Options, the argument check, then the paths the run cannot serve.
    RunOptions options;
    if (!ParseRunOptions(argc, argv, options)) return -1;
    if (options.help) {
        PrintHelp();
        return 0;
    }
    if (options.version) {
        PrintVersion();
        return 0;
    }
    if (options.moviePath >= argc) {
        PrintUsage();
        return -1;
    }
    const char* moviePath = argv[options.moviePath];
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

    // 2-3. QuickTime Media Layer, then the Movie Toolbox.
    OSErr err = InitializeQTML(kQtmlStartupFlags);
    if (err != noErr) {
        std::printf("Error: (%d) Unable to Initialize Quicktime - InitializeQTML\n", err);
        return -1;
    }
    err = EnterMovies();
    if (err != noErr) {
        TerminateQTML();
        std::printf("Error: (%d) Unable to Initialize Quicktime - EnterMovies\n", err);
        return -1;
    }

    int16_t RunStatus = 0;
    OutputFiles outputFiles;
    do {
        // 4. The movie path in the Toolbox's counted form, and its FSSpec.
        Str255 toolboxName;
        c2pstrcpy(toolboxName, moviePath);
        FSSpec fileSpec;
        FSMakeFSSpec(0, 0, toolboxName, &fileSpec);

        // 5-6. Open the movie file and make the movie.
        int16_t movieFileRef = 0;
        RunStatus = OpenMovieFile(&fileSpec, &movieFileRef, kReadPermission);
        if (RunStatus != noErr) {
            std::printf("Error: (%d) Unable to Open Movie\n %s", RunStatus, moviePath);
            break;
        }
        Movie movie = nullptr;
        RunStatus = NewMovieFromFile(&movie, movieFileRef, nullptr, nullptr, kNewMovieActive, nullptr);
        if (RunStatus != noErr) {
            std::printf("Error: (%d) NewMovieFromFile\n %s", RunStatus, moviePath);
            break;
        }

        // 7. The first video and the first timecode track.
        DiscoveredTracks tracks;
        if (!DiscoverTracks(movie, moviePath, tracks)) {
            RunStatus = -1;
            break;
        }

        // 8. Output paths, beside the movie.
        const OutputPaths paths = DeriveOutputPaths(toolboxName);

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

        // 11. The script that ties the data files to the movie.
        const PictureSize picture = ReadPictureSize(tracks.VideoDescription);
        if (!WriteSubtitleScript(outputFiles, paths.subtitleScript, MakeScriptPaths(moviePath, paths),
                                 picture.width, picture.height))
            RunStatus = -1;
    } while (false);

    // 12. Common clean-up. An output file that could not be written whole
    // fails the run (the message comes from the close).
    if (!CloseOutputFiles(outputFiles)) RunStatus = -1;
    TerminateQTML();
    return RunStatus == 0 ? 0 : -1;
}
