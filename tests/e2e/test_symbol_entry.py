"""The symbol entry bar on the real program: it opens from the menu directly
below the ticker (or above it at the bottom of the work area), as wide,
showing the list; a changed list rebuilds the items, restarts the scroll
from the right and is stored in its normal form; Esc keeps the list but
still saves. Whatever is typed or pasted into it, the bar goes on and the
stored settings stay whole."""

import collections
import re
import time

import menus
import pointer
from bar_view import GRIP_WIDTH, bar_image, wait_for
from program import (BAR_TITLE, SHOW_TIMEOUT, bar_now, exit_bar, placed, saved_value,
                     start_with_settings)
from registry_values import dword, sz
from service import PROGRAM_PORT, StandInService
from win32_constants import IDCANCEL, IDOK

LEFT, TOP, WIDTH, HEIGHT = 100, 300, 1000, 18
EDIT_FIELD, PROMPT = 204, 207
DIALOG_CLASS = "#32770"
UP = '"UP",10.5,"4:00PM",+0.5,10,11,10,100\r\n'
SERVICE = ["--message", "", "--pin", "UP:" + UP]
OPEN_TIMEOUT = 10.0
BUSY_TIMEOUT = 60.0     # a list of thousands of entries takes its time
# Right after a rebuild the ring stands within this of the bar's right end.
ENTERING = 160
WHITE_SPACE = " \t\r\n\v\f"


def start(bench, **values):
    stored = {**placed(LEFT, TOP, WIDTH), "Symbols": sz("UP"), **values}
    return start_with_settings(bench, stored)


def normal_form(symbols):
    """The list as the program stores it: trimmed entries, empty ones
    dropped, joined by ", "."""
    entries = (entry.strip(WHITE_SPACE) for entry in symbols.split(","))
    return ", ".join(entry for entry in entries if entry)


def entry_bar(bench, ticker):
    """The shown entry bar: the dialog without a title that the ticker owns."""
    shown = [w for w in bench.windows()
             if w.class_name == DIALOG_CLASS and w.owner == ticker.hwnd and w.visible and not w.title]
    return shown[0] if shown else None


def open_entry_bar(bench, ticker):
    menus.choose(bench, ticker, "Add/Remove Symbols")
    return wait_for(lambda: entry_bar(bench, ticker), OPEN_TIMEOUT, what="the symbol entry bar")


def wait_closed(bench, ticker):
    wait_for(lambda: entry_bar(bench, ticker) is None, OPEN_TIMEOUT, what="the entry bar to close")


def controls(bench, bar):
    return {c.id: c for c in bench.texts("hwnd:0x%x" % bar.hwnd)}


def ring_columns(image):
    """Columns that hold anything but the bar's background, grips left out."""
    background = collections.Counter(image.pixel(x, y) for x in range(image.width)
                                     for y in range(image.height)).most_common(1)[0][0]
    return [x for x in range(GRIP_WIDTH, image.width - GRIP_WIDTH)
            if any(image.pixel(x, y) != background for y in range(image.height))]


def test_opens_below_as_wide_showing_the_list_and_esc_keeps_it_but_saves(bench):
    with StandInService(bench.run_dir, PROGRAM_PORT, SERVICE):
        program, ticker = start(bench, Symbols=sz("UP, DOWN"))
        # Moved by the mouse: not stored until the next save.
        pointer.drag(bench, (LEFT + 500, TOP + 9), [(LEFT + 530, TOP + 9)])
        ticker = bar_now(bench)
        assert ticker.left == LEFT + 30 and saved_value(bench, "Left") == dword(LEFT)

        bar = open_entry_bar(bench, ticker)
        assert bar.rect == (ticker.left, ticker.bottom, ticker.right, ticker.bottom + HEIGHT)
        assert not bar_now(bench).enabled, "the ticker takes no input while the bar is open"
        fields = controls(bench, bar)
        assert fields[EDIT_FIELD].text == "UP, DOWN"
        assert fields[PROMPT].text == "Symbols:"
        assert (fields[IDOK].text, fields[IDCANCEL].text) == ("OK", "Cancel")

        pointer.type_text(bench, "XOM")
        pointer.keys(bench, "Escape")
        wait_closed(bench, ticker)
        assert saved_value(bench, "Symbols") == sz("UP, DOWN")
        assert saved_value(bench, "Left") == dword(LEFT + 30), "Esc still saves, with the ticker's place"
        assert bar_now(bench).enabled
        exit_bar(bench, program)


