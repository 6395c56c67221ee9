"""A fake of the chart API on 127.0.0.1 for the scripts that drive the real
service from outside (the browser check, the gateway figures): documented
answers for every symbol but BOGUS, which is Not Found, and a count of the
requests for each symbol. Every symbol rises from 180.78 to 182.63 through
the day."""

import collections
import http.server
import json
import threading

MARKET_CLOSE = 1796936400  # 2026-12-10 21:00 UTC: 4:00PM in New York
FIVE_MINUTES = 300
POINTS = 78  # 9:35AM to 4:00PM
UNKNOWN = "BOGUS"


PREVIOUS_CLOSE = 180.78
PRICE = 182.63


def chart_body(symbol, price=PRICE, previous_close=PREVIOUS_CLOSE):
    """The answer for the symbol, rising or falling from the previous close."""
    first = MARKET_CLOSE - (POINTS - 1) * FIVE_MINUTES
    closes = [previous_close + (price - previous_close) * i / (POINTS - 1) for i in range(POINTS)]
    return json.dumps({"chart": {"result": [{
        "meta": {"currency": "USD", "symbol": symbol, "regularMarketTime": MARKET_CLOSE, "gmtoffset": -18000,
                 "exchangeTimezoneName": "America/New_York", "regularMarketPrice": price,
                 "regularMarketDayHigh": max(price, previous_close) + 0.5,
                 "regularMarketDayLow": min(price, previous_close) - 0.5, "regularMarketVolume": 4321000,
                 "previousClose": previous_close},
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


UNAVAILABLE = b"<html><body>Service Unavailable</body></html>"


class FakeChart:
    """The running fake: its server and its request counts by symbol.
    prices maps a symbol to its (price, previous close); any other symbol
    rises from PREVIOUS_CLOSE to PRICE. Once failing is set, every request
    gets a 503 page, as when the source is down."""

    def __init__(self, prices=None):
        self.counts = collections.Counter()
        self.failing = False
        prices = dict(prices or {})
        lock = threading.Lock()
        fake = self

        class Handler(QuietHandler):
            def do_GET(self):
                symbol = self.path.split("?")[0].rsplit("/", 1)[-1]
                with lock:
                    fake.counts[symbol] += 1
                if fake.failing:
                    self.answer(503, UNAVAILABLE, "text/html")
                elif symbol == UNKNOWN:
                    self.answer(404, NOT_FOUND, "application/json")
                else:
                    self.answer(200, chart_body(symbol, *prices.get(symbol, (PRICE, PREVIOUS_CLOSE))),
                                "application/json")

        self.server = serve(Handler)
        self.base = "http://127.0.0.1:%d" % self.server.server_port

    def stop(self):
        self.server.shutdown()
        self.server.server_close()
