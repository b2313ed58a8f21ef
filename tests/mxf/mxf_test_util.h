// What the MXF tests share: a fixture written to a temporary file and read,
// the bytes the reader took from the file, and the system item labels of a
// file's content packages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "movie/movie_file.h"
#include "mxf/mxf_model.h"

struct ReadCounter {
    uint64_t calls = 0;
    uint64_t bytes = 0;
};
extern ReadCounter g_reads;

// Reads the file at path into the model; the status, and the problem text.
MxfStatus ReadMxfPath(const std::string& path, MxfModel* model, std::string* problem = nullptr);
// Writes the bytes to a fresh temporary file and reads it.
MxfStatus ReadMxfBytes(const std::string& bytes, MxfModel* model, std::string* problem = nullptr);

// "HH:MM:SS:FF" (';' for drop frame) of content packages first .. first+count-1,
// "-" where a package has no system item timecode, "!" where it is not valid 12M.
std::vector<std::string> SystemLabels(const std::string& path, const MxfModel& model, int64_t first,
                                      int64_t count);
