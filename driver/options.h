// The options that come before the movies. Without any, the run is the
// plain one over the movies that follow.
#pragma once

#include <string>

struct RunOptions {
    bool srt = false;      // --srt: the SubRip cue file as well
    bool qc = false;       // --qc: report on the timecode, write nothing beside the movie
    bool json = false;     // --json: the --qc report as JSON Lines
    bool expectStart = false;  // --expect-start LABEL: the label the first frame must show
    std::string startLabel;
    bool html = false;     // --html FILE: the --qc report as an HTML page as well
    std::string htmlPath;
    const char* timecodeFrom = nullptr;  // --timecode-from material|file|system: an MXF file's timecode
    bool version = false;  // --version
    bool help = false;     // --help
    int moviePath = 0;     // index in argv of the first movie; argc when there is none
};

// Takes the arguments from argv[1] on that begin with "--" as options (and
// the values after --expect-start and --html), up to the first that does
// not or up to "--", which ends them. False, after a message and the usage
// text, for an option it does not know, a malformed label, a missing page
// name or one that names a movie, a --timecode-from that is not material,
// file or system, or --json, --expect-start, --html without
// --qc and --srt with it.
bool ParseRunOptions(int argc, char** argv, RunOptions& options);

// True for "HH:MM:SS:FF" and "HH:MM:SS;FF": two digits each, minutes and
// seconds below 60.
bool IsTimecodeLabel(const std::string& text);

// "\nUsage:\n\tLumarestTC.exe \"path_to\\file.mov\"\n\n"
void PrintUsage();

// The usage text, then one line per option.
void PrintHelp();

// "LumarestTC <version>\n"
void PrintVersion();
