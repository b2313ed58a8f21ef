// An MXF file as the movie model of movie/: its material picture track as a
// video track of one sample per edit unit the file holds, and each timecode
// source it carries as a timecode track ('tmcd' media) that the timecode
// handler reads like a QuickTime one:
//   material  the material package's timecode track (what NLEs show);
//   file      the file package's own, or the source package's below it;
//   system    the SMPTE 12M stamp of each content package's system item.
// The source to use comes first; the others follow, for the QC checks that
// compare them.
#pragma once

#include <string>

#include "movie/movie_file.h"
#include "movie/movie_model.h"
#include "movie/movie_status.h"
#include "mxf/mxf_model.h"

enum class MxfTimecodeChoice { Default, Material, File, System };

// Default: material, else file, else system. A source that is chosen but
// absent leaves the movie without a timecode track.
MovieStatus ReadMxfMovie(MovieFile* file, MxfTimecodeChoice choice, MxfModel* mxf, MovieModel* movie,
                         std::string* problem);
