// A timecode label's fields, and SMPTE 12M timecode as four stored bytes (frames, seconds, minutes, hours),
// each two BCD digits with flag bits: frames bit 6 drop frame, bit 7 colour
// frame, tens in bits 4-5; seconds and minutes tens in bits 4-6, bit 7 a
// flag; hours tens in bits 4-5, bits 6-7 flags.
#pragma once

#include <cstdint>

// Hours, minutes, seconds and frames as a label shows them, with the flags
// that 12M and the clip XML carry beside them.
struct TimecodeLabel {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int frames = 0;
    bool dropFrame = false;
    bool secondsFlag = false;  // bit 7 of the seconds byte (50p and 59.94p: the second frame of a pair)
};

// False when a digit is above 9 or the minutes or seconds reach 60 or the
// hours 24; the fields are filled either way.
bool DecodeSmpte12m(const uint8_t bytes[4], TimecodeLabel* time);
