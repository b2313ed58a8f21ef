// A moment as the page states it: UTC in ISO 8601, computed by hand so that
// no time zone, locale or C library of the machine can change the bytes.
#pragma once

#include <cstdint>
#include <string>

// The latest moment the text can hold: 9999-12-31T23:59:59Z.
constexpr int64_t kLatestUtcSeconds = 253402300799;

// "2026-12-08T05:02:07Z" for seconds since 1970-01-01T00:00:00Z, clamped to
// 0 .. kLatestUtcSeconds.
std::string UtcTimeText(int64_t seconds);
