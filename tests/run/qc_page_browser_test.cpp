// In a real browser: the page of `--qc --json --html` over a delivery with
// breaks, unlabelled frames, a frame gap, a clean and a damaged movie, and
// names that try to be markup, read back from Chromium's DOM and checked
// against the JSON lines of the same run (tests/run/page_dom.py).
#include <sys/stat.h>

#include "tests/fixture/ffmpeg_movie.h"
#include "tests/run/browser.h"
#include "tests/run/harness.h"
#include "tests/run/qc_movies.h"

namespace {

TEST_F(RunTest, PageShowsEveryMovieAndFindingWhereTheJsonSaysAndPrints) {
    const std::string missing = ChromiumMissing();
    if (!missing.empty()) GTEST_SKIP() << missing;
    ASSERT_EQ(mkdir(Path("d").c_str(), 0755), 0);
    ASSERT_TRUE(WriteQcPageMovies(Path("d")));
    const std::string quoted = "d/we<ird> & \"name\".mov", img = "d/x<img src=x onerror=alert(1)>.mov";
    for (const std::string& name : {quoted, img}) WriteBytes(Path(name), ReadBytes(Path("d/a6_clean.mov")));

    const ToolRun run = Run({"--qc", "--json", "--html", "page.html", "d"});
    EXPECT_EQ(run.exitStatus, 255);
    WriteBytes(Path("lines.jsonl"), run.output);
    WriteBytes(Path("dom.html"), DumpDom(Path("page.html"), dir_));
    std::string listing;
    EXPECT_TRUE(RunCommand("python3 " + ShellQuote(LUMAREST_PAGE_DOM) + " " + ShellQuote(Path("dom.html")) + " " +
                               ShellQuote(Path("lines.jsonl")),
                           &listing));
    // Entries in page order, each "result data-movie | the path shown"; no
    // line beginning with "!" (a problem the script found).
    const std::pair<const char*, std::string> entries[] = {
        {"error", "d/a5_damaged.mov"}, {"fail", "d/a1_breaks.mov"}, {"fail", "d/a2_unlabelled.mov"},
        {"fail", "d/a4_dense.mov"},    {"pass", "d/a3_gap.mov"},    {"pass", "d/a6_clean.mov"},
        {"pass", quoted},              {"pass", img}};
    std::string expected;
    for (const auto& [result, name] : entries) expected += std::string(result) + " " + name + " | " + name + "\n";
    EXPECT_EQ(listing, expected);
    // The dense breaks, within a pixel of each other, share one mark.
    EXPECT_NE(ReadBytes(Path("dom.html")).find("data-frame=\"6001\" data-frames=\"6001 6002 6003 6004 6005 6006 "
                                               "6007 6008 6009 6010 6011\""),
              std::string::npos);

    ASSERT_TRUE(PrintToPdf(Path("page.html"), Path("page.pdf"), dir_));
    const std::string pdf = ReadBytes(Path("page.pdf"));
    EXPECT_EQ(pdf.compare(0, 5, "%PDF-"), 0);
    // Landscape: every page wider than high.
    size_t pages = 0;
    for (size_t at = 0; (at = pdf.find("/MediaBox [", at)) != std::string::npos; ++at, ++pages) {
        double x0, y0, width, height;
        ASSERT_EQ(std::sscanf(pdf.c_str() + at, "/MediaBox [%lf %lf %lf %lf", &x0, &y0, &width, &height), 4);
        EXPECT_GT(width, height);
    }
    EXPECT_GE(pages, 1u);
}

}  // namespace
