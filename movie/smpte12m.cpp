#include "movie/smpte12m.h"

bool DecodeSmpte12m(const uint8_t b[4], TimecodeLabel* t) {
    const int frameUnits = b[0] & 0x0f, frameTens = (b[0] >> 4) & 0x03;
    const int secondUnits = b[1] & 0x0f, secondTens = (b[1] >> 4) & 0x07;
    const int minuteUnits = b[2] & 0x0f, minuteTens = (b[2] >> 4) & 0x07;
    const int hourUnits = b[3] & 0x0f, hourTens = (b[3] >> 4) & 0x03;
    t->frames = frameTens * 10 + frameUnits;
    t->seconds = secondTens * 10 + secondUnits;
    t->minutes = minuteTens * 10 + minuteUnits;
    t->hours = hourTens * 10 + hourUnits;
    t->dropFrame = (b[0] & 0x40) != 0;
    t->secondsFlag = (b[1] & 0x80) != 0;
    return frameUnits <= 9 && secondUnits <= 9 && minuteUnits <= 9 && hourUnits <= 9 &&
           t->seconds < 60 && t->minutes < 60 && t->hours < 24;
}
