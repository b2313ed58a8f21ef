// The movies of a run: every argument after the options is a movie, or a
// folder that stands for the movie files in it and its subfolders.
#pragma once

#include <string>
#include <vector>

struct MovieEntry {
    enum Kind {
        Movie,              // a movie path, as given or found (it may name nothing)
        FolderWithoutMovie, // a folder argument in which the walk found no movie
        UnreadableFolder,   // a folder (or subfolder) that could not be read
    };
    Kind kind = Movie;
    std::string path;
};

// True for a name that ends in ".mov", ".mp4", ".m4v", ".qt" or ".mxf", in
// any case.
bool HasMovieSuffix(const std::string& name);

// The entries for the arguments, in their order. Windows expands '*' and '?'
// first (see ExpandWildcards). A folder gives the movie files under it whose
// names end in a movie suffix, in byte order of their paths; names beginning
// with '.' (the "._take1.mov" files macOS leaves on shared drives), links
// to folders and MXF files of sound alone from a set of one file per track
// are left out, and only regular files (or links to them) count.
std::vector<MovieEntry> ListMovies(int count, char** arguments);
