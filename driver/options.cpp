#include "driver/options.h"

#include <cstdio>
#include <cstring>

#include "driver/movie_list.h"

namespace {

bool Refuse(const char* format, const char* text) {
    std::printf(format, text);
    PrintUsage();
    return false;
}

bool TwoDigits(const std::string& s, size_t at, int below) {
    const char a = s[at], b = s[at + 1];
    return a >= '0' && a <= '9' && b >= '0' && b <= '9' && (a - '0') * 10 + (b - '0') < below;
}

// "--name VALUE" and "--name=VALUE": true when argv[i] is the option, with
// value what follows '=' or the next argument (i then steps over it), or
// null when there is none.
bool ValueOption(int argc, char** argv, int& i, const char* name, const char*& value) {
    const size_t length = std::strlen(name);
    const char* option = argv[i];
    if (std::strncmp(option, name, length) != 0 || (option[length] != '\0' && option[length] != '=')) return false;
    value = option[length] == '=' ? option + length + 1 : i + 1 < argc ? argv[++i] : nullptr;
    return true;
}

}  // namespace

bool IsTimecodeLabel(const std::string& t) {
    return t.size() == 11 && TwoDigits(t, 0, 100) && t[2] == ':' && TwoDigits(t, 3, 60) && t[5] == ':' &&
           TwoDigits(t, 6, 60) && (t[8] == ':' || t[8] == ';') && TwoDigits(t, 9, 100);
}

bool ParseRunOptions(int argc, char** argv, RunOptions& options) {
    static const char kLabelOption[] = "--expect-start";
    static const char kPageOption[] = "--html";
    static const char kSourceOption[] = "--timecode-from";
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        const char* option = argv[i];
        const char* value = nullptr;
        if (std::strcmp(option, "--") == 0) {
            ++i;
            break;
        }
        if (std::strcmp(option, "--srt") == 0) {
            options.srt = true;
        } else if (std::strcmp(option, "--qc") == 0) {
            options.qc = true;
        } else if (std::strcmp(option, "--json") == 0) {
            options.json = true;
        } else if (ValueOption(argc, argv, i, kLabelOption, value)) {
            if (!value || !IsTimecodeLabel(value))
                return Refuse("Error: --expect-start takes a label HH:MM:SS:FF or HH:MM:SS;FF, not %s\n",
                              value ? value : "nothing");
            options.expectStart = true;
            options.startLabel = value;
        } else if (ValueOption(argc, argv, i, kPageOption, value)) {
            // An option where the name should be is a name forgotten
            // (--html --json); --html=--page.html names such a file.
            const bool separate = option[sizeof kPageOption - 1] == '\0';
            if (!value || !*value || (separate && std::strncmp(value, "--", 2) == 0))
                return Refuse("Error: --html takes the name of the page's file, not %s\n",
                              value && *value ? value : "nothing");
            // A page named like a movie is most often a movie that came
            // after --html by mistake (--html *.mov): refuse to destroy it.
            if (HasMovieSuffix(value)) return Refuse("Error: --html would write the page over the movie %s\n", value);
            options.html = true;
            options.htmlPath = value;
        } else if (ValueOption(argc, argv, i, kSourceOption, value)) {
            if (!value || (std::strcmp(value, "material") != 0 && std::strcmp(value, "file") != 0 &&
                           std::strcmp(value, "system") != 0))
                return Refuse("Error: --timecode-from takes material, file or system, not %s\n",
                              value ? value : "nothing");
            options.timecodeFrom = value;
        } else if (std::strcmp(option, "--version") == 0) {
            options.version = true;
        } else if (std::strcmp(option, "--help") == 0) {
            options.help = true;
        } else {
            return Refuse("Error: unknown option %s\n", option);
        }
    }
    options.moviePath = i;
    if (options.help || options.version) return true;
    if (!options.qc && options.json) return Refuse("Error: %s needs --qc\n", "--json");
    if (!options.qc && options.expectStart) return Refuse("Error: %s needs --qc\n", kLabelOption);
    if (!options.qc && options.html) return Refuse("Error: %s needs --qc\n", kPageOption);
    if (options.qc && options.srt) return Refuse("Error: %s writes a file and --qc writes none\n", "--srt");
    return true;
}

void PrintUsage() { std::printf("\nUsage:\n\tLumarestTC.exe \"path_to\\file.mov\"\n\n"); }

void PrintHelp() {
    PrintUsage();
    std::printf("  --srt      also write <movie>_Lumarest_TimeCode.srt, one SubRip cue per frame\n"
                "  --qc       check the timecode and report on standard output; write nothing\n"
                "  --json     with --qc: one JSON object per movie, one per line\n"
                "  --expect-start HH:MM:SS:FF\n"
                "             with --qc: the label the first frame must show\n"
                "  --html FILE\n"
                "             with --qc: also write the report as one HTML page to FILE\n"
                "  --timecode-from material|file|system\n"
                "             for MXF files: the material package's timecode, the file package's,\n"
                "             or each frame's system item (default: the first of these there is)\n"
                "  --version  print the version and exit\n"
                "  --help     print this text and exit\n"
                "  --         end of the options, for a movie whose name begins with --\n"
                "Several movies may follow the options, and folders: the .mov, .mp4, .m4v, .qt\n"
                "and .mxf files in them and in their subfolders.\n");
}

void PrintVersion() { std::printf("LumarestTC %s\n", LUMAREST_VERSION); }
