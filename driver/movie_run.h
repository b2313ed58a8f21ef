// The run on one movie: its four data files and script (and with --srt its
// cue file) beside it, every problem one message on standard output.
#pragma once

#include <map>
#include <string>

#include "driver/folders.h"
#include "driver/options.h"

// The files that earlier movies of a run wrote, and for each the movie.
typedef std::map<FileIdentity, std::string> WrittenFiles;

// Runs the sequence on moviePath and returns its exit status, 0 or -1. With
// written (runs over several movies), a movie whose output files an earlier
// movie wrote is refused before anything starts, and the files this movie
// writes are added.
int RunMovie(const char* moviePath, const RunOptions& options, WrittenFiles* written);
