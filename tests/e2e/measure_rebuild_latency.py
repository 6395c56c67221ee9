"""Measures the time from OK in the symbol entry bar to the new list's first
quote request, while a slow pass over a long list runs (every quote 20 ms
late). Printed, never asserted (a timing depends on the machine).

    ctest --test-dir build -R e2e_run_command -N -V   # shows the environment
    <that environment> python3 -m pytest -s tests/e2e/measure_rebuild_latency.py
"""

import urllib.error
import urllib.request

import pytest

import menus
import pointer
from bar_view import wait_for
from program import exit_bar, placed, start_with_settings
from registry_values import sz
from service import PROGRAM_PORT, StandInService

SLOW_QUOTE_MS = 20
NEW_LIST = "NEWA, NEWB"
PASS_UNDER_WAY = 20  # quote requests of the old list seen before OK


def entry_bar_shown(bench, ticker):
    return [w for w in bench.windows()
            if w.class_name == "#32770" and w.owner == ticker.hwnd and w.visible and not w.title]


@pytest.mark.parametrize("count", [2000, 20000])
def test_ok_to_the_new_lists_first_quote_request(bench, count):
    old = ", ".join("S%d" % i for i in range(count))
    arguments = ["--message", "", "--fault", "/d/quotes.csv=slow:%d" % SLOW_QUOTE_MS]
    with StandInService(bench.run_dir, PROGRAM_PORT, arguments) as service:
        program, ticker = start_with_settings(bench, {**placed(100, 300, 1000), "Symbols": sz(old)})
        wait_for(lambda: sum(1 for r in service.requests() if (r.symbol or "").startswith("S")) >= PASS_UNDER_WAY,
                 120, interval=0.2, what="the old list's pass under way", service=service)
        menus.choose(bench, ticker, "Add/Remove Symbols")
        wait_for(lambda: entry_bar_shown(bench, ticker), 60, what="the entry bar")
        pointer.type_text(bench, NEW_LIST)
        # A request of our own marks the moment of OK in the service's clock.
        try:
            urllib.request.urlopen("http://127.0.0.1:%d/ok-pressed" % service.port, timeout=10).read()
        except urllib.error.HTTPError:
            pass  # a page it does not have: logged all the same
        pointer.keys(bench, "Return")
        first = wait_for(lambda: [r for r in service.requests() if r.symbol in ("NEWA", "NEWB")], 120,
                         interval=0.05, what="the new list's first quote request", service=service)[0]
        marker = [r for r in service.requests() if r.path == "/ok-pressed"][0]
        old_asked = sum(1 for r in service.requests() if (r.symbol or "").startswith("S"))
        print("\n%d symbols, each quote %d ms late: OK to the new list's first quote request %.2f s "
              "(%d quotes of the old list asked in all)"
              % (count, SLOW_QUOTE_MS, (first.time_ms - marker.time_ms) / 1000.0, old_asked))
        exit_bar(bench, program)
