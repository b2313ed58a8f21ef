// Status codes of the built-in Toolbox beyond those in qtbinding/toolbox.h,
// QuickTime's own numbers where QuickTime has one for the case, and the
// status of each answer of the movie reader.
#pragma once

#include "movie/movie_status.h"
#include "qtbinding/toolbox.h"

constexpr OSErr bdNamErr = -37;                   // file name holds a zero byte
constexpr OSErr rfNumErr = -51;                   // unknown or stale file reference
constexpr OSErr invalidMedia = -2008;             // unknown or stale media reference
constexpr OSErr invalidSampleTable = -2011;       // timecode sample lies outside the file or is too small
constexpr OSErr invalidTime = -2015;              // negative time, or a timecode beyond what the record holds
constexpr OSErr timeNotInMedia = -2032;           // timecode media without samples
constexpr OSErr invalidSampleDescription = -2041; // timecode description missing, short, or zero rate/duration

// Component Manager results (32-bit).
constexpr ComponentResult badComponentInstance = int32_t(0x80008001u);
constexpr ComponentResult badComponentSelector = int32_t(0x80008002u);

inline OSErr ToolboxStatus(MovieStatus status) {
    switch (status) {
        case MovieStatus::Ok: return noErr;
        case MovieStatus::FileNotFound: return fnfErr;
        case MovieStatus::PermissionDenied: return permErr;
        case MovieStatus::ReadError: return ioErr;
        case MovieStatus::NoMovie: return noMovieFound;
        case MovieStatus::Damaged: return invalidMovie;
        case MovieStatus::OutOfMemory: return memFullErr;
    }
    return ioErr;
}
