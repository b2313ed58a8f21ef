// What the file system says about paths, for the movie list and for keeping
// one movie's files from overwriting another's. One implementation per
// platform: folders_posix.cpp, folders_win32.cpp (ANSI code page paths).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The path of name inside folder: the platform's separator between them,
// none added where folder already ends in one.
std::string PathInFolder(const std::string& folder, const std::string& name);

// True when path names a folder (following links).
bool IsFolder(const std::string& path);

struct FolderEntry {
    std::string name;
    bool folder = false;  // a folder itself, not a link to one
    bool file = false;    // a regular file, or a link to one
};

// The entries of folder, "." and ".." left out; pipes, devices and links to
// folders are neither file nor folder. False when it cannot be read.
bool ReadFolder(const std::string& folder, std::vector<FolderEntry>& entries);

// Two paths name the same file when their identities are equal.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t file = 0;
    bool operator<(const FileIdentity& o) const { return device != o.device ? device < o.device : file < o.file; }
};
// False when path names no file.
bool IdentifyFile(const std::string& path, FileIdentity& identity);

// The arguments a Unix shell would make of a pattern with '*' or '?' in its
// last name, sorted; the pattern itself when nothing matches. Windows only:
// elsewhere the shell has expanded them, and an argument is taken as it is.
std::vector<std::string> ExpandWildcards(const std::string& argument);
