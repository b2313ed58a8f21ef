#include "tests/run/browser.h"

#include "tests/fixture/ffmpeg_movie.h"

namespace {

// A fresh profile each time, nothing fetched in the background; as root
// Chromium runs only without its sandbox.
std::string Chromium(const std::string& scratch, const std::string& action, const std::string& page) {
    return "chromium --headless --no-sandbox --disable-gpu --disable-background-networking "
           "--disable-component-update --disable-sync --no-first-run --user-data-dir=" +
           ShellQuote(scratch + "/chromium-profile") + " " + action + " " + ShellQuote("file://" + page) +
           " 2>/dev/null";
}

}  // namespace

std::string ChromiumMissing() {
    return RunCommand("command -v chromium >/dev/null", nullptr)
               ? ""
               : "chromium is not installed (Debian package chromium; CI installs it)";
}

std::string DumpDom(const std::string& page, const std::string& scratch) {
    std::string dom;
    return RunCommand(Chromium(scratch, "--dump-dom", page), &dom) ? dom : "";
}

bool PrintToPdf(const std::string& page, const std::string& pdf, const std::string& scratch) {
    return RunCommand(Chromium(scratch, "--no-pdf-header-footer --print-to-pdf=" + ShellQuote(pdf), page), nullptr);
}
