"""Measures the time from launching velmoria.exe to its bar being shown.

Printed and written to <build>/e2e/startup-time.txt; never asserted (a
timing depends on the machine). "cold" starts with no Wine server running
for the prefix, as a user's first start of a session; "warm" finds one.
"""

import statistics
import time

from program import BAR_TITLE, SHOW_TIMEOUT, exit_bar, store_settings
from registry_values import dword

PLACE = {"Top": dword(300), "Left": dword(200), "Right": dword(600)}
WARM_STARTS = 3
POLL_INTERVAL = 0.01


def time_to_bar(bench, program):
    deadline = program.started_at + SHOW_TIMEOUT
    while time.monotonic() < deadline:
        if bench.x_window_shown(BAR_TITLE):
            return time.monotonic() - program.started_at
        assert program.running(), "the program ended before its bar was shown\n" + program.log()
        time.sleep(POLL_INTERVAL)
    raise AssertionError("no bar after %.1f s" % SHOW_TIMEOUT)


def test_launch_to_bar_shown(bench):
    store_settings(bench, PLACE)
    bench.wineserver_wait()

    program = bench.launch()
    cold = time_to_bar(bench, program)
    exit_bar(bench, program)

    warm = []
    for _ in range(WARM_STARTS):
        program = bench.launch()
        warm.append(time_to_bar(bench, program))
        exit_bar(bench, program)

    report = ("launch to bar shown: cold %.3f s; warm median %.3f s (min %.3f, max %.3f, %d starts)"
              % (cold, statistics.median(warm), min(warm), max(warm), len(warm)))
    print(report)
    (bench.paths.work / "startup-time.txt").write_text(report + "\n")
