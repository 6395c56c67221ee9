"""The live bar against the stand-in service: the loading notice, the ring
entering from the right, quotes in their colours, the grips, the order of
the requests of an update cycle, the exchange list's edge cases, a failed
server message, and Exit while a slow pass runs."""

import time

import pytest

from bar_view import BLUE, GREEN, GRIP, RED, bar_image, text_columns, wait_for
from program import (BAR_TITLE, EXIT_COMMAND, SETTING_NAMES, SETTINGS_KEY, check_saved_types, exit_bar,
                     start_with_settings)
from registry_values import dword, sz
from service import PROGRAM_PORT, StandInService

NOTICE_X = 20
SCROLL_INTERVAL = 0.040  # seconds between steps at the fastest

BAR_LEFT, BAR_TOP, BAR_WIDTH = 100, 200, 423
QUOTE_PATHS = ("/d/quotes.csv", "/uk/quotes.csv")
MESSAGE_PATH = "/getmessage.asp"
EXCHANGES_PATH = "/exchanges.html"

UP = '"UP",10.5,"4:00PM",+0.5,10,11,10,100\r\n'
FLAT = '"FLAT",10,"4:00PM",0.00,10,10,10,100\r\n'
DOWN = '"DOWN",9.5,"4:00PM",-0.5,9,10,10,100\r\n'
PINNED = ["--pin", "UP:" + UP, "--pin", "FLAT:" + FLAT, "--pin", "DOWN:" + DOWN]


def settings(symbols, speed=1, update=300000):
    return {"Top": dword(BAR_TOP), "Left": dword(BAR_LEFT), "Right": dword(BAR_LEFT + BAR_WIDTH),
            "Speed": dword(speed), "Update": dword(update), "Symbols": sz(symbols)}


def quote_requests(service):
    return [r for r in service.requests() if r.path in QUOTE_PATHS]


def test_notice_then_the_ring_enters_in_list_order_in_its_colours(bench):
    # The exchange list comes late, so the notice stays long enough to be seen
    # even on a loaded machine.
    arguments = ["--message", "", "--fault", EXCHANGES_PATH + "=slow:15000", *PINNED]
    with StandInService(bench.run_dir, PROGRAM_PORT, arguments) as service:
        program, bar = start_with_settings(bench, settings("UP, FLAT, DOWN", speed=2))

        # While the exchange list downloads, the notice stands in dark green
        # at the left of the bar.
        notice = wait_for(lambda: text_columns(bar_image(bench, bar, "notice.png"), GREEN), 10,
                          what="the loading notice")
        assert NOTICE_X <= min(notice) < NOTICE_X + 10, notice
        assert max(notice) > 200, "the notice is a long text: %s" % notice[-5:]

        # Then the ring comes in from the right: once all three items are on
        # the bar they stand in list order, green, blue, red.
        def all_three():
            image = bar_image(bench, bar, "ring.png")
            columns = [text_columns(image, colour) for colour in (GREEN, BLUE, RED)]
            return (image, columns) if all(columns) else None

        image, (green, blue, red) = wait_for(all_three, 30, what="UP, FLAT and DOWN on the bar")
        assert max(green) < min(blue) and max(blue) < min(red), (green[:3], blue[:3], red[:3])
        assert image.columns_with(GRIP) == [1, 2, 3, image.width - 4, image.width - 3, image.width - 2]

        # It keeps moving left by 2 pixels a step, a step at most every 40 ms
        # (fewer when the machine is busy). A screenshot samples the screen at
        # some moment while it runs, so the time allowed runs from the start
        # of the first to the end of the second.
        started = time.monotonic()
        before = min(text_columns(bar_image(bench, bar, "before.png"), RED))
        time.sleep(2.0)
        after = min(text_columns(bar_image(bench, bar, "after.png"), RED))
        elapsed = time.monotonic() - started
        moved = before - after
        most = 2 * (int(elapsed / SCROLL_INTERVAL) + 1)
        assert moved > 0 and moved % 2 == 0 and moved <= most, \
            "moved %d pixels in %.2f s (at most %d)" % (moved, elapsed, most)

        exit_bar(bench, program)
        paths = [r.path for r in service.requests()]
        assert paths.count(EXCHANGES_PATH) == 1


def test_an_update_cycle_asks_in_the_specified_order(bench):
    symbols = "IBM, VOD.L, msft, News<127.0.0.1:%d/news.html>" % PROGRAM_PORT
    with StandInService(bench.run_dir, PROGRAM_PORT, ["--message", "Flash"]) as service:
        program, bar = start_with_settings(bench, settings(symbols))
        wait_for(lambda: len(quote_requests(service)) >= 5, 20, what="a whole quote pass")
        exit_bar(bench, program)

    requests = service.requests()
    assert all(r.agent == "ORVO" and r.version == "HTTP/1.0" and r.method == "GET" for r in requests), requests
    first_pass = [r for r in requests][:7]
    assert [r.path for r in first_pass[:2]] == [EXCHANGES_PATH, MESSAGE_PATH]
    assert first_pass[1].target == MESSAGE_PATH + "?ID=!VELMORIA!"
    # The message's entries come first, then the user's list, in order; a
    # ".L" symbol goes to the "uk" source; link items are asked for too.
    quotes = [(r.path, r.symbol) for r in first_pass[2:7]]
    assert quotes == [("/d/quotes.csv", "FLASH"), ("/d/quotes.csv", "IBM"), ("/uk/quotes.csv", "VOD.L"),
                      ("/d/quotes.csv", "MSFT"), ("/d/quotes.csv", "NEWS")]
    # One after another: each on a connection of its own, in arrival order.
    connections = [r.connection for r in first_pass]
    assert connections == sorted(connections) and len(set(connections)) == len(connections)
    assert [r.path for r in requests].count(EXCHANGES_PATH) == 1


