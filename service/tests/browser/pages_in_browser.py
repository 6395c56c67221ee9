#!/usr/bin/env python3
"""The service's detail and help pages in a real browser (headless Chromium):
each renders, the live detail page draws its chart with times along the axis,
and nothing is wider than a narrow window.

    pages_in_browser.py SERVICE_BINARY [CHROMIUM]

velmoria-service runs in live mode against a fake chart API on 127.0.0.1. A
small proxy in front of it serves the pages and a harness page that holds
each in a narrow frame and measures it once laid out, writing what it found
into the harness, which --dump-dom then prints. Exits 77 (skipped) without Chromium."""

import html
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import urllib.error
import urllib.request

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent))
from fake_chart_api import POINTS, FakeChart, QuietHandler, serve  # noqa: E402

SKIPPED = 77
NARROW_WIDTH = 320
FRAME_HEIGHT = 600
# Headless Chromium will not make a window narrower than 500 px, so the
# pages go into frames of the narrow width instead.
WINDOW_WIDTH = 800
WINDOW_HEIGHT = 900
CHROMIUM_SECONDS = 60
VIRTUAL_TIME_MS = 2000
# The live detail page first: its chart is checked too.
PAGES = [
    "/orvo.html?s=IBM&v=5.6&ban=21",
    "/help.html",
    "/",
    "/orvo.html?s=BOGUS&v=5.6&ban=21",
    "/orvo.html?url=http://www.example.com/a/very/long/address/that/goes/on/and/on/without/any/place/to/break&v=5.6",
]
CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--window-size=%d,%d" % (WINDOW_WIDTH, WINDOW_HEIGHT),
    "--virtual-time-budget=%d" % VIRTUAL_TIME_MS,
]

# The harness page: every page in a frame as wide as a narrow window, and a
# script that measures each once all have loaded and writes what it found.
HARNESS = """<!DOCTYPE html><html><body style="margin:0">%s
<script>
var frames = Array.prototype.slice.call(document.querySelectorAll('iframe'));
var loaded = 0;
function measure(frame) {
  var doc = frame.contentDocument;
  var width = doc.documentElement.clientWidth;
  var wide = [];
  doc.querySelectorAll('body *').forEach(function (e) {
    var box = e.getBoundingClientRect();
    if (box.width > 0 && box.right > width + 0.5) wide.push(e.tagName + ' ' + Math.round(box.right));
  });
  var line = doc.querySelector('svg.chart polyline.prices');
  var cut = [];
  doc.querySelectorAll('svg.chart').forEach(function (svg) {
    var right = svg.viewBox.baseVal.width;
    svg.querySelectorAll('text').forEach(function (t) {
      var box = t.getBBox();
      if (box.x < -0.5 || box.x + box.width > right + 0.5) {
        cut.push(t.textContent + ' ' + Math.round(box.x) + '..' + Math.round(box.x + box.width));
      }
    });
  });
  return {
    page: frame.getAttribute('src'),
    width: width,
    scrollWidth: doc.documentElement.scrollWidth,
    wide: wide.slice(0, 10),
    chartWidth: line ? line.getBoundingClientRect().width : 0,
    chartPoints: line ? line.points.numberOfItems : 0,
    cut: cut,
    labels: Array.prototype.map.call(doc.querySelectorAll('svg.chart text'), function (t) { return t.textContent; }),
    headings: doc.querySelectorAll('h1').length
  };
}
frames.forEach(function (frame) {
  frame.onload = function () {
    if (++loaded < frames.length) return;
    var out = document.createElement('pre');
    out.id = 'measured';
    out.textContent = JSON.stringify(frames.map(measure));
    document.body.appendChild(out);
  };
});
</script></body></html>"""
FRAME = '<iframe src="%s" style="width:%dpx;height:%dpx;border:0;display:block"></iframe>'


def proxy_for(service_port, pages):
    """The service's pages and the harness, from one origin, so that the
    harness may look into its frames."""
    class Proxy(QuietHandler):
        def do_GET(self):
            if self.path == "/harness.html":
                frames = "".join(FRAME % (html.escape(page), NARROW_WIDTH, FRAME_HEIGHT) for page in pages)
                self.answer(200, (HARNESS % frames).encode(), "text/html")
                return
            try:
                with urllib.request.urlopen("http://127.0.0.1:%d%s" % (service_port, self.path)) as answer:
                    self.answer(answer.status, answer.read(), answer.headers["Content-Type"])
            except urllib.error.HTTPError as error:
                self.answer(error.code, error.read(), error.headers["Content-Type"] or "text/plain")
    return Proxy


def measure(chromium, profile, url):
    result = subprocess.run([chromium, *CHROMIUM_FLAGS, "--user-data-dir=" + profile, "--dump-dom", url],
                            capture_output=True, text=True, timeout=CHROMIUM_SECONDS)
    found = re.search(r'<pre id="measured">(.*?)</pre>', result.stdout, re.S)
    if not found:
        raise AssertionError("the pages did not finish loading in Chromium\n%s" % result.stderr[-2000:])
    return json.loads(html.unescape(found.group(1)))


def check_fits(name, measured, failures):
    if measured["headings"] != 1:
        failures.append("%s: %d headings, not one: the page did not render" % (name, measured["headings"]))
    if measured["scrollWidth"] > measured["width"] or measured["wide"]:
        failures.append("%s: wider than %d px: scroll width %d, %s" %
                        (name, measured["width"], measured["scrollWidth"], measured["wide"]))
    if measured["cut"]:
        failures.append("%s: chart labels cut at the chart's edge: %s" % (name, measured["cut"]))


def main():
    service_binary = sys.argv[1]
    chromium = sys.argv[2] if len(sys.argv) > 2 else shutil.which("chromium")
    if not chromium or not os.path.exists(chromium):
        print("skipped: Chromium is not installed")
        return SKIPPED
    chart = FakeChart()
    service = subprocess.Popen([service_binary, "--port", "0", "--log", os.devnull, "--source", "chart",
                                "--provider-url", "chart=" + chart.base],
                               stdout=subprocess.PIPE, text=True)
    try:
        ready = service.stdout.readline()
        port = int(re.search(r"listening on [^:]+:(\d+)", ready).group(1))
        proxy = serve(proxy_for(port, PAGES))
        with tempfile.TemporaryDirectory() as profile:
            measured = measure(chromium, profile, "http://127.0.0.1:%d/harness.html" % proxy.server_port)
        failures = []
        for page in measured:
            print("at %d px: %s" % (NARROW_WIDTH, json.dumps(page)))
            check_fits(page["page"], page, failures)
        detail = measured[0]
        if detail["chartPoints"] != POINTS or detail["chartWidth"] < NARROW_WIDTH / 2:
            failures.append("detail page: chart not drawn: %d points, %d px wide" %
                            (detail["chartPoints"], detail["chartWidth"]))
        if "10:00AM" not in detail["labels"] or "4:00PM" not in detail["labels"]:
            failures.append("detail page: no times along the axis: %s" % detail["labels"])
        if measured[3]["chartPoints"] != 0:
            failures.append("unknown symbol's page: a chart without a quote")
        for failure in failures:
            print("FAILED:", failure)
        return 1 if failures else 0
    finally:
        service.terminate()
        service.wait()


if __name__ == "__main__":
    sys.exit(main())
