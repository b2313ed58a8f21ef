// Where the four output files go: BasePath (the movie path without its last
// '.' and what follows) and a fixed suffix each.
#pragma once

#include <cstddef>
#include <string>

#include "writers/subtitle_script.h"

struct OutputPaths {
    std::string BasePath;
    std::string timecodeList;    // BasePath + "_TimeCode.txt"
    std::string subtitleText;    // BasePath + "_Lumarest_SubTitle_TimeCode.txt"
    std::string subtitleRange;   // BasePath + "_Lumarest_SubTitle_Range.txt"
    std::string subtitleScript;  // BasePath + "_Lumarest_SubTitle.avs"
    std::string subtitleCues;    // BasePath + "_Lumarest_TimeCode.srt" (--srt)
};

// The paths for a path text. The last '.' anywhere counts, in folder names
// too; without one BasePath is the whole text. Paths have no length limit.
OutputPaths OutputPathsFromText(const std::string& pathText);

// The paths for the Toolbox name (counted string) of the movie path.
OutputPaths DeriveOutputPaths(const unsigned char* toolboxName);

// Path separators and absolute paths of the platform the tool runs on: on
// Windows '\\' and '/', absolute with a drive ("C:\\", "C:/") or a leading
// separator (UNC, root of the current drive); elsewhere '/' only, absolute
// with a leading '/'.
bool IsPathSeparator(char c);
bool IsAbsolutePath(const std::string& path);

// Length of the folder part of path: up to and including its last separator;
// 0 when there is none.
size_t FolderPartLength(const std::string& path);

// The three paths the script names. AviSynth resolves a relative path in a
// script against the script's own folder, which is BasePath's folder. So for
// a relative movie path the folder part of BasePath comes off the front of the
// movie path and both data-file paths; an absolute movie path, or one without
// a folder part, is written as typed.
ScriptPaths MakeScriptPaths(const std::string& moviePath, const OutputPaths& paths);
