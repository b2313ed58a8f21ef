// --html FILE: the --qc report as one HTML page, written once the run's
// last movie is checked.
#pragma once

#include <cstdint>
#include <vector>

#include "driver/options.h"
#include "writers/qc_report.h"

// When the run was made, for the page's header: SOURCE_DATE_EPOCH when it
// holds whole seconds since 1970 (the reproducible-builds convention, so that
// the same run gives the same bytes), else the clock. A value that is not
// such a number is ignored.
int64_t PageTimeOfRun();

// Writes the page of the reports to options.htmlPath, replacing what was
// there. When the file cannot be created or written whole it prints the
// output files' message ("HTML file") and returns false. The message goes
// to standard error with --json, whose standard output holds only JSON
// lines, else to standard output after the report.
bool WriteQcPageFile(const std::vector<MovieReport>& reports, const RunOptions& options, int64_t madeAt);
