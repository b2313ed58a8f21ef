#include <windows.h>

#include <algorithm>

#include "driver/folders.h"

// The exe expands '*' and '?' itself (ExpandWildcards), so mingw's start-up
// must not do it first, whatever its C runtime was built to do: linked with
// CRT_glob.o, or from a mingw-w64 configured with --enable-wildcard, msvcrt
// hands "*.mov" over expanded, names beginning with '.' included.
extern "C" {
int _dowildcard = 0;
}

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// '*' and '?' against a name, the letters A to Z in either case, as Windows
// compares names.
bool Matches(const char* pattern, const char* name) {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' || Lower(*pattern) == Lower(*name)) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

size_t FolderPartLength(const std::string& path) {
    const size_t last = path.find_last_of("\\/:");
    return last == std::string::npos ? 0 : last + 1;
}

// The entries that search (a folder's path followed by "*") finds, "." and
// ".." left out.
bool FindEntries(const std::string& search, std::vector<FolderEntry>& entries) {
    WIN32_FIND_DATAA found;
    HANDLE handle = FindFirstFileA(search.c_str(), &found);
    if (handle == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        FolderEntry entry;
        entry.name = found.cFileName;
        if (entry.name == "." || entry.name == "..") continue;
        const bool directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A folder that is a link or junction is not followed.
        const bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.folder = directory && !link;
        entry.file = !directory && !(found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE);
        entries.push_back(std::move(entry));
    } while (FindNextFileA(handle, &found));
    FindClose(handle);
    return true;
}

}  // namespace

// "D:" alone is the current folder of drive D, so a name follows it directly.
std::string PathInFolder(const std::string& folder, const std::string& name) {
    const char last = folder.empty() ? '\0' : folder.back();
    const bool separated = last == '\\' || last == '/' || (folder.size() == 2 && last == ':');
    return separated ? folder + name : folder + '\\' + name;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
    return FindEntries(PathInFolder(folder, "*"), entries);
}

bool IdentifyFile(const std::string& path, FileIdentity& identity) {
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (!known) return false;
    identity.device = info.dwVolumeSerialNumber;
    identity.file = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

std::vector<std::string> ExpandWildcards(const std::string& argument) {
    const size_t folderLength = FolderPartLength(argument);
    const std::string folder = argument.substr(0, folderLength);
    const std::string name = argument.substr(folderLength);
    if (name.find_first_of("*?") == std::string::npos) return {argument};
    // The whole folder is listed and matched here: FindFirstFile's own
    // matching also takes a name's short 8.3 form ("*.mov" finds take1.movie
    // as TAKE1~1.MOV) and follows the DOS rules for '?' and '.'.
    std::vector<FolderEntry> entries;
    std::vector<std::string> matches;
    FindEntries(folder + "*", entries);
    for (const FolderEntry& e : entries) {
        // As a shell does: names beginning with '.' only when the pattern's does.
        if (e.name[0] == '.' && name[0] != '.') continue;
        if (Matches(name.c_str(), e.name.c_str())) matches.push_back(folder + e.name);
    }
    if (matches.empty()) return {argument};
    std::sort(matches.begin(), matches.end());
    return matches;
}
