// What the movie reader answers. The built-in Toolbox turns each into the
// status QuickTime gives for the case.
#pragma once

enum class MovieStatus {
    Ok,
    FileNotFound,      // no such file or folder on the path
    PermissionDenied,
    ReadError,         // the file cannot be read (also: a folder given as the movie)
    NoMovie,           // no moov atom at the top level
    Damaged,           // a moov or fragment that cannot be parsed
    OutOfMemory,
};
