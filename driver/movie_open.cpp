#include "driver/movie_open.h"

#include <cstdio>

namespace {

constexpr int32_t kQtmlStartupFlags = 4;
constexpr int8_t kReadPermission = 1;
constexpr int16_t kNewMovieActive = 1;

bool Fail(RunMessage& message, const char* format, int status, bool namesMovie) {
    char text[96];
    std::snprintf(text, sizeof text, format, status);
    message.text = text;
    message.namesMovie = namesMovie;
    return false;
}

}  // namespace

bool OpenMovieForRun(const char* moviePath, OpenedMovie& opened, RunMessage& message) {
    // QuickTime Media Layer, then the Movie Toolbox.
    OSErr err = InitializeQTML(kQtmlStartupFlags);
    if (err != noErr) return Fail(message, "Error: (%d) Unable to Initialize Quicktime - InitializeQTML", err, false);
    err = EnterMovies();
    if (err != noErr) {
        TerminateQTML();
        return Fail(message, "Error: (%d) Unable to Initialize Quicktime - EnterMovies", err, false);
    }
    opened.started = true;

    // The movie path in the Toolbox's counted form, and its FSSpec; a path
    // that names no file fails at the open.
    c2pstrcpy(opened.toolboxName, moviePath);
    FSSpec fileSpec;
    FSMakeFSSpec(0, 0, opened.toolboxName, &fileSpec);

    int16_t movieFileRef = 0;
    err = OpenMovieFile(&fileSpec, &movieFileRef, kReadPermission);
    if (err != noErr) return Fail(message, "Error: (%d) Unable to Open Movie", err, true);
    err = NewMovieFromFile(&opened.movie, movieFileRef, nullptr, nullptr, kNewMovieActive, nullptr);
    if (err != noErr) return Fail(message, "Error: (%d) NewMovieFromFile", err, true);

    // The first video and the first timecode track.
    if (!DiscoverTracks(opened.movie, opened.tracks))
        return Fail(message, "Error: (%d) Unable to get Video Media Description", -1, true);
    return true;
}

void PrintRunMessage(const RunMessage& message, const char* moviePath) {
    if (message.namesMovie)
        std::printf("%s\n %s", message.text.c_str(), moviePath);
    else
        std::printf("%s\n", message.text.c_str());
}
