"""The menu of options on the real program, opened with a real right click
and chosen from with the keyboard: its entries and check marks, and what
each command changes on the bar, in the stand-in service's log, in the
browser and in the stored settings."""

import time

import menus
import pointer
from bar_view import GREEN, bar_image, text_columns, wait_for
from program import (HOME_SITE, bar_now, browsed, exit_bar, placed, saved_value,
                     start_with_settings)
from registry_values import dword, sz
from service import PROGRAM_PORT, StandInService

LEFT, TOP, WIDTH = 100, 300, 1000
UP = '"UP",10.5,"4:00PM",+0.5,10,11,10,100\r\n'
PINNED = ["--message", "", "--pin", "UP:" + UP]
MESSAGE_PATH = "/getmessage.asp"
SETTLE = 0.5      # for a command to take effect
MEASURE = 1.0     # seconds of scrolling measured
QUOTES_TIMEOUT = 20.0
BROWSER_TIMEOUT = 20.0


def start(bench, **values):
    stored = {**placed(LEFT, TOP, WIDTH), "Symbols": sz("UP"), **values}
    return start_with_settings(bench, stored)


def green(bench, bar, name):
    return text_columns(bar_image(bench, bar, name), GREEN)


def wait_for_up(bench, bar, where=lambda columns: True, what="UP on the bar"):
    """Waits for the green item wholly on the bar where `where` holds."""
    def seen():
        columns = green(bench, bar, "up.png")
        return columns if columns and columns[-1] < WIDTH - 40 and where(columns) else None
    return wait_for(seen, QUOTES_TIMEOUT, what=what)


def message_requests(service):
    return [r for r in service.requests() if r.path == MESSAGE_PATH]


QUIET = 3.0  # seconds without a cycle that show none is coming


def quiet_count(service):
    """The number of cycles so far, once none has come for QUIET seconds."""
    count = len(message_requests(service))
    time.sleep(QUIET)
    return count if len(message_requests(service)) == count else None


def test_the_menu_shows_its_entries_and_check_marks_as_the_settings_are(bench):
    with StandInService(bench.run_dir, PROGRAM_PORT, PINNED):
        program, bar = start(bench, Speed=dword(3), Update=dword(600000), DataMask=dword(0x11000103),
                             AlwaysOnTop=dword(0), Snapping=dword(1))
        menu = menus.open_menu(bench, bar, 50, 9)
        assert (menu.left, menu.top) == (bar.left + 50, bar.top + 9), "the menu's corner is at the click"
        entries = menus.read_entries(bench, menu, "menu.png")
        assert [e.separator for e in entries] == [False, False, True, False, False, False, False,
                                                  False, False, False, True, False, True, False], entries
        assert [i for i, e in enumerate(entries) if e.arrow] == [4, 5, 6], "three submenus"
        assert [i for i, e in enumerate(entries) if e.checked] == [8], "snapping only"

        expected = {  # submenu entry: (entries, separators, checked)
            4: (4, [], [2]),                     # Medium
            5: (6, [], [3]),                     # 10 minutes
            6: (13, [10], [0, 2, 3, 8, 9]),      # price, change, % change, volume, fractions
        }
        for index, (count, separators, checked) in expected.items():
            submenu = menus.open_submenu(bench, menu, entries[index])
            sub = menus.read_entries(bench, submenu, "submenu%d.png" % index)
            assert len(sub) == count, (index, sub)
            assert [i for i, e in enumerate(sub) if e.separator] == separators, (index, sub)
            assert [i for i, e in enumerate(sub) if e.checked] == checked, (index, sub)
        menus.close_menus(bench)

        # The marks follow the settings: always on top is on now.
        menus.choose(bench, bar, "Always On Top")
        menu = menus.open_menu(bench, bar, 80, 9)
        entries = menus.read_entries(bench, menu, "menu-after.png")
        assert [i for i, e in enumerate(entries) if e.checked] == [7, 8]
        menus.close_menus(bench)
        exit_bar(bench, program)


def test_fast_moves_the_bar_faster_and_stop_halts_it(bench):
    with StandInService(bench.run_dir, PROGRAM_PORT, PINNED) as service:
        program, bar = start(bench, Speed=dword(1))
        # The loading notice is in the same green: only once UP's quote was
        # asked for is the green on the bar UP's.
        wait_for(lambda: any(r.symbol == "UP" for r in service.requests()), QUOTES_TIMEOUT,
                 what="UP's quote request", service=service)
        wait_for_up(bench, bar)

        def moved():
            before = green(bench, bar, "before.png")[0]
            time.sleep(MEASURE)
            return before - green(bench, bar, "after.png")[0]

        slow = moved()
        menus.choose(bench, bar, "Scroll Speed", "Fast")
        assert saved_value(bench, "Speed") == dword(5)
        fast = moved()
        # Steps of 5 pixels now; a busy machine makes fewer steps, not shorter ones.
        assert slow > 0 and fast > slow and fast % 5 == 0, "moved %d, then %d pixels in a second" % (slow, fast)

        menus.choose(bench, bar, "Scroll Speed", "Stop")
        assert saved_value(bench, "Speed") == dword(0)
        time.sleep(SETTLE)
        assert moved() == 0, "the bar still scrolls after Stop"
        saved = exit_bar(bench, program)
    assert saved["Speed"] == dword(0)


