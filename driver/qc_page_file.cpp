#include "driver/qc_page_file.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "writers/output_files.h"
#include "writers/qc_page.h"
#include "writers/utc_time.h"

int64_t PageTimeOfRun() {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    bool whole = epoch && *epoch;
    int64_t seconds = 0;
    for (const char* p = epoch; whole && *p; ++p) {
        whole = *p >= '0' && *p <= '9' && seconds <= (kLatestUtcSeconds - (*p - '0')) / 10;
        seconds = seconds * 10 + (*p - '0');
    }
    return whole ? seconds : int64_t(std::time(nullptr));
}

bool WriteQcPageFile(const std::vector<MovieReport>& reports, const RunOptions& options, int64_t madeAt) {
    QcPageRun run;
    run.tool = "LumarestTC " LUMAREST_VERSION;
    run.madeAt = madeAt;
    run.expectedStart = options.expectStart ? &options.startLabel : nullptr;
    std::string page;
    AppendQcPage(page, reports, run);
    std::fflush(stdout);
    return WriteOutputFile(options.htmlPath, page, "HTML", options.json ? stderr : stdout);
}
