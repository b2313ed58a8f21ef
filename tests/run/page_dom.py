"""page_dom.py DOM JSONL: each entry of a --qc --html page as Chromium built
it, "<data-result> <data-movie> | <path shown>", then "! <problem>" for what
may load or run, entries out of order, a finding of the JSON lines without
its mark at its frame, and a mark without a title or a finding."""
import html.parser
import json
import sys

# What the page may hold: nothing that loads or runs anything.
TAGS = set("html head meta title style body header h1 h2 h3 p time i main section span br svg rect line div ul li"
           .split())
ATTRS = set("lang charset name content class datetime height width role aria-label x x1 x2 y1 y2".split())


class Page(html.parser.HTMLParser):
    entries, marks, problems, text = [], [], [], None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag not in TAGS or any(k not in ATTRS and k[:5] != "data-" for k in a):
            self.problems.append("<%s %s> may load or run something" % (tag, a))
        if "data-movie" in a:
            self.entries.append(dict(a, path=""))
        if "data-check" in a:
            self.marks.append(dict(a, tag=tag, movie=self.entries[-1]["data-movie"], title=""))
        self.text = "path" if a.get("class") == "path" else "title" if tag == "title" and self.marks else None

    def handle_endtag(self, tag):
        self.text = None

    def handle_data(self, data):
        if self.lasttag == "style" and ("url(" in data or "@import" in data):
            self.problems.append("a style sheet that loads something")
        if self.text:
            (self.entries[-1] if self.text == "path" else self.marks[-1])[self.text] += data


def at(m, place, first):  # a line where the finding's frame begins (or in its pixel), or a span over it
    if "x1" in m:
        return abs(float(m["x1"][:-1]) - place) <= (0.001 if first else 0.1)
    return float(m["x"][:-1]) - 0.001 <= place <= float(m["x"][:-1]) + float(m["width"][:-1]) + 0.001


page = Page()
page.feed(open(sys.argv[1], encoding="utf-8", newline="").read())
reports = [json.loads(line) for line in open(sys.argv[2], encoding="utf-8", newline="")]
for e in page.entries:
    print("%s %s | %s" % (e["data-result"], e["data-movie"], e["path"]))
order = [(r["movie"], r["result"]) for result in ("error", "fail", "pass") for r in reports if r["result"] == result]
if [(e["data-movie"], e["data-result"]) for e in page.entries] != order:  # failures first, each in the run's order
    page.problems.append("entries out of order")
used = set()
for r in reports:
    for f in [f for f in r["findings"] if "frame" in f]:  # those the strips mark
        place = 100.0 * f["frame"] / r["frames"]
        found = {i for i, m in enumerate(page.marks) if (m["movie"], m["data-check"]) == (r["movie"], f["check"])
                 and str(f["frame"]) in m["data-frames"].split() and at(m, place, m["data-frame"] == str(f["frame"]))}
        page.problems += [] if found else ["%s: no mark at %.3f%% for %s" % (r["movie"], place, f)]
        used |= found
page.problems += ["mark %s without title or finding" % m for i, m in enumerate(page.marks)
                  if i not in used or not m["title"] or m["data-frame"] != m["data-frames"].split()[0]]
print("".join("! %s\n" % p for p in page.problems), end="")
