#include "writers/utc_time.h"

#include <algorithm>
#include <cstdio>

std::string UtcTimeText(int64_t seconds) {
    seconds = std::clamp<int64_t>(seconds, 0, kLatestUtcSeconds);
    const int64_t secondOfDay = seconds % 86400;
    // Days since 0000-03-01 in the proleptic Gregorian calendar, split into
    // 400-year eras of 146,097 days; years start in March so that the leap
    // day comes last.
    const int64_t days = seconds / 86400 + 719468;
    const int64_t era = days / 146097;
    const int64_t dayOfEra = days % 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    const int64_t day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
    const int64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    const int64_t year = era * 400 + yearOfEra + (month <= 2 ? 1 : 0);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", int(year), int(month), int(day),
                  int(secondOfDay / 3600), int(secondOfDay / 60 % 60), int(secondOfDay % 60));
    return text;
}