EXCHANGE_EDGE_CASES = (
    # white space around suffix and address
    " L \t, http://127.0.0.1:{port}/uk/quotes.csv?f=sl1t1c1ghpvo&k=trimmed \r\n"
    # a line without a comma and an empty line
    "X http://127.0.0.1:{port}/d/quotes.csv?k=ignored\n\n"
    # an address with commas in it
    "C,http://127.0.0.1:{port}/d/quotes.csv?f=sl1t1c1ghpv&k=1,2\n"
    # a second line for the same suffix wins
    "T,http://127.0.0.1:{port}/d/quotes.csv?k=first\n"
    "T,http://127.0.0.1:{port}/d/quotes.csv?f=sl1t1c1ghpv&k=second\n"
    # the empty key: the default for every other symbol
    ",http://127.0.0.1:{port}/d/quotes.csv?f=sl1t1c1ghpv&k=default"
)


def test_exchange_list_edge_cases_choose_the_quote_sources(bench):
    arguments = ["--message", "", "--exchanges", EXCHANGE_EDGE_CASES]
    with StandInService(bench.run_dir, PROGRAM_PORT, arguments) as service:
        program, bar = start_with_settings(bench, settings("VOD.L, A.X, B.C, D.T, E"))
        wait_for(lambda: len(quote_requests(service)) >= 5, 20, what="a whole quote pass")
        exit_bar(bench, program)
    targets = {r.symbol: r.target for r in quote_requests(service)[:5]}
    assert targets == {
        "VOD.L": "/uk/quotes.csv?f=sl1t1c1ghpvo&k=trimmed&s=VOD.L",
        "A.X": "/d/quotes.csv?f=sl1t1c1ghpv&k=default&s=A.X",
        "B.C": "/d/quotes.csv?f=sl1t1c1ghpv&k=1,2&s=B.C",
        "D.T": "/d/quotes.csv?f=sl1t1c1ghpv&k=second&s=D.T",
        "E": "/d/quotes.csv?f=sl1t1c1ghpv&k=default&s=E",
    }


def test_a_failed_server_message_shows_an_error_item_until_the_next_good_one(bench):
    # The first message request fails (its redirect leads nowhere); quotes work.
    arguments = ["--message", "", "--fault", MESSAGE_PATH + "=redirect-dead:once", *PINNED]
    with StandInService(bench.run_dir, PROGRAM_PORT, arguments) as service:
        # The next cycle comes after the update interval.
        program, bar = start_with_settings(bench, settings("UP", update=2000))
        # The error item: a label with a space, so its quote request has no
        # symbol; it is asked for first, before UP.
        wait_for(lambda: len([r for r in service.requests() if r.path == MESSAGE_PATH]) >= 2 and
                 len(quote_requests(service)) >= 3, 20, what="a second cycle", service=service)
        exit_bar(bench, program)
    requests = service.requests()
    messages = [i for i, r in enumerate(requests) if r.path == MESSAGE_PATH]
    first_pass = [r.symbol for r in requests[messages[0] + 1:messages[1]] if r.path in QUOTE_PATHS]
    assert first_pass[:2] == [None, "UP"], "the error item first: %s" % first_pass
    later = [r.symbol for r in requests[messages[1] + 1:] if r.path in QUOTE_PATHS]
    assert later and None not in later, "gone after the good message: %s" % later


EXIT_TRIALS = 20
PROMPT_EXIT = 5.0


def test_exit_while_a_slow_pass_runs_ends_promptly_with_the_settings_intact(bench):
    symbols = "SLOW, IBM"
    arguments = ["--message", "", "--fault", "/d/quotes.csv#SLOW=slow:60000"]
    with StandInService(bench.run_dir, PROGRAM_PORT, arguments) as service:
        for trial in range(EXIT_TRIALS):
            asked = len([r for r in quote_requests(service) if r.symbol == "SLOW"])
            program, bar = start_with_settings(bench, settings(symbols))
            wait_for(lambda: len([r for r in quote_requests(service) if r.symbol == "SLOW"]) > asked, 20,
                     what="the slow quote request (trial %d)" % trial)
            bench.command(BAR_TITLE, EXIT_COMMAND)
            code = program.wait(PROMPT_EXIT)  # prompt, or the test fails
            assert code == 0, "trial %d: exit code %d" % (trial, code)
            saved = bench.query_key(SETTINGS_KEY)
            assert check_saved_types(saved) == []
            assert sorted(saved) == sorted(SETTING_NAMES)
            assert saved["Symbols"].data == symbols, (trial, saved["Symbols"])
            assert saved["Top"] == dword(BAR_TOP) and saved["Left"] == dword(BAR_LEFT)
            bench.wineserver_wait()
