"""The bar's popup menu seen from outside: opened with a real right click,
read from the screen (entries, separators, check marks, submenu arrows),
and chosen from with the keyboard, as a user would."""

import dataclasses
import time

import pointer
from pixels import Image

MENU_CLASS = "#32768"
MENU_TIMEOUT = 10.0
POLL = 0.05
TEXT = (0, 0, 0)
SEPARATOR_SHARE = 0.7   # of a row's pixels in the frame's colour
CHECK_GAP = 3           # a check mark ends this far left of the labels
ARROW_COLUMNS = 14      # a submenu arrow lies within this of the right edge

# The selectable entries of the main menu, top to bottom; separators are
# skipped by the keyboard.
MAIN = ("Visit", "Help", "Add/Remove Symbols", "Scroll Speed", "Update Frequency", "Data",
        "Always On Top", "Snap to Screen Edges", "Reserve Screen Space", "Send to a Friend", "Exit")
SUBMENUS = {
    "Scroll Speed": ("Stop", "Slow", "Medium", "Fast"),
    "Update Frequency": ("Off", "2 minutes", "5 minutes", "10 minutes", "30 minutes", "Update Now"),
    "Data": ("Current Price", "Time", "Day's Change", "Day's % Change", "Last Day's Close",
             "Opening Price", "Day's High", "Day's Low", "Day's Volume", "Show Fractions",
             "Select All", "Reset Default"),
}


@dataclasses.dataclass(frozen=True)
class Entry:
    separator: bool
    top: int      # rows of the menu's own image
    bottom: int
    checked: bool = False
    arrow: bool = False

    @property
    def middle(self):
        return (self.top + self.bottom) // 2


def shown_menus(bench):
    return [w for w in bench.windows() if w.class_name == MENU_CLASS and w.visible]


def wait_for_menus(bench, count, timeout=MENU_TIMEOUT):
    """Waits until exactly `count` menus show; returns them, newest last."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        menus = shown_menus(bench)
        if len(menus) == count:
            return sorted(menus, key=lambda m: m.left)
        time.sleep(POLL)
    raise AssertionError("%d menus showing, not %d:\n%s" % (len(shown_menus(bench)), count,
                                                             bench.describe_windows()))


def open_menu(bench, bar, x, y):
    """Right-clicks the bar at client (x, y); the menu window."""
    pointer.click(bench, bar.left + x, bar.top + y, button=3)
    return wait_for_menus(bench, 1)[0]


def open_submenu(bench, menu, entry):
    """Points at an entry of an open menu; the submenu that opens beside it."""
    pointer.move(bench, menu.left + menu.width // 2, menu.top + entry.middle)
    return wait_for_menus(bench, 2)[-1]


def close_menus(bench):
    while shown_menus(bench):
        pointer.keys(bench, "Escape")
        time.sleep(0.2)


def read_entries(bench, menu, name):
    """The entries of a menu that shows no highlighted item."""
    image = Image.load(bench.screenshot(name, menu.rect))
    return entries_of(image)


def entries_of(image):
    frame = image.pixel(0, 0)
    inner = range(2, image.width - 2)
    rows = []  # (y, kind) with kind "text", "separator" or None
    for y in range(1, image.height - 1):
        pixels = [image.pixel(x, y) for x in inner]
        if TEXT in pixels:
            rows.append((y, "text"))
        elif pixels.count(frame) > SEPARATOR_SHARE * len(pixels):
            rows.append((y, "separator"))
        else:
            rows.append((y, None))
    spans = []  # runs of text rows, and separator rows
    for y, kind in rows:
        if kind == "separator":
            spans.append(["separator", y, y])
        elif kind == "text":
            if spans and spans[-1][0] == "text" and spans[-1][2] == y - 1:
                spans[-1][2] = y
            else:
                spans.append(["text", y, y])
    # Labels all start in one column; a check mark stands left of it.
    starts = [min(x for x in inner for y in range(top, bottom + 1) if image.pixel(x, y) == TEXT)
              for kind, top, bottom in spans if kind == "text"]
    label_column = max(set(starts), key=starts.count)

    def dark_in(columns, top, bottom):
        return any(image.pixel(x, y) == TEXT for x in columns for y in range(top, bottom + 1))

    entries = []
    for kind, top, bottom in spans:
        if kind == "separator":
            entries.append(Entry(True, top, bottom))
        else:
            entries.append(Entry(False, top, bottom,
                                 checked=dark_in(range(2, label_column - CHECK_GAP), top, bottom),
                                 arrow=dark_in(range(image.width - ARROW_COLUMNS, image.width - 2),
                                               top, bottom)))
    return entries


def keys_for(entry, item=None):
    """The keys that choose a main-menu entry, or an item of its submenu,
    from a freshly opened menu (Right opens a submenu at its first item)."""
    keys = ["Down"] * (MAIN.index(entry) + 1)
    if item is not None:
        keys += ["Right"] + ["Down"] * SUBMENUS[entry].index(item)
    return keys + ["Return"]


def choose(bench, bar, entry, item=None, x=60, y=9):
    """Opens the menu with a right click and chooses by keyboard."""
    open_menu(bench, bar, x, y)
    pointer.keys(bench, *keys_for(entry, item))
    wait_for_menus(bench, 0)
