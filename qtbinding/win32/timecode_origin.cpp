// QuickTime reads a movie's 'tmcd' track and nothing else: a timecode
// found there is all there is to say of where it came from.
#include "qtbinding/toolbox.h"

OSErr GetTimecodeOrigin(Media, TimecodeOriginInfo*) { return unimpErr; }
