#include "driver/movie_list.h"

#include <algorithm>

#include "driver/folders.h"
#include "qtbinding/toolbox.h"

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool EndsWithIgnoringCase(const std::string& name, const char* suffix) {
    const size_t n = std::char_traits<char>::length(suffix);
    if (name.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (Lower(name[name.size() - n + i]) != suffix[i]) return false;
    return true;
}

// The movies under folder and the folders that could not be read, each list
// in byte order of the paths. A list of folders still to read rather than
// recursion: no depth of folders can run the stack out.
void WalkFolder(const std::string& folder, std::vector<MovieEntry>& out) {
    std::vector<std::string> movies, unreadable, pending{folder};
    std::vector<FolderEntry> entries;
    while (!pending.empty()) {
        const std::string current = std::move(pending.back());
        pending.pop_back();
        entries.clear();
        if (!ReadFolder(current, entries)) {
            unreadable.push_back(current);
            continue;
        }
        for (const FolderEntry& e : entries) {
            if (e.name.empty() || e.name[0] == '.') continue;
            if (e.folder) pending.push_back(PathInFolder(current, e.name));
            if (!e.file || !HasMovieSuffix(e.name)) continue;
            std::string path = PathInFolder(current, e.name);
            // The sound files of an MXF set of one file per track come with
            // the picture file: the set is the picture's.
            if (EndsWithIgnoringCase(e.name, ".mxf") && IsSoundCompanionFile(path.c_str())) continue;
            movies.push_back(std::move(path));
        }
    }
    std::sort(movies.begin(), movies.end());
    std::sort(unreadable.begin(), unreadable.end());
    if (movies.empty() && unreadable.empty()) out.push_back({MovieEntry::FolderWithoutMovie, folder});
    for (std::string& m : movies) out.push_back({MovieEntry::Movie, std::move(m)});
    for (std::string& u : unreadable) out.push_back({MovieEntry::UnreadableFolder, std::move(u)});
}

}  // namespace

bool HasMovieSuffix(const std::string& name) {
    return EndsWithIgnoringCase(name, ".mov") || EndsWithIgnoringCase(name, ".mp4") ||
           EndsWithIgnoringCase(name, ".m4v") || EndsWithIgnoringCase(name, ".qt") || EndsWithIgnoringCase(name, ".mxf");
}

std::vector<MovieEntry> ListMovies(int count, char** arguments) {
    std::vector<MovieEntry> out;
    for (int i = 0; i < count; ++i) {
        for (std::string& path : ExpandWildcards(arguments[i])) {
            if (IsFolder(path))
                WalkFolder(path, out);
            else
                out.push_back({MovieEntry::Movie, std::move(path)});
        }
    }
    return out;
}
