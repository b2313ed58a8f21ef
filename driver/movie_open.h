// The first steps of every run on a movie, shared by the plain run and
// --qc: QuickTime and the Movie Toolbox started, the movie file opened, the
// movie made and its tracks found.
#pragma once

#include <string>

#include "driver/track_discovery.h"
#include "qtbinding/toolbox.h"

struct OpenedMovie {
    bool started = false;  // QTML is up: TerminateQTML is owed
    Str255 toolboxName{};  // the movie path in the Toolbox's counted form
    Movie movie = nullptr;
    DiscoveredTracks tracks;
};

// A failure's message: its text without the final line feed, and whether
// the movie path follows it ("\n %s", with nothing after the path).
struct RunMessage {
    std::string text;
    bool namesMovie = false;
};

// QTML start-up (flags 4) and EnterMovies, the counted name and its FSSpec,
// the read-only open, NewMovieFromFile and the track scan. False, with the
// message of the step that failed; QTML is then still up when
// opened.started (a failed EnterMovies has shut it down already, as its
// message comes after the shut-down).
bool OpenMovieForRun(const char* moviePath, OpenedMovie& opened, RunMessage& message);

// The message as the run prints it.
void PrintRunMessage(const RunMessage& message, const char* moviePath);
