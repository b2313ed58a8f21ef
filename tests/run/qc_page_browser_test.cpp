// In a real browser: the page of `--qc --json --html` over a folder with
// breaks, frames without timecode, a frame gap, a clean and a damaged movie,
// and names that try to be markup or are no text, read back from Chromium's
// DOM and checked against the JSON lines of the same run (page_dom.py).
#include <sys/stat.h>

#include "tests/fixture/ffmpeg_movie.h"
#include "tests/run/harness.h"
#include "tests/run/qc_movies.h"

namespace {

// Headless, a fresh profile, nothing fetched in the background; as root
// Chromium runs only without its sandbox.
bool Chromium(const std::string& dir, const std::string& action, std::string* output = nullptr) {
    return RunCommand("chromium --headless --no-sandbox --disable-gpu --disable-background-networking "
                      "--disable-component-update --disable-sync --no-first-run --user-data-dir=" +
                          ShellQuote(dir + "/profile") + " " + action + " " + ShellQuote("file://" + dir + "/page.html") +
                          " 2>/dev/null",
                      output);
}

TEST_F(RunTest, PageShowsEveryMovieAndFindingWhereTheJsonSaysAndPrints) {
    if (!RunCommand("command -v chromium >/dev/null", nullptr))
        GTEST_SKIP() << "chromium is not installed (Debian package chromium; CI installs it)";
    ASSERT_EQ(mkdir(Path("d").c_str(), 0755), 0);
    ASSERT_TRUE(WriteQcPageMovies(Path("d")));
    const std::string names[] = {"d/we<ird> & \"name\".mov", "d/x<img src=x onerror=alert(1)>.mov", "d/z\r\xE9.mov"};
    for (const std::string& name : names) WriteBytes(Path(name), ReadBytes(Path("d/a6_clean.mov")));
    WriteBytes(Path("lines.jsonl"), Run({"--qc", "--json", "--html", "page.html", "d"}).output);
    std::string dom, listing;
    ASSERT_TRUE(Chromium(dir_, "--dump-dom", &dom));
    WriteBytes(Path("dom.html"), dom);
    RunCommand("cd " + ShellQuote(dir_) + " && python3 " + ShellQuote(LUMAREST_PAGE_DOM) + " dom.html lines.jsonl",
               &listing);
    // Entries in page order, "result movie | path shown", and no "!" line.
    const std::string entries[] = {"error d/a5_damaged.mov", "fail d/a1_breaks.mov", "fail d/a2_unlabelled.mov",
                                   "fail d/a4_dense.mov",    "pass d/a3_gap.mov",    "pass d/a6_clean.mov",
                                   "pass " + names[0],       "pass " + names[1],     "pass d/z\r\xEF\xBF\xBD.mov"};
    std::string expected;
    for (const std::string& entry : entries) expected += entry + " |" + entry.substr(entry.find(' ')) + "\n";
    EXPECT_EQ(listing, expected);
    EXPECT_NE(dom.find("data-frames=\"6001 6002 6003 6004 6005 6006 6007 6008 6009 6010 6011\""), std::string::npos)
        << "breaks within a pixel of each other share a mark";

    ASSERT_TRUE(Chromium(dir_, "--no-pdf-header-footer --print-to-pdf=" + ShellQuote(Path("page.pdf"))));
    const std::string pdf = ReadBytes(Path("page.pdf"));
    double x, y, width = 0, height = 0;
    std::sscanf(pdf.c_str() + pdf.find("/MediaBox ["), "/MediaBox [%lf %lf %lf %lf", &x, &y, &width, &height);
    EXPECT_EQ(pdf.compare(0, 5, "%PDF-"), 0);
    EXPECT_GT(width, height) << "landscape";
}

}  // namespace