def test_opens_above_a_ticker_at_the_bottom_of_the_work_area(bench):
    with StandInService(bench.run_dir, PROGRAM_PORT, SERVICE):
        bottom = bench.screen().work_area[3]
        program, ticker = start(bench, Top=dword(bottom - HEIGHT))
        bar = open_entry_bar(bench, ticker)
        assert bar.rect == (ticker.left, ticker.top - HEIGHT, ticker.right, ticker.top)
        pointer.keys(bench, "Return")
        wait_closed(bench, ticker)
        exit_bar(bench, program)


def test_a_changed_list_rebuilds_restarts_from_the_right_and_is_stored_normalised(bench):
    with StandInService(bench.run_dir, PROGRAM_PORT, SERVICE) as service:
        program, ticker = start(bench, Speed=dword(3))
        # The ring well into the bar first.
        wait_for(lambda: (lambda c: c and c[0] < WIDTH // 2)(ring_columns(bar_image(bench, ticker, "before.png"))),
                 30, what="the ring in the left half of the bar")
        open_entry_bar(bench, ticker)
        pointer.type_text(bench, " DOWN , ,UP,,FLAT ")
        pointer.keys(bench, "Return")
        wait_closed(bench, ticker)
        # The first sight of the new ring is at the right end.
        columns = wait_for(lambda: ring_columns(bar_image(bench, ticker, "after.png")), 10, interval=0.02,
                           what="the new ring")
        assert columns[0] >= WIDTH - ENTERING, "the ring does not start afresh: %s" % columns[:3]

        assert saved_value(bench, "Symbols") == sz("DOWN, UP, FLAT")
        wait_for(lambda: {"DOWN", "FLAT"} <= {r.symbol for r in service.requests()}, 20,
                 what="quotes for the new items", service=service)
        exit_bar(bench, program)


ODD_TYPED = "A<b>c, <<X>>, >Y<, Z<http://a.b/<c>>, <, >, X<>, ,,,"


def thousands_of_odd_entries():
    """Thousands of entries: control bytes, brackets in odd places."""
    odd = ["S%d" % i for i in range(2500)]
    odd[7::50] = ["<%d<>" % i for i in range(len(odd[7::50]))]
    odd[13::50] = ["\x01\x02%d\x7f" % i for i in range(len(odd[13::50]))]
    odd[21::50] = ["a>b<c%d>d" % i for i in range(len(odd[21::50]))]
    odd[33::50] = ["\t%d\x1b " % i for i in range(len(odd[33::50]))]
    return ",".join(odd)


def test_any_list_leaves_the_bar_running_and_the_settings_whole(bench):
    others = {"DataMask": dword(0x11111113), "Speed": dword(3), "Update": dword(600000),
              "AlwaysOnTop": dword(1), "Snapping": dword(0)}
    with StandInService(bench.run_dir, PROGRAM_PORT, SERVICE):
        program, ticker = start(bench, **others)

        # Typed: brackets in odd places.
        open_entry_bar(bench, ticker)
        pointer.type_text(bench, ODD_TYPED)
        pointer.keys(bench, "Return")
        wait_closed(bench, ticker)
        assert saved_value(bench, "Symbols") == sz(normal_form(ODD_TYPED))

        # Pasted: thousands of entries with control bytes.
        bench.set_clipboard(thousands_of_odd_entries().encode("cp1252"))
        bar = open_entry_bar(bench, ticker)
        pointer.keys(bench, "ctrl+a", "ctrl+v")
        held = wait_for(lambda: (lambda t: t if len(t) > 10000 else None)(controls(bench, bar)[EDIT_FIELD].text),
                        OPEN_TIMEOUT, what="the pasted list in the field")
        pointer.keys(bench, "Return")
        wait_for(lambda: entry_bar(bench, ticker) is None, BUSY_TIMEOUT, what="the entry bar to close")
        stored = wait_for(lambda: saved_value(bench, "Symbols"), BUSY_TIMEOUT, what="the stored list")
        assert stored == sz(normal_form(held))
        assert len(normal_form(held).split(", ")) > 2000

        # Still answering: a command goes through and is stored.
        assert program.running()
        menus.choose(bench, ticker, "Always On Top")
        wait_for(lambda: saved_value(bench, "AlwaysOnTop") == dword(0), BUSY_TIMEOUT, what="the command")
        saved = exit_bar(bench, program)
        for name, value in others.items():
            if name != "AlwaysOnTop":
                assert saved[name] == value, name
        bench.wineserver_wait()

        # And the next start has it all.
        program = bench.launch()
        bench.wait_shown(BAR_TITLE, timeout=SHOW_TIMEOUT, program=program)
        assert saved_value(bench, "Symbols") == stored
        again = exit_bar(bench, program)
        assert again["Symbols"] == stored and again["DataMask"] == others["DataMask"]
