"""The real exe against a quote source that misbehaves in every way the
stand-in knows: the bar keeps scrolling and answering, its memory stays
bounded, Exit stays prompt, and the next good answer brings the quote back.
A source that trickles its answer in for longer than the download's
deadline is given up at the deadline, and the next pass asks again."""

import pathlib
import subprocess
import time

import pytest

from bar_view import GREEN, RED, bar_image, text_columns, wait_for
from program import BAR_TITLE, EXIT_COMMAND, start_with_settings
from registry_values import dword, sz
from service import PROGRAM_PORT, StandInService

BAR_LEFT, BAR_TOP, BAR_WIDTH = 100, 200, 423
UPDATE_MS = 2000
PROMPT_EXIT = 5.0
POLL = 0.2  # seconds between looks
# The request, and the ten redirects a download follows.
REDIRECT_REQUESTS = 11
# What the bar may hold, whatever a server sends (Wine's own share included).
MOST_RESIDENT_KB = 200 * 1024

GOOD = '"GOOD",10.5,"4:00PM",+0.5,10,11,10,100\r\n'
BAD_NOW_GOOD = '"BAD",9.5,"4:00PM",-0.5,9,10,10,100\r\n'

# The exe gives a download up two minutes after it began, and a read waits
# at most the 30-second receive time-out, which a trickle never lets pass.
DEADLINE_S = 120
SILENCE_S = 30
# Two bytes a second: the head is in after about 40 s, and at the deadline
# the long first field of BAD's line, which sets nothing, is still coming;
# the whole answer would take over four minutes.
SLOW_TRICKLE = "2"
SLOW_LINE = '"BAD' + "X" * 400 + '",9.5,"4:00PM",-0.5,9,10,10,100\r\n'

# Mode, argument: each answers the quote requests for BAD only.
HOSTILE_MODES = [
    ("hang", "600000"),
    ("stall", "600000"),
    ("trickle", "200"),
    ("close", None),
    ("reset", None),
    ("cut", None),
    ("badchunk", None),
    ("redirect-loop", None),
    ("redirect-https", None),
    ("redirect-dead", None),
    ("html500", None),
    ("big", "100"),
]


def settings():
    return {"Top": dword(BAR_TOP), "Left": dword(BAR_LEFT), "Right": dword(BAR_LEFT + BAR_WIDTH),
            "Speed": dword(2), "Update": dword(UPDATE_MS), "Symbols": sz("GOOD, BAD")}


def columns(bench, bar, colour, name):
    return text_columns(bar_image(bench, bar, name), colour)


def program_pid(bench):
    window = bench.x_windows(BAR_TITLE)[0]
    out = subprocess.run(["xprop", "-id", window, "_NET_WM_PID"], env=bench.environment(), capture_output=True,
                         check=True, text=True).stdout
    return int(out.rsplit("=", 1)[1])


def resident_kb(pid):
    for line in pathlib.Path("/proc/%d/status" % pid).read_text().splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


def still_scrolls(bench, bar):
    """GOOD's green text moves between two looks."""
    def moved():
        first = columns(bench, bar, GREEN, "first.png")
        time.sleep(0.5)
        second = columns(bench, bar, GREEN, "second.png")
        return first and second and min(first) != min(second)
    return wait_for(moved, 30, interval=POLL, what="GOOD moving on the bar")


@pytest.mark.parametrize("mode, argument", HOSTILE_MODES, ids=[mode for mode, _ in HOSTILE_MODES])
def test_a_hostile_quote_source_cannot_hurt_the_bar(bench, mode, argument):
    fault = "/d/quotes.csv#BAD=" + mode + ("" if argument is None else ":" + argument)
    arguments = ["--message", "", "--pin", "GOOD:" + GOOD, "--fault", fault]
    with StandInService(bench.run_dir, PROGRAM_PORT, arguments) as service:
        program, bar = start_with_settings(bench, settings())
        pid = program_pid(bench)
        wait_for(lambda: any(r.symbol == "BAD" for r in service.requests()), 20, interval=POLL,
                 what="BAD's quote request")

        # The bar keeps scrolling and answering while BAD's answer goes wrong.
        peak = resident_kb(pid)
        still_scrolls(bench, bar)
        for _ in range(10):
            peak = max(peak, resident_kb(pid))
            time.sleep(0.3)
        print("%s: resident %d KB at most" % (mode, peak))
        assert peak < MOST_RESIDENT_KB, "%s: %d KB resident" % (mode, peak)

        if mode == "redirect-loop":
            # The download follows ten redirects and gives up: the pass ends,
            # and the next one asks again.
            def bad_requests():
                return sum(1 for r in service.requests() if r.symbol == "BAD")
            wait_for(lambda: bad_requests() >= 2 * REDIRECT_REQUESTS, 30, interval=POLL,
                     what="a second pass asking for BAD")

        # The next good answer brings BAD's quote back, in red.
        service.control("fault", path="/d/quotes.csv", symbol="BAD", mode="none")
        service.control("pin", symbol="BAD", line=BAD_NOW_GOOD)
        wait_for(lambda: columns(bench, bar, RED, "back.png"), 90, interval=POLL, what="BAD's quote in red")

        bench.command(BAR_TITLE, EXIT_COMMAND)
        assert program.wait(PROMPT_EXIT) == 0


def test_a_trickle_slower_than_the_deadline_is_given_up_and_asked_for_again(bench):
    fault = "/d/quotes.csv#BAD=trickle:" + SLOW_TRICKLE
    arguments = ["--message", "", "--pin", "GOOD:" + GOOD, "--pin", "BAD:" + SLOW_LINE, "--fault", fault]
    with StandInService(bench.run_dir, PROGRAM_PORT, arguments) as service:
        program, bar = start_with_settings(bench, settings())

        def bad_requests():
            return [r for r in service.requests() if r.symbol == "BAD"]

        wait_for(bad_requests, 20, interval=POLL, what="BAD's quote request")
        still_scrolls(bench, bar)

        # The download ends at its deadline, the pass with it, and the next
        # pass asks again after the update interval.
        wait_for(lambda: len(bad_requests()) >= 2, DEADLINE_S + SILENCE_S + 20, interval=1.0,
                 what="a second pass asking for BAD", service=service)
        first, second = bad_requests()[:2]
        waited_s = (second.time_ms - first.time_ms) / 1000.0
        print("trickle: BAD asked again after %.1f s" % waited_s)
        assert DEADLINE_S <= waited_s <= DEADLINE_S + SILENCE_S + UPDATE_MS / 1000.0 + 5
        # What came before the deadline set nothing: BAD shows no quote.
        assert not columns(bench, bar, RED, "given-up.png")
        still_scrolls(bench, bar)

        service.control("fault", path="/d/quotes.csv", symbol="BAD", mode="none")
        service.control("pin", symbol="BAD", line=BAD_NOW_GOOD)
        wait_for(lambda: columns(bench, bar, RED, "back.png"), DEADLINE_S + SILENCE_S, interval=POLL,
                 what="BAD's quote in red")

        bench.command(BAR_TITLE, EXIT_COMMAND)
        assert program.wait(PROMPT_EXIT) == 0
