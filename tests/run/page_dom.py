"""Reads the DOM of a --qc --html page as the browser built it (chromium
--dump-dom) and checks it against the JSON lines of the same run.

    page_dom.py DOM_FILE [JSONL_FILE]

Prints one line per movie entry in page order, "<result> <data-movie> |
<the path's text>", and a line beginning with "!" for every problem: a
reference to anything outside the page, a mark without a title or outside
an entry, a movie or listed finding of the JSON without its entry or mark
where the JSON puts it, and entries out of order (what could not be read and
what failed before what passed, each in the run's order)."""
import html.parser
import json
import sys

# Elements and attributes that load or run something.
FOREIGN_ELEMENTS = {"script", "link", "iframe", "frame", "object", "embed", "img", "image", "audio", "video",
                    "source", "base", "use", "form", "foreignobject"}
FOREIGN_ATTRIBUTES = {"src", "href", "xlink:href", "srcset", "action", "formaction", "poster", "data",
                      "background", "ping", "manifest", "codebase"}
VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source", "track", "wbr"}
MARKS = ("break", "unreadable", "frame-gap", "timecode-ends")


class Node:
    def __init__(self, tag, attrs, parent):
        self.tag, self.attrs, self.parent, self.children, self.text = tag, dict(attrs), parent, [], ""

    def find(self, test):
        found = [self] if test(self) else []
        for child in self.children:
            found += child.find(test)
        return found

    def all_text(self):
        return self.text + "".join(child.all_text() for child in self.children)


class Tree(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.root = self.at = Node("#document", [], None)

    def handle_starttag(self, tag, attrs):
        node = Node(tag, attrs, self.at)
        self.at.children.append(node)
        if tag not in VOID:
            self.at = node

    def handle_startendtag(self, tag, attrs):
        self.at.children.append(Node(tag, attrs, self.at))

    def handle_endtag(self, tag):
        node = self.at
        while node.parent and node.tag != tag:
            node = node.parent
        if node.parent:
            self.at = node.parent

    def handle_data(self, data):
        self.at.text += data


def percent(value):
    return float(value.rstrip("%"))


def main():
    tree = Tree()
    tree.feed(open(sys.argv[1], encoding="utf-8").read())
    problems = []
    for node in tree.root.find(lambda n: True):
        if node.tag in FOREIGN_ELEMENTS:
            problems.append("element " + node.tag)
        for name, value in node.attrs.items():
            if name in FOREIGN_ATTRIBUTES or name.startswith("on") or "url(" in (value or ""):
                problems.append("attribute %s=%s on %s" % (name, value, node.tag))
        if node.tag == "style" and ("url(" in node.text or "@import" in node.text):
            problems.append("style that loads something")
        if node.tag == "meta" and node.attrs.get("http-equiv"):
            problems.append("meta http-equiv")

    entries = tree.root.find(lambda n: "data-movie" in n.attrs)
    for entry in entries:
        path = entry.find(lambda n: "path" in n.attrs.get("class", "").split())
        print("%s %s | %s" % (entry.attrs.get("data-result"), entry.attrs["data-movie"],
                              path[0].all_text() if path else "(no path)"))
    marks = {}  # (movie, check) -> [(frames, node)]
    for mark in tree.root.find(lambda n: "data-check" in n.attrs):
        entry = mark
        while entry and "data-movie" not in entry.attrs:
            entry = entry.parent
        frames = [int(f) for f in mark.attrs.get("data-frames", "").split()]
        titles = [c for c in mark.children if c.tag == "title" and c.text.strip()]
        if not entry or not frames or not titles or int(mark.attrs.get("data-frame", -1)) != frames[0]:
            problems.append("mark %s without its entry, frames or title" % mark.attrs)
            continue
        marks.setdefault((entry.attrs["data-movie"], mark.attrs["data-check"]), []).append((frames, mark))

    if len(sys.argv) > 2:
        reports = [json.loads(line) for line in open(sys.argv[2], encoding="utf-8")]
        expected = [r for r in reports if r["result"] == "error"] + [r for r in reports if r["result"] == "fail"] + \
                   [r for r in reports if r["result"] == "pass"]
        got = [(e.attrs["data-movie"], e.attrs.get("data-result")) for e in entries]
        want = [(r["movie"], r["result"]) for r in expected]
        if got != want:
            problems.append("entries %s, not %s" % (got, want))
        for r in reports:
            listed = [f for f in r["findings"] if f["check"] in MARKS and "omitted" not in f]
            shown = set()
            for f in listed:
                found = [(fr, m) for fr, m in marks.get((r["movie"], f["check"]), []) if f["frame"] in fr]
                if not found:
                    problems.append("%s: no mark for %s" % (r["movie"], f))
                    continue
                frames, mark = found[0]
                shown.add(id(mark))
                at = 100.0 * f["frame"] / r["frames"]
                if mark.tag == "line":
                    first = 100.0 * frames[0] / r["frames"]
                    if abs(percent(mark.attrs["x1"]) - first) > 0.001 or abs(first - at) > 0.1:
                        problems.append("%s: %s drawn at %s, not at %.3f%%" % (r["movie"], f, mark.attrs["x1"], at))
                else:
                    x, width = percent(mark.attrs["x"]), percent(mark.attrs["width"])
                    if not x - 0.001 <= at <= x + width + 0.001:
                        problems.append("%s: %s drawn from %s%% over %s%%" % (r["movie"], f, x, width))
            for (movie, check), drawn in marks.items():
                if movie == r["movie"]:
                    problems += ["%s: a %s mark at %s for no finding" % (movie, check, fr)
                                 for fr, m in drawn if id(m) not in shown]
    for problem in problems:
        print("! " + problem)


main()
