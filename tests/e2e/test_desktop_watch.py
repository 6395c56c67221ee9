"""The bar on a shared desktop, under Wine: it leaves the topmost band
while a full-screen program is in front and takes it back when that program
closes; a wake from sleep brings quotes within seconds although the update
interval is half an hour; a locked session stops the picture and an unlock
starts it again from where it stood."""

import time

from bar_view import RED, bar_image, text_columns, wait_for
from program import BAR_TITLE, bar_now, exit_bar, start_with_settings
from registry_values import dword, sz
from service import PROGRAM_PORT, StandInService
from win32_constants import (PBT_APMRESUMEAUTOMATIC, WM_CLOSE, WM_POWERBROADCAST, WM_WTSSESSION_CHANGE,
                             WTS_SESSION_LOCK, WTS_SESSION_UNLOCK)

FULL_SCREEN_TITLE = "FULL SCREEN"
HALF_AN_HOUR = 1800000
QUOTE_PATHS = ("/d/quotes.csv", "/uk/quotes.csv")
# The bar looks for a full-screen program once a second; a busy machine
# gets a few more.
TOPMOST_CHANGE_TIMEOUT = 8.0
DOWN = '"DOWN",9.5,"4:00PM",-0.5,9,10,10,100\r\n'


def settings(symbols, speed=1, update=300000):
    return {"Top": dword(200), "Left": dword(100), "Right": dword(523), "Speed": dword(speed),
            "Update": dword(update), "Symbols": sz(symbols)}


def quote_requests(service):
    return [r for r in service.requests() if r.path in QUOTE_PATHS]


def topmost_becomes(bench, topmost, what):
    return wait_for(lambda: bar_now(bench).topmost == topmost, TOPMOST_CHANGE_TIMEOUT, what=what)


def test_a_full_screen_program_in_front_takes_the_topmost_band_until_it_closes(bench):
    with StandInService(bench.run_dir, PROGRAM_PORT, ["--message", ""]):
        program, bar = start_with_settings(bench, settings("IBM"))
        assert bar.topmost
        full_screen = bench.launch(bench.paths.wintool.parent / "fullscreen.exe")
        shown = bench.wait_visible(FULL_SCREEN_TITLE, timeout=20, program=full_screen)
        screen = bench.screen()
        assert (shown.left, shown.top, shown.right, shown.bottom) == (0, 0, screen.width, screen.height)

        topmost_becomes(bench, 0, "the bar's step out of the topmost band")
        bench.post(FULL_SCREEN_TITLE, WM_CLOSE)
        assert full_screen.wait(10) == 0
        topmost_becomes(bench, 1, "the bar's return to the topmost band")
        exit_bar(bench, program)


def test_a_wake_from_sleep_brings_quotes_within_seconds(bench):
    with StandInService(bench.run_dir, PROGRAM_PORT, ["--message", ""]) as service:
        program, _ = start_with_settings(bench, settings("IBM", update=HALF_AN_HOUR))
        wait_for(lambda: quote_requests(service), 20, what="the first pass", service=service)
        time.sleep(2.0)
        before = len(quote_requests(service))

        bench.post(BAR_TITLE, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC)
        posted = time.monotonic()
        wait_for(lambda: len(quote_requests(service)) > before, 10, what="quotes after the wake", service=service)
        print("quotes %.1f s after the wake" % (time.monotonic() - posted))
        exit_bar(bench, program)


def test_a_locked_session_stops_the_picture_and_an_unlock_starts_it_again(bench):
    arguments = ["--message", "", "--pin", "DOWN:" + DOWN]
    with StandInService(bench.run_dir, PROGRAM_PORT, arguments):
        program, bar = start_with_settings(bench, settings("DOWN", speed=2))
        wait_for(lambda: text_columns(bar_image(bench, bar, "moving.png"), RED), 30, what="DOWN on the bar")

        bench.post(BAR_TITLE, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK)
        time.sleep(0.5)  # a step already under way ends
        locked = bar_image(bench, bar, "locked.png")
        time.sleep(1.5)
        assert bar_image(bench, bar, "still-locked.png").same_as(locked), "the bar moved while locked"

        bench.post(BAR_TITLE, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK)
        stood = min(text_columns(locked, RED))
        moved = wait_for(lambda: stood - min(text_columns(bar_image(bench, bar, "unlocked.png"), RED) or [stood]),
                         5, what="the bar moving again")
        assert 0 < moved <= 2 * 26 * 5, "on from where it stood, not from the start: %d pixels" % moved
        exit_bar(bench, program)


RESERVE_SCREEN_SPACE = 33033
TOOLBAR_TITLE = "TOP TOOLBAR"
TOOLBAR_HEIGHT = 30


def test_reserve_screen_space_docks_the_bar_below_another_toolbar_at_the_top(bench):
    # Wine's shell keeps the toolbars' strips apart (ABM_QUERYPOS moves a
    # strip clear of those set before it) but leaves the work area alone.
    with StandInService(bench.run_dir, PROGRAM_PORT, ["--message", ""]):
        toolbar = bench.launch(bench.paths.wintool.parent / "top_toolbar.exe")
        bench.wait_visible(TOOLBAR_TITLE, timeout=20, program=toolbar)
        program, bar = start_with_settings(bench, {**settings("IBM"), "Top": dword(0)})
        assert bar.top == 0
        height = bar.bottom - bar.top

        bench.command(BAR_TITLE, RESERVE_SCREEN_SPACE)
        docked = wait_for(lambda: (lambda now: now if now.top == TOOLBAR_HEIGHT else None)(bar_now(bench)), 10,
                          what="the bar below the other toolbar")
        assert docked.bottom - docked.top == height, "the bar keeps its height"
        work_area = bench.screen().work_area
        print("work area with both toolbars: %s" % (work_area,))
        assert work_area[1] in (0, TOOLBAR_HEIGHT + height), "untouched, or without both strips"

        saved = exit_bar(bench, program)
        assert saved["ReserveScreenSpace"] == dword(1)
        bench.post(TOOLBAR_TITLE, WM_CLOSE)
        assert toolbar.wait(10) == 0
