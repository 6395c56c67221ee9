#!/usr/bin/env python3
"""Figures of velmoria-service's live gateway against a fake chart API on
127.0.0.1:

- upstream requests per symbol per minute with 1 and with 50 bars asking
  (each bar asks for its symbols every few seconds, far more often than a
  real bar, for one minute);
- the time to answer the bar on a cache hit and on a miss;
- resident memory of the service before and after 10,000 distinct symbols.

    bench/gateway_figures.py [SERVICE_BINARY]     (default build/service/velmoria-service)

Takes about three minutes; prints the figures."""

import concurrent.futures
import http.client
import pathlib
import re
import statistics
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "service" / "tests"))
from fake_chart_api import FakeChart  # noqa: E402

SYMBOLS = ["IBM", "MSFT", "AAPL", "GE", "T"]
WINDOW_SECONDS = 60
ASK_EVERY_SECONDS = 5
TIMED_ASKS = 200
DISTINCT_SYMBOLS = 10000
PARALLEL_ASKERS = 8
QUOTE_TARGET = "/d/quotes.csv?f=sl1t1c1ghpv&s="


def ask(port, symbol):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=30)
    connection.request("GET", QUOTE_TARGET + symbol)
    body = connection.getresponse().read()
    connection.close()
    return body


def resident_kib(pid):
    status = pathlib.Path("/proc/%d/status" % pid).read_text()
    return int(re.search(r"VmRSS:\s+(\d+) kB", status).group(1))


class Service:
    def __init__(self, binary, chart):
        self.process = subprocess.Popen(
            [binary, "--port", "0", "--log", "/dev/null", "--source", "chart",
             "--provider-url", "chart=" + chart.base,
             # The fake has no limit: the figures are the gateway's own.
             "--limit", "chart=0"], stdout=subprocess.PIPE, text=True)
        self.port = int(re.search(r":(\d+)", self.process.stdout.readline()).group(1))

    def stop(self):
        self.process.terminate()
        self.process.wait()


def requests_per_symbol_per_minute(binary, bars):
    chart = FakeChart()
    counts = chart.counts
    service = Service(binary, chart)
    try:
        started = time.monotonic()
        with concurrent.futures.ThreadPoolExecutor(max_workers=bars) as pool:
            while time.monotonic() - started < WINDOW_SECONDS:
                round_started = time.monotonic()
                list(pool.map(lambda bar: [ask(service.port, s) for s in SYMBOLS], range(bars)))
                time.sleep(max(0.0, ASK_EVERY_SECONDS - (time.monotonic() - round_started)))
        asked = bars * len(SYMBOLS) * (WINDOW_SECONDS // ASK_EVERY_SECONDS)
        upstream = [counts[s] for s in SYMBOLS]
        return asked, upstream
    finally:
        service.stop()
        chart.stop()


def answer_times(binary):
    chart = FakeChart()
    service = Service(binary, chart)
    try:
        misses, hits = [], []
        for n in range(TIMED_ASKS):
            symbol = "M%d" % n
            for times in (misses, hits):  # the first ask goes upstream, the second is cached
                started = time.perf_counter()
                ask(service.port, symbol)
                times.append((time.perf_counter() - started) * 1000)
        return statistics.median(misses), max(misses), statistics.median(hits), max(hits)
    finally:
        service.stop()
        chart.stop()


def memory_with_distinct_symbols(binary):
    chart = FakeChart()
    counts = chart.counts
    service = Service(binary, chart)
    try:
        ask(service.port, "IBM")
        before = resident_kib(service.process.pid)
        with concurrent.futures.ThreadPoolExecutor(max_workers=PARALLEL_ASKERS) as pool:
            list(pool.map(lambda n: ask(service.port, "D%d" % n), range(DISTINCT_SYMBOLS)))
        after = resident_kib(service.process.pid)
        with concurrent.futures.ThreadPoolExecutor(max_workers=PARALLEL_ASKERS) as pool:
            list(pool.map(lambda n: ask(service.port, "E%d" % n), range(DISTINCT_SYMBOLS)))
        again = resident_kib(service.process.pid)
        return before, after, again, sum(counts.values()) - 1
    finally:
        service.stop()
        chart.stop()


def main():
    binary = sys.argv[1] if len(sys.argv) > 1 else str(ROOT / "build" / "service" / "velmoria-service")
    for bars in (1, 50):
        asked, upstream = requests_per_symbol_per_minute(binary, bars)
        print("%2d bar(s), each asking for %d symbols every %d s for %d s: %d asks, upstream requests per symbol: %s"
              % (bars, len(SYMBOLS), ASK_EVERY_SECONDS, WINDOW_SECONDS, asked, upstream))
    miss, miss_max, hit, hit_max = answer_times(binary)
    print("answer to the bar over HTTP, %d symbols: miss median %.2f ms (max %.2f), hit median %.2f ms (max %.2f)"
          % (TIMED_ASKS, miss, miss_max, hit, hit_max))
    before, after, again, upstream = memory_with_distinct_symbols(binary)
    print("resident memory: %d KiB with one symbol, %d KiB after %d distinct symbols, %d KiB after %d more "
          "(%d upstream requests for them)" % (before, after, DISTINCT_SYMBOLS, again, DISTINCT_SYMBOLS, upstream))


if __name__ == "__main__":
    main()
