// QuickTime for Windows reads no MXF file: the run says so and names the exe
// that does.
#include "qtbinding/toolbox.h"

bool ToolboxReadsMxf(void) { return false; }

bool SetMxfTimecodeSource(const char*) { return true; }

void GetMovieOpenProblem(char* text, size_t size) {
    if (size) text[0] = 0;
}

OSErr GetMovieEssenceEnd(Movie, int64_t*, int64_t*) { return unimpErr; }

bool IsSoundCompanionFile(const char*) { return false; }
