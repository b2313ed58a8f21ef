#include "driver/movie_open.h"

#include <cstdio>
#include <cstring>
#include <vector>

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

// An MXF file: a header partition pack (06 0e 2b 34 02 05 01 vv 0d 01 02
// 01 01 02) within the first 64 KiB, after any run-in.
bool StartsLikeMxf(const char* path) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    std::vector<unsigned char> head(64 * 1024 + 16);
    const size_t n = std::fread(head.data(), 1, head.size(), f);
    std::fclose(f);
    static const unsigned char kPack[] = {0x06, 0x0e, 0x2b, 0x34, 0x02, 0x05, 0x01};
    static const unsigned char kHeader[] = {0x0d, 0x01, 0x02, 0x01, 0x01, 0x02};
    for (size_t i = 0; i + 16 <= n; ++i)
        if (std::memcmp(&head[i], kPack, sizeof kPack) == 0 && std::memcmp(&head[i + 8], kHeader, sizeof kHeader) == 0)
            return true;
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
    // QuickTime reads no MXF file; the built-in reader does.
    if (!ToolboxReadsMxf() && StartsLikeMxf(moviePath)) {
        message.text = "Error: QuickTime cannot read MXF files; the LumarestTC.exe for 64-bit Windows reads them";
        message.namesMovie = true;
        return false;
    }
    err = NewMovieFromFile(&opened.movie, movieFileRef, nullptr, nullptr, kNewMovieActive, nullptr);
    if (err != noErr) {
        Fail(message, "Error: (%d) NewMovieFromFile", err, true);
        // What the reader can say beyond the status (an MXF file whose
        // header metadata cannot be read).
        char problem[256];
        GetMovieOpenProblem(problem, sizeof problem);
        if (problem[0]) message.text += std::string(": ") + problem;
        return false;
    }

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
