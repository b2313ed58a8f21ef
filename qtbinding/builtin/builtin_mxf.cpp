// MXF files: which timecode source their movies take, why one could not be
// made, how much of its essence a file holds, and which files a folder walk
// leaves out.
#include <cstring>

#include "qtbinding/builtin/builtin_store.h"

bool ToolboxReadsMxf(void) { return true; }

bool SetMxfTimecodeSource(const char* source) {
    if (!source) {
        gMxfTimecodeChoice = MxfTimecodeChoice::Default;
        return true;
    }
    const std::string name = source;
    if (name == "material") gMxfTimecodeChoice = MxfTimecodeChoice::Material;
    else if (name == "file") gMxfTimecodeChoice = MxfTimecodeChoice::File;
    else if (name == "system") gMxfTimecodeChoice = MxfTimecodeChoice::System;
    else return false;
    return true;
}

void GetMovieOpenProblem(char* text, size_t size) {
    if (!text || size == 0) return;
    const std::string& problem = Store().openProblem;
    const size_t n = std::min(problem.size(), size - 1);
    std::memcpy(text, problem.data(), n);
    text[n] = 0;
}

OSErr GetMovieEssenceEnd(Movie theMovie, int64_t* framesPresent, int64_t* framesDeclared) {
    MovieRecord* m = LiveMovie(theMovie);
    if (!m || !framesPresent || !framesDeclared) return paramErr;
    if (!m->mxf) return unimpErr;
    *framesPresent = m->model.framesPresent;
    *framesDeclared = m->model.declaredFrames;
    return noErr;
}

// The header metadata says it; the body is not walked.
bool IsSoundCompanionFile(const char* path) {
    MovieFile file;
    if (!path || OpenMovieFileForReading(path, &file) != MovieStatus::Ok) return false;
    MxfModel model;
    std::string problem;
    const bool companion =
        LooksLikeMxf(&file) && ReadMxf(&file, &model, &problem, false) == MxfStatus::Ok && model.opAtom &&
        model.soundOnly;
    CloseMovieFileForReading(&file);
    return companion;
}
