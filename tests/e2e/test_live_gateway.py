"""The bar fed by the service in live mode, against a local fake of the
chart source: it shows the source's prices in their sign colours, N/A for a
symbol the source does not know, and the same quotes once every source
fails (the service serves its last good ones, never an invented price).

What the bar shows is compared with what it shows for the expected quote
lines served as they stand: each item's text, drawn in its colour, must
give the same pixels, wherever the scrolling has taken it."""

import pathlib
import sys
import time
import urllib.request

from bar_view import BLUE, GREEN, GRIP_WIDTH, RED, bar_image, wait_for
from program import exit_bar, start_with_settings
from registry_values import dword, sz
from service import PROGRAM_PORT, StandInService

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "service" / "tests"))
from fake_chart_api import FakeChart  # noqa: E402

BAR_LEFT, BAR_TOP, BAR_WIDTH = 40, 300, 1200
# Every field but the opening price (which this source does not send), in
# decimals, so that a cent's difference anywhere shows.
EVERY_FIELD_IN_DECIMALS = 0x01111113
SYMBOLS = "RISE, FALL, BOGUS"
# The fake's FALL closes below its previous close; RISE takes the fake's
# usual day (180.78 to 182.63); BOGUS is unknown to it.
FAKE_PRICES = {"FALL": (179.5, 180.78)}
# The legacy lines those answers make: last, time, change, low, high,
# previous close, volume.
EXPECTED_LINES = {
    "RISE": '"RISE",182.63,"4:00PM",+1.85,180.28,183.13,180.78,4321000\r\n',
    "FALL": '"FALL",179.50,"4:00PM",-1.28,179.00,181.28,180.78,4321000\r\n',
    "BOGUS": '"BOGUS",N/A,"N/A",N/A,N/A,N/A,N/A,N/A\r\n',
}
# Each item alone in its colour: rising green, falling red, N/A blue.
COLOURS = {"RISE": GREEN, "FALL": RED, "BOGUS": BLUE}
# The shortest cache period the service takes, and a bar that asks often.
CACHE_SECONDS = 15
UPDATE_MS = 10000
QUOTE_PATH = "/d/quotes.csv"
SHOWN_TIMEOUT = 90


def settings():
    return {"Top": dword(BAR_TOP), "Left": dword(BAR_LEFT), "Right": dword(BAR_LEFT + BAR_WIDTH),
            "Speed": dword(2), "DataMask": dword(EVERY_FIELD_IN_DECIMALS), "Update": dword(UPDATE_MS), "Symbols": sz(SYMBOLS)}


def whole_items(image):
    """For each item wholly on show, the pixels of its colour moved to
    start at x 0."""
    found = {}
    for symbol, colour in COLOURS.items():
        pixels = [(x, y) for y in range(image.height) for x in range(GRIP_WIDTH, image.width - GRIP_WIDTH)
                  if image.pixel(x, y) == colour]
        if not pixels:
            continue
        left = min(x for x, _ in pixels)
        right = max(x for x, _ in pixels)
        if GRIP_WIDTH + 1 < left and right < image.width - GRIP_WIDTH - 2:
            found[symbol] = frozenset((x - left, y) for x, y in pixels)
    return found


def wait_for_shapes(bench, bar, name, wanted=None):
    """Each item's shape as the bar shows it whole (and, if wanted is given,
    drawn as wanted), over as many looks as it takes."""
    found = {}

    def look():
        for symbol, shape in whole_items(bar_image(bench, bar, name)).items():
            if wanted is None or shape == wanted[symbol]:
                found[symbol] = shape
        return found if len(found) == len(COLOURS) else None
    return wait_for(look, SHOWN_TIMEOUT, interval=0.2,
                    what="every item whole on the bar as wanted (%s)" % name)


def quote_requests_since(service, since_ms):
    return {r.symbol for r in service.requests() if r.path == QUOTE_PATH and r.time_ms >= since_ms}


def service_clock_ms(service):
    """Milliseconds since the service started, as its request log counts
    them: the time of a request made now."""
    with urllib.request.urlopen("http://127.0.0.1:%d/status" % service.port, timeout=10):
        pass
    return service.requests()[-1].time_ms


def test_the_bar_shows_the_sources_quotes_keeps_them_when_it_fails_and_NA_for_an_unknown_symbol(bench):
    # How those lines look on the bar, served as they stand.
    pins = [argument for symbol, line in EXPECTED_LINES.items() for argument in ("--pin", symbol + ":" + line)]
    with StandInService(bench.run_dir, PROGRAM_PORT, ["--message", "", *pins]):
        program, bar = start_with_settings(bench, settings())
        expected = wait_for_shapes(bench, bar, "expected.png")
        exit_bar(bench, program)

    chart = FakeChart(FAKE_PRICES)
    live = ["--message", "", "--source", "chart", "--provider-url", "chart=" + chart.base,
            "--cache-seconds", str(CACHE_SECONDS)]
    try:
        with StandInService(bench.run_dir, PROGRAM_PORT, live) as service:
            program, bar = start_with_settings(bench, settings())
            wait_for_shapes(bench, bar, "live.png", expected)
            assert chart.counts["RISE"] >= 1 and chart.counts["BOGUS"] >= 1, chart.counts

            # Every source fails from now on; once the cached quotes are
            # old, the bar's next pass still gets them, not a new price.
            chart.failing = True
            failed_at = service_clock_ms(service)
            asked_before = sum(chart.counts.values())
            stale_from = failed_at + CACHE_SECONDS * 1000
            wait_for(lambda: quote_requests_since(service, stale_from) >= set(COLOURS), 3 * UPDATE_MS / 1000 + 60,
                     what="a pass of the bar after the cache period", service=service)
            assert sum(chart.counts.values()) > asked_before, "the service never asked the failing source"
            time.sleep(1.0)  # the last quote of that pass on the bar
            wait_for_shapes(bench, bar, "stale.png", expected)
            exit_bar(bench, program)
    finally:
        chart.stop()
