#include "driver/output_paths.h"

#include "qtbinding/toolbox.h"

OutputPaths OutputPathsFromText(const std::string& pathText) {
    OutputPaths out;
    const size_t dot = pathText.rfind('.');
    out.BasePath = dot == std::string::npos ? pathText : pathText.substr(0, dot);
    out.timecodeList = out.BasePath + "_TimeCode.txt";
    out.subtitleText = out.BasePath + "_Lumarest_SubTitle_TimeCode.txt";
    out.subtitleRange = out.BasePath + "_Lumarest_SubTitle_Range.txt";
    out.subtitleScript = out.BasePath + "_Lumarest_SubTitle.avs";
    out.subtitleCues = out.BasePath + "_Lumarest_TimeCode.srt";
    return out;
}

OutputPaths DeriveOutputPaths(const unsigned char* toolboxName) {
    char pathText[256];
    p2cstrcpy(pathText, toolboxName);
    pathText[255] = '\0';  // at most 255 characters in any case
    return OutputPathsFromText(pathText);
}

bool IsPathSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

bool IsAbsolutePath(const std::string& path) {
    if (!path.empty() && IsPathSeparator(path[0])) return true;
#ifdef _WIN32
    const bool driveLetter = path.size() >= 3 &&
                             ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    if (driveLetter && path[1] == ':' && IsPathSeparator(path[2])) return true;
#endif
    return false;
}

size_t FolderPartLength(const std::string& path) {
    for (size_t i = path.size(); i > 0; --i)
        if (IsPathSeparator(path[i - 1])) return i;
    return 0;
}

namespace {

std::string WithoutPrefix(const std::string& path, const std::string& prefix) {
    if (path.compare(0, prefix.size(), prefix) != 0) return path;
    return path.substr(prefix.size());
}

}  // namespace

ScriptPaths MakeScriptPaths(const std::string& moviePath, const OutputPaths& paths) {
    ScriptPaths script{moviePath, paths.subtitleText, paths.subtitleRange};
    if (IsAbsolutePath(moviePath)) return script;
    const size_t folderLength = FolderPartLength(paths.BasePath);
    if (folderLength == 0) return script;
    // BasePath is a prefix of the movie path and of both data-file paths, so
    // its folder part is too; WithoutPrefix checks all the same.
    const std::string folder = paths.BasePath.substr(0, folderLength);
    script.movie = WithoutPrefix(moviePath, folder);
    script.subtitleText = WithoutPrefix(paths.subtitleText, folder);
    script.subtitleRange = WithoutPrefix(paths.subtitleRange, folder);
    return script;
}
