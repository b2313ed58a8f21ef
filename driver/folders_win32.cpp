#include <windows.h>

#include <algorithm>

#include "driver/folders.h"

const char kPathSeparator = '\\';

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// '*' and '?' against a name, letters in either case as Windows compares
// them. FindFirstFile alone also matches a name's short 8.3 form, so
// "*.mov" would find "take1.movie" (TAKE1~1.MOV).
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

}  // namespace

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
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
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return true;
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
    const std::string name = argument.substr(folderLength);
    if (name.find_first_of("*?") == std::string::npos) return {argument};
    std::vector<std::string> matches;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(argument.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            // As a shell does: names beginning with '.' only when the pattern
            // does too.
            if (found.cFileName[0] == '.' && name[0] != '.') continue;
            if (Matches(name.c_str(), found.cFileName))
                matches.push_back(argument.substr(0, folderLength) + found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    if (matches.empty()) return {argument};
    std::sort(matches.begin(), matches.end());
    return matches;
}
