// End to end, without a browser (qc_page_browser_test.cpp reads what the
// page shows): the same bytes under SOURCE_DATE_EPOCH, and the report on
// standard output whole whether or not the page can be written.
#include <cstdlib>

#include "tests/run/harness.h"
#include "tests/run/qc_movies.h"

namespace {

TEST_F(RunTest, PageIsTheSameBytesUnderSourceDateEpochAndNeverSpoilsTheReport) {
    WriteMovie("a.mov", QcMovie(10, {{0, 5}, {100, 5}}));
    WriteBytes(Path("ok.html"), std::string(100000, 'x'));  // replaced
    const std::pair<std::string, std::string> pages[] = {
        {"ok.html", ""},
        {"no/p.html", "Error: Unable to open HTML file for write access\n no/p.html"},
        {"/dev/full", "Error: Unable to write HTML file\n /dev/full"}};
    std::string page;
    setenv("SOURCE_DATE_EPOCH", "1765170000", 1);
    for (const bool json : {false, true}) {
        std::vector<std::string> args = {"--qc", "--expect-start", "00:00:00;00", "a.mov"};
        if (json) args.insert(args.begin() + 1, "--json");
        const std::string report = Run(args).output;
        for (const auto& [file, message] : pages) {
            std::vector<std::string> withPage = args;
            withPage.insert(withPage.end() - 1, {"--html", file});
            std::string errors;
            const ToolRun run = Run(withPage, &errors);
            EXPECT_EQ(run.exitStatus, message.empty() ? 1 : 255) << file;
            // The message follows the report, or with --json keeps out of the JSON lines.
            EXPECT_EQ(run.output, json ? report : report + message) << file;
            EXPECT_EQ(errors, json ? message : "") << file;
        }
        if (!json) page = ReadBytes(Path("ok.html"));
    }
    unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(ReadBytes(Path("ok.html")), page);
    EXPECT_EQ(page.rfind("</html>\n"), page.size() - 8) << "the old file replaced";
    EXPECT_NE(page.find("LumarestTC " LUMAREST_VERSION ", run at <time datetime=\"2025-12-08T05:00:00Z\">"
                        "2025-12-08T05:00:00Z</time>, start expected at 00:00:00;00</p>"),
              std::string::npos);
}

}  // namespace
