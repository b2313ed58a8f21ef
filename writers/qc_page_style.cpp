// The QC page's style sheet. Result colours always come with the result's
// word; print keeps the colours and the strips and never cuts an entry.
#include "writers/qc_page.h"

const char kQcPageStyle[] = R"(body{font:14px/1.4 system-ui,"Segoe UI",Roboto,"DejaVu Sans",Arial,sans-serif;color:#1b1b1b;background:#fff;max-width:75em;margin:1.5em auto;padding:0 1.5em}
*{-webkit-print-color-adjust:exact;print-color-adjust:exact}
h1{font-size:1.5em;margin:0 0 .2em}
h2{font-size:1.15em;margin:1.4em 0 .4em;border-bottom:1px solid #bbb}
h3{font-size:1em;margin:0 0 .2em}
header p{margin:.2em 0}
.totals{font-weight:600}
.legend{color:#444;font-size:.9em}
.legend i{display:inline-block;width:1.6em;height:.9em;vertical-align:-.1em;margin:0 .3em 0 .8em;border:1px solid #777}
.k-tc,.tc{background:#cfe8cf;fill:#cfe8cf}
.k-break{background:#e00000}
.k-unreadable{background:#7f0000}
.k-gap{background:#f57c00}
.k-ends{background:#9e9e9e}
.movie{border:1px solid #ccc;border-left:.5em solid;border-radius:4px;padding:.5em .8em .6em;margin:.6em 0}
.path,.error,.findings li{white-space:pre-wrap;overflow-wrap:anywhere}
.result{display:inline-block;min-width:3.8em;text-align:center;text-transform:uppercase;color:#fff;border-radius:3px;padding:0 .4em;margin-right:.4em;letter-spacing:.05em}
[data-result=pass]{border-left-color:#1e7b34}
[data-result=pass] .result{background:#1e7b34}
[data-result=fail]{border-left-color:#c62828}
[data-result=fail] .result{background:#c62828}
[data-result=error]{border-left-color:#4e342e}
[data-result=error] .result{background:#4e342e}
.facts,.error{margin:.1em 0}
.strip{display:block;width:100%;height:28px;margin-top:.5em}
.axis{display:flex;justify-content:space-between;font-size:.8em;color:#555}
[data-check=break]{stroke:#e00000;stroke-width:4px}
[data-check=frame-gap]{stroke:#f57c00;stroke-width:4px}
[data-check=unreadable]{fill:#7f0000}
[data-check=timecode-ends]{fill:#9e9e9e}
.findings{margin:.4em 0 0;padding-left:1.4em}
.findings .fail{color:#b71c1c}
.findings .warning{color:#7a4100}
@page{size:landscape;margin:12mm}
@media print{body{max-width:none;margin:0;padding:0;font-size:11px}.movie{break-inside:avoid}h2{break-after:avoid}}
)";
