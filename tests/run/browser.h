// Headless Chromium (Debian's chromium) for the tests of the --qc page: the
// DOM the browser builds from a page, and the page printed to PDF.
#pragma once

#include <string>

// Why the browser cannot be run here ("" when it can), for GTEST_SKIP.
std::string ChromiumMissing();

// The page's DOM as the browser built it, serialised (--dump-dom); "" when
// the browser failed. scratch: a folder for the browser's profile.
std::string DumpDom(const std::string& page, const std::string& scratch);

// Prints the page to the PDF file pdf, without the browser's header and
// footer. False when the browser failed.
bool PrintToPdf(const std::string& page, const std::string& pdf, const std::string& scratch);
