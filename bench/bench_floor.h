// The floor that the tool cannot beat: writing its output bytes, already
// formatted, through stdio streams opened "wb" in blocks of the tool's own
// block size.
#pragma once

#include <string>
#include <vector>

struct OutputCopy {
    std::string path;   // where the floor writes its copy
    std::string bytes;  // what the tool wrote
};

// Reads a whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string* bytes);

struct FloorTime {
    double wallSeconds = 0;
    double cpuSeconds = 0;
};

// Writes every copy front to back and closes it; the time from the first
// open to the last close.
FloorTime WriteFloor(const std::vector<OutputCopy>& copies);
