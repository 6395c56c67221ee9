"""The symbol entry bar seen from outside: opened with its menu command,
found among the top-level windows, typed into on the real keyboard path."""

import subprocess
import time

from bar_commands import ADD_REMOVE_SYMBOLS
from program import BAR_TITLE
from wintool_output import WindowInfo, parse_lines

DIALOG_CLASS = "#32770"
OPEN_TIMEOUT = 10.0
CLOSE_TIMEOUT = 10.0
POLL_INTERVAL = 0.1
KEY_DELAY_MS = "30"


def shown_entry_bars(bench):
    """The visible untitled dialogs: the entry bar has no caption."""
    windows = parse_lines(bench.wintool("list", check=False).output, WindowInfo)
    return [w for w in windows if w.visible and w.class_name == DIALOG_CLASS and w.title == ""]


def open_entry_bar(bench, timeout=OPEN_TIMEOUT):
    """Chooses Add/Remove Symbols...; the entry bar's WindowInfo, or None
    when none showed in time."""
    bench.command(BAR_TITLE, ADD_REMOVE_SYMBOLS)
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        shown = shown_entry_bars(bench)
        if shown:
            return shown[0]
        time.sleep(POLL_INTERVAL)
    return None


def x_window_at(bench, rect):
    """The shown untitled X window whose place and size are rect, or None."""
    environment = bench.environment()
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^$"], env=environment,
                           capture_output=True, text=True, check=False).stdout.split()
    for x_window in found:
        shell = subprocess.run(["xdotool", "getwindowgeometry", "--shell", x_window], env=environment,
                               capture_output=True, text=True, check=False).stdout
        g = dict(line.split("=", 1) for line in shell.splitlines() if "=" in line)
        if all(k in g for k in ("X", "Y", "WIDTH", "HEIGHT")) and \
                (int(g["X"]), int(g["Y"]), int(g["X"]) + int(g["WIDTH"]), int(g["Y"]) + int(g["HEIGHT"])) == rect:
            return x_window
    return None


def xdotool(bench, *arguments):
    subprocess.run(["xdotool", *arguments], env=bench.environment(), check=True)


def type_into_entry_bar(bench, entry_bar, keys_before=(), text="", keys_after=("Return",)):
    """Types into the open entry bar: key names, then text, then key names."""
    x_window = x_window_at(bench, entry_bar.rect)
    if x_window is not None:
        xdotool(bench, "windowfocus", "--sync", x_window)
    if keys_before:
        xdotool(bench, "key", "--delay", KEY_DELAY_MS, *keys_before)
    if text:
        xdotool(bench, "type", "--delay", KEY_DELAY_MS, text)
    if keys_after:
        xdotool(bench, "key", "--delay", KEY_DELAY_MS, *keys_after)


def wait_entry_bar_closed(bench, timeout=CLOSE_TIMEOUT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if not shown_entry_bars(bench):
            return True
        time.sleep(POLL_INTERVAL)
    return False
