"""A fake of the chart API on 127.0.0.1 for the scripts that drive the real
service from outside (the browser check, the gateway figures): documented
answers for every symbol but BOGUS, which is Not Found, and a count of the
requests for each symbol."""

import collections
import http.server
import json
import threading

MARKET_CLOSE = 1796936400  # 2026-12-10 21:00 UTC: 4:00PM in New York
FIVE_MINUTES = 300
POINTS = 78  # 9:35AM to 4:00PM
UNKNOWN = "BOGUS"


def chart_body(symbol):
    first = MARKET_CLOSE - (POINTS - 1) * FIVE_MINUTES
    closes = [180.78 + (182.63 - 180.78) * i / (POINTS - 1) for i in range(POINTS)]
    return json.dumps({"chart": {"result": [{
        "meta": {"currency": "USD", "symbol": symbol, "regularMarketTime": MARKET_CLOSE, "gmtoffset": -18000,
                 "exchangeTimezoneName": "America/New_York", "regularMarketPrice": 182.63,
                 "regularMarketDayHigh": 183.12, "regularMarketDayLow": 180.5, "regularMarketVolume": 4321000,
                 "previousClose": 180.78},
        "timestamp": [first + i * FIVE_MINUTES for i in range(POINTS)],
        "indicators": {"quote": [{"open": [180.9] + [None] * (POINTS - 1), "close": closes}]}}],
        "error": None}}).encode()


NOT_FOUND = json.dumps({"chart": {"result": None, "error": {"code": "Not Found"}}}).encode()


class QuietHandler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def answer(self, status, body, content_type):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


def serve(handler):
    """The handler's server on a free port of 127.0.0.1, in a thread."""
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def start_fake_chart():
    """The fake and its request counts by symbol."""
    counts = collections.Counter()
    lock = threading.Lock()

    class FakeChart(QuietHandler):
        def do_GET(self):
            symbol = self.path.split("?")[0].rsplit("/", 1)[-1]
            with lock:
                counts[symbol] += 1
            if symbol == UNKNOWN:
                self.answer(404, NOT_FOUND, "application/json")
            else:
                self.answer(200, chart_body(symbol), "application/json")

    return serve(FakeChart), counts