def test_off_stops_the_update_cycles(bench):
    with StandInService(bench.run_dir, PROGRAM_PORT, PINNED) as service:
        # A short stored interval, so cycles come every two seconds.
        program, bar = start(bench, Update=dword(2000))
        wait_for(lambda: len(message_requests(service)) >= 2, QUOTES_TIMEOUT, what="two cycles",
                 service=service)
        menus.choose(bench, bar, "Update Frequency", "Off")
        assert saved_value(bench, "Update") == dword(0)
        time.sleep(SETTLE)
        cycles = len(message_requests(service))
        time.sleep(3 * 2.0)
        assert len(message_requests(service)) == cycles, "cycles went on after Off"
        exit_bar(bench, program)


def test_update_now_brings_one_cycle_half_a_second_later(bench):
    with StandInService(bench.run_dir, PROGRAM_PORT, PINNED) as service:
        program, bar = start(bench, Update=dword(0))
        # The start-up cycles (the first items' rebuild asks for one more)
        # come and go; then nothing follows.
        wait_for(lambda: message_requests(service), QUOTES_TIMEOUT, what="the first cycle", service=service)
        quiet = wait_for(lambda: quiet_count(service), QUOTES_TIMEOUT, what="the end of the start-up cycles")

        menus.open_menu(bench, bar, 60, 9)
        pointer.keys(bench, *menus.keys_for("Update Frequency", "Update Now"))
        chosen = time.monotonic()
        wait_for(lambda: len(message_requests(service)) > quiet, 10, interval=0.02, what="a cycle",
                 service=service)
        delay = time.monotonic() - chosen
        assert 0.35 <= delay < 3.0, "the cycle came %.2f s after Update Now" % delay
        time.sleep(QUIET)
        assert len(message_requests(service)) == quiet + 1, "one cycle only; the interval stays off"
        assert saved_value(bench, "Update") == dword(0)
        exit_bar(bench, program)


def test_data_fields_change_what_the_items_show_and_are_stored(bench):
    with StandInService(bench.run_dir, PROGRAM_PORT, PINNED):
        program, bar = start(bench, Speed=dword(5))
        # Stopped where even the longest text fits on the bar.
        wait_for_up(bench, bar, lambda columns: 450 <= columns[0] <= 650, "UP in the middle of the bar")
        menus.choose(bench, bar, "Scroll Speed", "Stop")

        def span():
            columns = wait_for_up(bench, bar)
            return columns[-1] - columns[0] + 1

        default = span()
        steps = [("Day's Volume", 0x11000101, "longer"), ("Select All", 0x11111113, "longer"),
                 ("Reset Default", 0x10000101, "default")]
        previous = default
        for item, mask, width in steps:
            menus.choose(bench, bar, "Data", item)
            assert saved_value(bench, "DataMask") == dword(mask), item
            time.sleep(SETTLE)
            now = span()
            if width == "longer":
                assert now > previous, "%s: the item did not grow (%d -> %d)" % (item, previous, now)
            else:
                assert now == default, "%s: %d pixels, not the default %d" % (item, now, default)
            previous = now
        exit_bar(bench, program)


def test_always_on_top_and_snapping_toggle_and_are_stored(bench):
    with StandInService(bench.run_dir, PROGRAM_PORT, PINNED):
        # Near the top edge, snapping off.
        program, bar = start(bench, Top=dword(10), AlwaysOnTop=dword(1), Snapping=dword(0))
        for on_top in (False, True):
            menus.choose(bench, bar, "Always On Top")
            assert saved_value(bench, "AlwaysOnTop") == dword(int(on_top))
            assert bar_now(bench).topmost == on_top
        assert bar_now(bench).rect == bar.rect, "no move with always on top"

        menus.choose(bench, bar, "Snap to Screen Edges")
        assert saved_value(bench, "Snapping") == dword(1)
        assert bar_now(bench).rect == (LEFT, 0, LEFT + WIDTH, 18), "turning snapping on snaps at once"
        assert saved_value(bench, "Top") == dword(0)
        menus.choose(bench, bar_now(bench), "Snap to Screen Edges")
        assert saved_value(bench, "Snapping") == dword(0)
        assert bar_now(bench).top == 0
        exit_bar(bench, program)


def test_the_page_commands_open_their_addresses(bench):
    pages = [("Visit", HOME_SITE), ("Help", HOME_SITE + "/help.html"), ("Send to a Friend", HOME_SITE)]
    with StandInService(bench.run_dir, PROGRAM_PORT, PINNED):
        program, bar = start(bench)
        for count, (entry, address) in enumerate(pages, start=1):
            menus.choose(bench, bar, entry)
            wait_for(lambda: len(browsed(bench)) == count, BROWSER_TIMEOUT, what="the browser for " + entry)
            assert browsed(bench)[-1] == address, entry
        exit_bar(bench, program)
