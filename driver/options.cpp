#include "driver/options.h"

#include <cstdio>
#include <cstring>

bool ParseRunOptions(int argc, char** argv, RunOptions& options) {
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "--") == 0) {
            ++i;
            break;
        }
        if (std::strcmp(option, "--srt") == 0) {
            options.srt = true;
        } else if (std::strcmp(option, "--version") == 0) {
            options.version = true;
        } else if (std::strcmp(option, "--help") == 0) {
            options.help = true;
        } else {
            std::printf("Error: unknown option %s\n", option);
            PrintUsage();
            return false;
        }
    }
    options.moviePath = i;
    return true;
}

void PrintUsage() { std::printf("\nUsage:\n\tLumarestTC.exe \"path_to\\file.mov\"\n\n"); }

void PrintHelp() {
    PrintUsage();
    std::printf("  --srt      also write <movie>_Lumarest_TimeCode.srt, one SubRip cue per frame\n"
                "  --version  print the version and exit\n"
                "  --help     print this text and exit\n"
                "  --         end of the options, for a movie whose name begins with --\n");
}

void PrintVersion() { std::printf("LumarestTC %s\n", LUMAREST_VERSION); }
