// End to end: the file of --html, without a browser (see
// qc_page_browser_test.cpp for what the page shows): the same bytes under
// SOURCE_DATE_EPOCH, and a page that cannot be written.
#include <cstdlib>

#include "tests/run/harness.h"
#include "tests/run/qc_movies.h"

namespace {

TEST_F(RunTest, PageIsTheSameBytesUnderSourceDateEpochAndReplacesTheFile) {
    WriteMovie("a.mov", QcMovie(10, {{0, 5}, {100, 5}}));
    WriteBytes(Path("one.html"), std::string(100000, 'x'));
    const ToolRun plain = Run({"--qc", "--expect-start", "00:00:00;00", "a.mov"});
    setenv("SOURCE_DATE_EPOCH", "1765170000", 1);
    const ToolRun one = Run({"--qc", "--expect-start", "00:00:00;00", "--html", "one.html", "a.mov"});
    const ToolRun two = Run({"--qc", "--expect-start=00:00:00;00", "--html=two.html", "a.mov"});
    unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(one.exitStatus, 1);
    EXPECT_EQ(one.output, plain.output);
    EXPECT_EQ(two.output, plain.output);
    const std::string page = ReadBytes(Path("one.html"));
    EXPECT_EQ(page, ReadBytes(Path("two.html")));
    EXPECT_NE(page.find("LumarestTC " LUMAREST_VERSION ", run at <time datetime=\"2025-12-08T05:00:00Z\">"
                        "2025-12-08T05:00:00Z</time>, start expected at 00:00:00;00</p>"),
              std::string::npos);
}

TEST_F(RunTest, PageThatCannotBeWrittenLeavesTheReportWhole) {
    WriteMovie("a.mov", QcMovie(10, {{0, 5}, {100, 5}}));
    const std::pair<std::string, std::string> pages[] = {
        {"nowhere/page.html", "Error: Unable to open HTML file for write access\n nowhere/page.html"},
        {"/dev/full", "Error: Unable to write HTML file\n /dev/full"},
    };
    for (const bool json : {false, true}) {
        std::vector<std::string> args = {"--qc", "a.mov"};
        if (json) args.insert(args.begin() + 1, "--json");
        const std::string report = Run(args).output;
        for (const auto& [page, message] : pages) {
            SCOPED_TRACE(page + (json ? " --json" : ""));
            std::vector<std::string> withPage = args;
            withPage.insert(withPage.end() - 1, {"--html", page});
            std::string errors;
            const ToolRun run = Run(withPage, &errors);
            EXPECT_EQ(run.exitStatus, 255);
            // JSON Lines keep standard output to themselves.
            EXPECT_EQ(run.output, json ? report : report + message);
            EXPECT_EQ(errors, json ? message : "");
        }
    }
}

}  // namespace
