// The run: the options, the movies they name, and the run sequence once per
// movie (or its check, with --qc).
#include "driver/run.h"

#include <cstdio>

#include "driver/movie_check.h"
#include "driver/movie_list.h"
#include "driver/movie_run.h"
#include "driver/options.h"
#include "qtbinding/toolbox.h"

namespace {

// The plain run over every movie in turn. With several, a line naming each
// comes before its messages, as head and tail name their files: the first
// "==> path <==", each later one after a line feed, so that it begins a line
// even after a message that ends with a path.
int RunMovies(const std::vector<MovieEntry>& movies, const RunOptions& options) {
    const bool several = movies.size() > 1;
    WrittenFiles written;
    int status = 0;
    for (size_t i = 0; i < movies.size(); ++i) {
        const MovieEntry& entry = movies[i];
        if (several) std::printf(i == 0 ? "==> %s <==\n" : "\n==> %s <==\n", entry.path.c_str());
        if (entry.kind == MovieEntry::Movie) {
            if (RunMovie(entry.path.c_str(), options, several ? &written : nullptr) != 0) status = -1;
            continue;
        }
        std::printf(entry.kind == MovieEntry::FolderWithoutMovie ? "Error: No movie in folder\n %s"
                                                                 : "Error: Unable to read folder\n %s",
                    entry.path.c_str());
        status = -1;
    }
    return status;
}

}  // namespace

int RunLumarest(int argc, char** argv) {
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
    SetMxfTimecodeSource(options.timecodeFrom);
    const std::vector<MovieEntry> movies = ListMovies(argc - options.moviePath, argv + options.moviePath);
    return options.qc ? CheckMovies(movies, options) : RunMovies(movies, options);
}
