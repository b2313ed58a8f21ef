// Movie paths the run refuses before it starts anything.
#pragma once

#include <cstddef>

// The Toolbox's counted form holds 255 characters; a longer path would be cut
// and could name another file.
constexpr size_t kMaxMoviePathLength = 255;

enum class MoviePathCheck { Accepted, TooLong, NotScriptable };

// TooLong above 255 bytes; NotScriptable when it holds a double quote or a line
// break, which the script's quoted source line cannot carry.
MoviePathCheck CheckMoviePath(const char* moviePath);

// Prints the refusal message for a path that is not Accepted.
void ReportMoviePathRefusal(MoviePathCheck check, const char* moviePath);
