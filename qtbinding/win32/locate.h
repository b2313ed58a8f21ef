// Finding and loading QuickTime.qts: an already loaded copy, QuickTime's
// registry values, the Windows system folder, and a second chance in the
// extensions folder. Nothing here prints or keeps state.
#pragma once

#include <windows.h>

#include <cstddef>

// HKEY_LOCAL_MACHINE key that holds QuickTime's folder values.
constexpr const char* kQuickTimeRegistryKey = "Software\\Apple Computer, Inc.\\QuickTime";
constexpr DWORD kQtPathCapacity = 260;  // MAX_PATH

// Loads fileName from the QuickTime folder, else from the extensions folder.
// Returns the module, or null when no folder is found or neither load works.
HMODULE LoadQuickTimeLibrary(const char* fileName);

// Fills folder (capacity bytes) with the QuickTime folder, ending in '\' or
// '/'. On false the folder is empty text.
bool FindQuickTimeFolder(char* folder, DWORD capacity);

// Fills folder with the extensions folder; returns its length, 0 (and empty
// text) when there is none.
size_t FindQuickTimeExtensionsFolder(char* folder, DWORD capacity);

// Reads a value of keyPath under HKEY_LOCAL_MACHINE as a folder ending in a
// separator. Empty text when the key or value cannot be read, or when the
// folder and its separator do not fit in capacity bytes.
void ReadQuickTimeRegistryFolder(const char* keyPath, const char* valueName, char* folder,
                                 DWORD capacity);
