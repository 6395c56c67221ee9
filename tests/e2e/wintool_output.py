"""Reads what wintool.exe prints: one line per window or control, made of
"key=value" fields with the free text (title or control text) last and
backslash-escaped."""

import dataclasses

SIMPLE_ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\"}


def unescape(text):
    """Undoes wintool's escaping of window texts."""
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            if text[i + 1] in SIMPLE_ESCAPES:
                out.append(SIMPLE_ESCAPES[text[i + 1]])
                i += 2
                continue
            if text[i + 1] == "x" and i + 3 < len(text):
                out.append(chr(int(text[i + 2:i + 4], 16)))
                i += 4
                continue
        out.append(text[i])
        i += 1
    return "".join(out)


def parse_fields(line, last):
    """'a=1 b=2 last=free text' -> dict; the field `last` takes the rest."""
    head, _, tail = line.partition(" %s=" % last)
    fields = dict(pair.split("=", 1) for pair in head.split())
    fields[last] = unescape(tail)
    return fields


@dataclasses.dataclass(frozen=True)
class WindowInfo:
    hwnd: int
    left: int
    top: int
    right: int
    bottom: int
    style: int
    exstyle: int
    topmost: bool
    visible: bool
    enabled: bool
    owner: int
    pid: int  # the Windows process id
    class_name: str
    title: str

    @property
    def rect(self):
        return (self.left, self.top, self.right, self.bottom)

    @property
    def width(self):
        return self.right - self.left

    @property
    def height(self):
        return self.bottom - self.top

    @classmethod
    def parse(cls, line):
        f = parse_fields(line, "title")
        return cls(hwnd=int(f["hwnd"], 16), left=int(f["left"]), top=int(f["top"]),
                   right=int(f["right"]), bottom=int(f["bottom"]),
                   style=int(f["style"], 16), exstyle=int(f["exstyle"], 16),
                   topmost=f["topmost"] == "1", visible=f["visible"] == "1",
                   enabled=f["enabled"] == "1", owner=int(f["owner"], 16), pid=int(f["pid"]),
                   class_name=unescape(f["class"]), title=f["title"])


@dataclasses.dataclass(frozen=True)
class Control:
    id: int
    visible: bool
    class_name: str
    text: str

    @classmethod
    def parse(cls, line):
        f = parse_fields(line, "text")
        return cls(id=int(f["id"]), visible=f["visible"] == "1",
                   class_name=unescape(f["class"]), text=f["text"])


@dataclasses.dataclass(frozen=True)
class ScreenInfo:
    width: int
    height: int
    work_area: tuple  # left, top, right, bottom

    @classmethod
    def parse(cls, line):
        f = dict(pair.split("=", 1) for pair in line.split())
        return cls(width=int(f["cx"]), height=int(f["cy"]),
                   work_area=tuple(int(f[k]) for k in
                                   ("work_left", "work_top", "work_right", "work_bottom")))


def parse_lines(output, kind):
    return [kind.parse(line) for line in output.splitlines() if line]
