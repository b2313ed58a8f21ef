// The 64-bit next-interesting-time operation. QuickTime's routine for selector
// 0x0002045F takes the address of each of its six arguments, so the 64-bit
// start time crosses the dispatcher intact on 32-bit x86; this wrapper gives
// the run the ordinary by-value form.
#include "qtbinding/win32/binding.h"

extern "C" void GetMediaNextInterestingDecodeTime(Media theMedia, int16_t interestingTimeFlags,
                                                  TimeValue64 decodeTime, Fixed rate,
                                                  TimeValue64* interestingDecodeTime,
                                                  TimeValue64* interestingDecodeDuration) {
    // The flag word travels in a 32-bit slot whose upper half is 0.
    uint32_t flags = uint16_t(interestingTimeFlags);
    QtmlNextInterestingTimeRoutine(&theMedia, &flags, &decodeTime, &rate, &interestingDecodeTime,
                                   &interestingDecodeDuration);
}
