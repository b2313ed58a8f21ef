#include <dirent.h>
#include <sys/stat.h>

#include "driver/folders.h"

std::string PathInFolder(const std::string& folder, const std::string& name) {
    return !folder.empty() && folder.back() == '/' ? folder + name : folder + '/' + name;
}

bool IsFolder(const std::string& path) {
    struct stat s;
    return stat(path.c_str(), &s) == 0 && S_ISDIR(s.st_mode);
}

bool ReadFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    while (const dirent* e = readdir(dir)) {
        FolderEntry entry;
        entry.name = e->d_name;
        if (entry.name == "." || entry.name == "..") continue;
        const std::string path = PathInFolder(folder, entry.name);
        struct stat s;
        if (lstat(path.c_str(), &s) != 0) continue;
        if (S_ISLNK(s.st_mode)) {
            // A link counts as the file it names; a link to a folder is not
            // followed, so no loop of links can trap the walk.
            entry.file = stat(path.c_str(), &s) == 0 && S_ISREG(s.st_mode);
        } else {
            entry.folder = S_ISDIR(s.st_mode);
            entry.file = S_ISREG(s.st_mode);
        }
        entries.push_back(std::move(entry));
    }
    closedir(dir);
    return true;
}

bool IdentifyFile(const std::string& path, FileIdentity& identity) {
    struct stat s;
    if (stat(path.c_str(), &s) != 0) return false;
    identity.device = uint64_t(s.st_dev);
    identity.file = uint64_t(s.st_ino);
    return true;
}

std::vector<std::string> ExpandWildcards(const std::string& argument) { return {argument}; }
