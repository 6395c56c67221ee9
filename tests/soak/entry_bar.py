"""The symbol entry bar seen from outside: opened with its menu command,
found among the top-level windows, typed into on the real keyboard path."""

import time

import pointer
from bar_commands import ADD_REMOVE_SYMBOLS
from program import BAR_TITLE

DIALOG_CLASS = "#32770"
OPEN_TIMEOUT = 10.0
CLOSE_TIMEOUT = 10.0
POLL_INTERVAL = 0.1
TYPING_DELAY_MS = 30


def shown_entry_bars(bench):
    """The visible untitled dialogs: the entry bar has no caption."""
    return [w for w in bench.windows() if w.visible and w.class_name == DIALOG_CLASS and w.title == ""]


def open_entry_bar(bench, timeout=OPEN_TIMEOUT):
    """Chooses Add/Remove Symbols...; the entry bar's WindowInfo, or None
    when none showed in time. The entry bar has the keyboard then."""
    bench.command(BAR_TITLE, ADD_REMOVE_SYMBOLS)
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        shown = shown_entry_bars(bench)
        if shown:
            return shown[0]
        time.sleep(POLL_INTERVAL)
    return None


def type_into_entry_bar(bench, keys_before=(), text="", keys_after=("Return",)):
    """Types into the open entry bar: key names, then text, then key names."""
    if keys_before:
        pointer.keys(bench, *keys_before)
    if text:
        pointer.type_text(bench, text, delay_ms=TYPING_DELAY_MS)
    if keys_after:
        pointer.keys(bench, *keys_after)


def wait_entry_bar_closed(bench, timeout=CLOSE_TIMEOUT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if not shown_entry_bars(bench):
            return True
        time.sleep(POLL_INTERVAL)
    return False
