#include "qtbinding/win32/locate.h"

#include <cstring>

namespace {

constexpr const char kLibraryName[] = "QuickTime.qts";
constexpr size_t kLibraryNameLength = sizeof kLibraryName - 1;  // 13
constexpr const char kSystemSubfolder[] = "QuickTime\\";
constexpr DWORD kSystemSubfolderLength = sizeof kSystemSubfolder - 1;  // 10

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// Ends a non-empty folder text with a separator. A folder with no room left
// for the separator and its terminator becomes empty: a cut-short path could
// name another folder.
void EndWithSeparator(char* folder, DWORD capacity) {
    size_t length = std::strlen(folder);
    if (length == 0 || IsSeparator(folder[length - 1])) return;
    if (length + 2 > capacity) {
        folder[0] = '\0';
        return;
    }
    folder[length] = '\\';
    folder[length + 1] = '\0';
}

// The system folder into folder (capacity bytes); empty text when it cannot
// be read or does not fit.
void ReadSystemFolder(char* folder, DWORD capacity) {
    UINT length = GetSystemDirectoryA(folder, capacity);
    if (length == 0 || length >= capacity) folder[0] = '\0';
}

// Folder of an already loaded QuickTime.qts: its path less the 13-character
// file name, when that fits with a terminator and one byte to spare.
bool ReadLoadedLibraryFolder(char* folder, DWORD capacity) {
    HMODULE loaded = GetModuleHandleA(kLibraryName);
    if (loaded == nullptr) return false;
    char path[kQtPathCapacity];
    DWORD length = GetModuleFileNameA(loaded, path, sizeof path);
    if (length == 0 || length >= sizeof path) return false;  // unreadable or cut short
    if (length <= kLibraryNameLength || capacity < length - 11) return false;
    size_t folderLength = length - kLibraryNameLength;
    std::memcpy(folder, path, folderLength);
    folder[folderLength] = '\0';
    return true;
}

}  // namespace

void ReadQuickTimeRegistryFolder(const char* keyPath, const char* valueName, char* folder,
                                 DWORD capacity) {
    if (capacity == 0) return;
    folder[0] = '\0';
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    DWORD size = capacity;
    LONG status = RegQueryValueExA(key, valueName, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(folder), &size);
    if (status != ERROR_SUCCESS || size > capacity) {
        folder[0] = '\0';
    } else if (std::memchr(folder, '\0', size) == nullptr) {
        // Data without a terminator: terminate it when there is room, else
        // the value does not fit.
        if (size < capacity)
            folder[size] = '\0';
        else
            folder[0] = '\0';
    }
    EndWithSeparator(folder, capacity);
    RegCloseKey(key);
}

bool FindQuickTimeFolder(char* folder, DWORD capacity) {
    if (capacity == 0) return false;
    folder[0] = '\0';
    if (!ReadLoadedLibraryFolder(folder, capacity)) {
        ReadQuickTimeRegistryFolder(kQuickTimeRegistryKey, "QTSysDir", folder, capacity);
        if (folder[0] != '\0' && !Exists(folder)) folder[0] = '\0';
        if (folder[0] == '\0') {
            ReadQuickTimeRegistryFolder(kQuickTimeRegistryKey, "QuickTime.qts folder", folder,
                                        capacity);
            if (folder[0] != '\0' && !Exists(folder)) folder[0] = '\0';
        }
        if (folder[0] == '\0') {
            ReadSystemFolder(folder, capacity);
            if (folder[0] != '\0' && !Exists(folder)) folder[0] = '\0';
            if (folder[0] == '\0') return false;
        }
    }
    EndWithSeparator(folder, capacity);
    return folder[0] != '\0';
}

size_t FindQuickTimeExtensionsFolder(char* folder, DWORD capacity) {
    if (capacity == 0) return 0;
    ReadQuickTimeRegistryFolder(kQuickTimeRegistryKey, "QTExtDir", folder, capacity);
    if (folder[0] != '\0') return std::strlen(folder);
    // Both work buffers are limited so that "QuickTime\" still fits after the
    // QuickTime folder, and never beyond their own 260 bytes.
    if (capacity <= kSystemSubfolderLength) return 0;
    DWORD limit = capacity - kSystemSubfolderLength;
    if (limit > kQtPathCapacity - 1) limit = kQtPathCapacity - 1;  // room for a separator
    char systemFolder[kQtPathCapacity];
    ReadSystemFolder(systemFolder, limit);  // unreadable: empty, so it matches nothing
    char quickTimeFolder[kQtPathCapacity];
    if (!FindQuickTimeFolder(quickTimeFolder, limit)) return 0;
    EndWithSeparator(systemFolder, kQtPathCapacity);
    std::strcpy(folder, quickTimeFolder);
    if (systemFolder[0] != '\0' && std::strcmp(systemFolder, quickTimeFolder) == 0)
        std::strcat(folder, kSystemSubfolder);
    return std::strlen(folder);
}

HMODULE LoadQuickTimeLibrary(const char* fileName) {
    size_t nameLength = std::strlen(fileName);
    if (nameLength >= kQtPathCapacity) return nullptr;
    DWORD capacity = DWORD(kQtPathCapacity - nameLength);  // folder and name fit in 260 bytes
    char folder[kQtPathCapacity];
    char path[kQtPathCapacity];
    if (!FindQuickTimeFolder(folder, capacity)) return nullptr;
    std::strcpy(path, folder);
    std::strcat(path, fileName);
    HMODULE module = LoadLibraryA(path);
    if (module != nullptr) return module;
    if (FindQuickTimeExtensionsFolder(folder, capacity) == 0) return nullptr;
    std::strcpy(path, folder);
    std::strcat(path, fileName);
    return LoadLibraryA(path);
}
