#include "movie/descriptions.h"

#include <algorithm>

#include "common/four_cc.h"

namespace {

void PutBig(uint8_t* p, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = uint8_t(value >> (8 * (bytes - 1 - i)));
}

}  // namespace

std::string TimeOfDayDescription(bool dropFrame, uint32_t timeScale, uint32_t frameDuration, uint8_t frames) {
    const uint32_t flags = 0x2 | (dropFrame ? 0x1 : 0);  // 24-hour wrap, drop frame
    uint8_t d[34] = {};
    PutBig(d, sizeof d, 4);
    PutBig(d + 4, FourCC("tmcd"), 4);
    PutBig(d + 14, 1, 2);  // data reference index
    PutBig(d + 20, flags, 4);
    PutBig(d + 24, timeScale, 4);
    PutBig(d + 28, frameDuration, 4);
    d[32] = frames;
    return std::string(reinterpret_cast<const char*>(d), sizeof d);
}

std::string ImageDescription(uint32_t format, int32_t width, int32_t height) {
    uint8_t d[86] = {};
    PutBig(d, sizeof d, 4);
    PutBig(d + 4, format, 4);
    PutBig(d + 14, 1, 2);
    PutBig(d + 32, uint32_t(std::clamp<int32_t>(width, 0, INT16_MAX)), 2);
    PutBig(d + 34, uint32_t(std::clamp<int32_t>(height, 0, INT16_MAX)), 2);
    return std::string(reinterpret_cast<const char*>(d), sizeof d);
}

int64_t RoundedFrameRate(int64_t num, int64_t den) { return (2 * num + den) / (2 * den); }
