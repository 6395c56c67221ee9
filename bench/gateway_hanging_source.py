#!/usr/bin/env python3
"""Figures of velmoria-service's live gateway when its first source hangs,
against local fakes on 127.0.0.1:

- the time until 20 symbols asked at once are all priced, with a first
  source (chart) that never answers and a good second one (finnhub), the
  gateway's own time-outs (8 s) and four requests at a time;
- the requests the hanging source was sent meanwhile.

    bench/gateway_hanging_source.py [SERVICE_BINARY]   (default build/service/velmoria-service)

Takes under a minute; prints the figures."""

import http.client
import http.server
import json
import re
import subprocess
import sys
import threading
import time

SYMBOLS = ["S%d" % n for n in range(20)]
QUOTE_TARGET = "/d/quotes.csv?f=sl1t1c1ghpv&s=" + "+".join(SYMBOLS)
GIVE_UP_SECONDS = 120
ASK_PAUSE_SECONDS = 0.2
HANG_SECONDS = 60


class Fake(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, answer):
        self.requests = 0
        self.lock = threading.Lock()
        self.answer = answer
        super().__init__(("127.0.0.1", 0), Handler)
        threading.Thread(target=self.serve_forever, daemon=True).start()

    @property
    def base(self):
        return "http://127.0.0.1:%d" % self.server_address[1]


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with self.server.lock:
            self.server.requests += 1
        body = self.server.answer()
        if body is None:
            time.sleep(HANG_SECONDS)
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def priced(port):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=30)
    connection.request("GET", QUOTE_TARGET)
    lines = connection.getresponse().read().decode().splitlines()
    return sum(1 for line in lines if line.split(",")[1] != "N/A")


def main():
    binary = sys.argv[1] if len(sys.argv) > 1 else "build/service/velmoria-service"
    chart = Fake(lambda: None)
    finnhub = Fake(lambda: json.dumps({"c": 5.25, "d": 0.25, "dp": 5, "h": 5.5, "l": 5, "o": 5, "pc": 5,
                                        "t": 1765450000}).encode())
    service = subprocess.Popen(
        [binary, "--port", "0", "--log", "/dev/null", "--source", "chart,finnhub", "--key", "finnhub=K",
         "--provider-url", "chart=" + chart.base, "--provider-url", "finnhub=" + finnhub.base,
         "--limit", "chart=0", "--limit", "finnhub=0"],
        stdout=subprocess.PIPE, text=True)
    try:
        port = int(re.search(r":(\d+)", service.stdout.readline()).group(1))
        started = time.monotonic()
        while priced(port) < len(SYMBOLS) and time.monotonic() - started < GIVE_UP_SECONDS:
            time.sleep(ASK_PAUSE_SECONDS)
        print("20 symbols priced, first source hanging: %.1f s" % (time.monotonic() - started))
        print("requests to the hanging source: %d; to the good one: %d" % (chart.requests, finnhub.requests))
    finally:
        service.terminate()
        service.wait()


if __name__ == "__main__":
    main()
