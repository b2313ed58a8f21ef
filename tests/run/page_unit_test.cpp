// Unit tests of the QC page's pieces that a browser run does not reach: the
// calendar behind the run's time, and escaping of bytes no file name in the
// browser test holds.
#include <gtest/gtest.h>

#include "writers/html_text.h"
#include "writers/utc_time.h"

namespace {

TEST(UtcTimeText, CountsLeapYearsAndCenturies) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "1970-01-01T00:00:00Z"},           {951782400, "2000-02-29T00:00:00Z"},
        {4107542399, "2100-02-28T23:59:59Z"},  {4107542400, "2100-03-01T00:00:00Z"},
        {1765170000, "2025-12-08T05:00:00Z"},  {kLatestUtcSeconds, "9999-12-31T23:59:59Z"},
        {-1, "1970-01-01T00:00:00Z"},
    };
    for (const auto& [seconds, text] : cases) EXPECT_EQ(UtcTimeText(seconds), text) << seconds;
}

TEST(HtmlText, EscapesMarkupControlsAndBytesThatAreNotUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"a<b>&\"c'", "a&#60;b&#62;&#38;&#34;c&#39;"},
        {"cr\r lf\n tab\t del\x7F", "cr&#13; lf&#10; tab&#9; del&#127;"},
        {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},
        {"latin1 \xE9, cut \xE2\x82", "latin1 \xEF\xBF\xBD, cut \xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& [bytes, html] : cases) {
        std::string out;
        AppendHtmlText(out, bytes);
        EXPECT_EQ(out, html);
    }
}

}  // namespace
