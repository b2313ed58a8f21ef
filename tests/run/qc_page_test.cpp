// End to end, without a browser (qc_page_browser_test.cpp reads what the
// page shows): its bytes under SOURCE_DATE_EPOCH, and a page that cannot be
// written.
#include <cstdlib>

#include "tests/run/harness.h"
#include "tests/run/qc_movies.h"

namespace {

TEST_F(RunTest, PageIsTheSameBytesUnderSourceDateEpochAndReplacesTheFile) {
    WriteMovie("a.mov", QcMovie(10, {{0, 5}, {100, 5}}));
    WriteBytes(Path("one.html"), std::string(100000, 'x'));
    setenv("SOURCE_DATE_EPOCH", "1765170000", 1);
    const ToolRun one = Run({"--qc", "--expect-start", "00:00:00;00", "--html", "one.html", "a.mov"});
    Run({"--qc", "--expect-start=00:00:00;00", "--html=two.html", "a.mov"});
    unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(one.output, Run({"--qc", "--expect-start", "00:00:00;00", "a.mov"}).output);
    const std::string page = ReadBytes(Path("one.html"));
    EXPECT_EQ(page, ReadBytes(Path("two.html")));
    EXPECT_NE(page.find("LumarestTC " LUMAREST_VERSION ", run at <time datetime=\"2025-12-08T05:00:00Z\">"
                        "2025-12-08T05:00:00Z</time>, start expected at 00:00:00;00</p>"),
              std::string::npos);
}

TEST_F(RunTest, PageThatCannotBeWrittenLeavesTheReportWhole) {
    WriteMovie("a.mov", QcMovie(10, {{0, 5}, {100, 5}}));
    const std::pair<std::string, std::string> pages[] = {
        {"no/p.html", "Error: Unable to open HTML file for write access\n no/p.html"},
        {"/dev/full", "Error: Unable to write HTML file\n /dev/full"}};
    for (const bool json : {false, true}) {
        std::vector<std::string> args = {"--qc", "a.mov"};
        if (json) args.insert(args.begin() + 1, "--json");
        const std::string report = Run(args).output;
        for (const auto& [page, message] : pages) {
            std::vector<std::string> withPage = args;
            withPage.insert(withPage.end() - 1, {"--html", page});
            std::string errors;
            const ToolRun run = Run(withPage, &errors);
            EXPECT_EQ(run.exitStatus, 255) << page;
            // With --json the message keeps out of the JSON lines.
            EXPECT_EQ(run.output, json ? report : report + message);
            EXPECT_EQ(errors, json ? message : "");
        }
    }
}

}  // namespace
