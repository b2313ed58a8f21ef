// The options that come before the movie path. Without any, the run is the
// plain one: the first argument is the movie path, further ones are ignored.
#pragma once

struct RunOptions {
    bool srt = false;      // --srt: the SubRip cue file as well
    bool version = false;  // --version
    bool help = false;     // --help
    int moviePath = 0;     // index in argv of the movie path; argc when there is none
};

// Takes the arguments from argv[1] on that begin with "--" as options, up to
// the first that does not or up to "--", which ends them. False, after
// "Error: unknown option <text>\n" and the usage text, for any other.
bool ParseRunOptions(int argc, char** argv, RunOptions& options);

// "\nUsage:\n\tLumarestTC.exe \"path_to\\file.mov\"\n\n"
void PrintUsage();

// The usage text, then one line per option.
void PrintHelp();

// "LumarestTC <version>\n"
void PrintVersion();
