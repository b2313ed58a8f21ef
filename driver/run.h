// The run of LumarestTC: one call per process.
#pragma once

// Runs the tool on the movies that follow the options and returns the exit
// status: 0 or -1; with --qc also 1, for movies whose timecode failed a
// check. Every message goes to standard output.
int RunLumarest(int argc, char** argv);
