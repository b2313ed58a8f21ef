// QuickTime for Windows has no verified call for when players show a track's
// first frame (edit lists and composition offsets as ffmpeg reads them), so
// the QuickTime build does not offer what needs it.
#include "qtbinding/toolbox.h"

bool ToolboxKnowsPresentationTimes(void) { return false; }

OSErr GetTrackPresentationOffset(Track, TrackPresentationOffset*) { return unimpErr; }
