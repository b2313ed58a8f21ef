// The run of LumarestTC: one call per process.
#pragma once

// Runs the tool on the movie path, the first argument after the options
// (further arguments are ignored), and returns the exit status, 0 or -1.
// Every message goes to standard output.
int RunLumarest(int argc, char** argv);
