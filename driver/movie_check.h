// --qc: each movie read as the run reads it, its timecode checked, nothing
// written beside it; the report goes to standard output.
#pragma once

#include <vector>

#include "driver/movie_list.h"
#include "driver/options.h"
#include "writers/qc_report.h"

// The report on one movie. A movie that cannot be read (the run would end
// with -1 before its walk) is an error with the run's message.
MovieReport CheckMovie(const char* moviePath, const RunOptions& options);

// Checks every movie in turn and prints each report as it is done (text, or
// JSON Lines with --json; with several movies the text ends with the
// counts). Returns 0 when every movie passed, 1 when some failed and none
// was an error, -1 when some could not be read. With --html the page is
// written last; -1 too when it cannot be.
int CheckMovies(const std::vector<MovieEntry>& movies, const RunOptions& options);
