"""page_dom.py DOM JSONL: the DOM of a --qc --html page as Chromium built it
(--dump-dom), against the JSON lines of the same run. Prints each entry as
"<data-result> <data-movie> | <the path shown>", then "! <problem>" for
anything that loads or runs, entries out of order (errors, failures, passes,
each in the run's order), a listed finding without its mark at its frame,
and a mark without a title or for no finding."""
import html.parser
import json
import sys

LOADS = {"script", "link", "iframe", "frame", "object", "embed", "img", "image", "audio", "video", "source",
         "base", "use", "form", "foreignobject"}
URLS = {"src", "href", "xlink:href", "srcset", "action", "formaction", "poster", "data", "background", "ping"}


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.entries, self.marks, self.problems, self.text = [], [], [], None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag in LOADS or (tag == "meta" and "http-equiv" in a) or any(
                k in URLS or k.startswith("on") or "url(" in (v or "") for k, v in attrs):
            self.problems.append("<%s %s> loads or runs something" % (tag, a))
        if "data-movie" in a:
            self.entries.append(dict(a, path=""))
        if "data-check" in a:
            self.marks.append(dict(a, tag=tag, movie=self.entries[-1]["data-movie"], title=""))
        self.text = ("path" if a.get("class") == "path" else "title" if tag == "title" and self.marks
                     else "style" if tag == "style" else None)

    def handle_endtag(self, tag):
        self.text = None

    def handle_data(self, data):
        if self.text == "path":
            self.entries[-1]["path"] += data
        elif self.text == "title":
            self.marks[-1]["title"] += data
        elif self.text == "style" and ("url(" in data or "@import" in data):
            self.problems.append("a style sheet that loads something")


def at(mark, place, first):
    if mark["tag"] == "line":
        return abs(float(mark["x1"][:-1]) - place) <= (0.001 if first else 0.1)
    x = float(mark["x"][:-1])
    return x - 0.001 <= place <= x + float(mark["width"][:-1]) + 0.001


page = Page()
page.feed(open(sys.argv[1], encoding="utf-8", newline="").read())
reports = [json.loads(line) for line in open(sys.argv[2], encoding="utf-8", newline="")]
for e in page.entries:
    print("%s %s | %s" % (e["data-result"], e["data-movie"], e["path"]))
order = [(r["movie"], r["result"]) for result in ("error", "fail", "pass") for r in reports if r["result"] == result]
if [(e["data-movie"], e["data-result"]) for e in page.entries] != order:
    page.problems.append("entries not in the order %s" % order)
used = set()
for r in reports:
    for f in r["findings"]:
        if f["check"] not in ("break", "unreadable", "frame-gap", "timecode-ends") or "omitted" in f:
            continue
        place = 100.0 * f["frame"] / r["frames"]
        found = [i for i, m in enumerate(page.marks) if (m["movie"], m["data-check"]) == (r["movie"], f["check"])
                 and str(f["frame"]) in m["data-frames"].split()
                 and at(m, place, m["data-frame"] == str(f["frame"]))]
        used.update(found)
        if not found:
            page.problems.append("%s: no mark at %.3f%% for %s" % (r["movie"], place, f))
page.problems += ["mark %s without title or finding" % m for i, m in enumerate(page.marks)
                  if i not in used or not m["title"] or m["data-frame"] != m["data-frames"].split()[0]]
for problem in page.problems:
    print("! " + problem)
