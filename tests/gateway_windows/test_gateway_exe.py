"""velmoria-service.exe, the gateway's Windows build, under Wine: simulated
quotes with no arguments; live quotes from the local chart fake over plain
HTTP (the https path is the system's, which only the internet can try);
one instance per machine; a clean stop on the installer's command; the
settings file under ProgramData, over which the command line wins; keys
kept out of everything it shows."""

import json
import socket
import threading

import pytest

from fake_chart_api import PRICE, FakeChart, QuietHandler, serve
from gateway import (EXIT_ALREADY_RUNNING, GATEWAY_EXE, STOP_TIMEOUT, WINDOW_TITLE, WM_CLOSE, free_port, get, port_taken,
                     quote_line, start, stop_command, wait_for, write_config)

DEFAULT_PORT = 8642
CACHE_SECONDS = 15  # the shortest the gateway takes
SECRET = "K3Y-NEVER-SHOWN-51"
NOT_AVAILABLE = '"BOGUS",N/A,"N/A",N/A,N/A,N/A,N/A,N/A\r\n'


def live_arguments(chart, port):
    return ["--port", port, "--source", "chart", "--provider-url", "chart=" + chart.base,
            "--limit", "chart=0", "--cache-seconds", CACHE_SECONDS]


def stopped_cleanly(program, port):
    assert program.wait(STOP_TIMEOUT) == 0, program.log()
    # The port is free again: a new socket can listen on it (reusing the
    # address only as far as connections that ended allow, never beside a
    # listener).
    with socket.socket() as again:
        again.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        again.bind(("127.0.0.1", port))
        again.listen()


def test_no_arguments_serves_simulated_quotes_on_8642(bench):
    if port_taken(DEFAULT_PORT):
        pytest.skip("port %d is in use by another program on this machine" % DEFAULT_PORT)
    program = start(bench, port=DEFAULT_PORT)
    line = quote_line(DEFAULT_PORT, "IBM")
    fields = line.rstrip("\r\n").split(",")
    assert fields[0] == '"IBM"' and len(fields) == 8 and float(fields[1]) > 0, line
    assert line.endswith("\r\n")
    _, message = get(DEFAULT_PORT, "/getmessage.asp?ID=1")
    assert "Simulated Quotes" in message
    assert json.loads(get(DEFAULT_PORT, "/status")[1]) == {"mode": "simulated"}
    assert stop_command(bench).code == 0
    stopped_cleanly(program, DEFAULT_PORT)


def test_live_quotes_from_the_fake_na_for_unknown_and_stale_once_it_goes(bench):
    chart = FakeChart()
    port = free_port()
    try:
        program = start(bench, *live_arguments(chart, port), port=port)
        assert quote_line(port, "IBM") == '"IBM",182.63,"4:00PM",+1.85,180.28,183.13,180.78,4321000\r\n'
        assert quote_line(port, "BOGUS") == NOT_AVAILABLE
        assert chart.counts["IBM"] == 1 and chart.counts["BOGUS"] == 1
    finally:
        chart.stop()
    # The source is gone; once the cache period is over the gateway asks
    # again, fails, and serves the last good quote, never an invented one.
    def source_failed():
        quote_line(port, "IBM")
        status = json.loads(get(port, "/status")[1])
        return status if status["sources"][0]["lastError"] else None
    status = wait_for(source_failed, CACHE_SECONDS + 60, "the gateway to find the source gone", interval=2)
    assert status["sources"][0]["answers"]["error"] >= 1
    assert quote_line(port, "IBM").startswith('"IBM",%.2f,"4:00PM"' % PRICE)
    assert quote_line(port, "MSFT") == NOT_AVAILABLE.replace("BOGUS", "MSFT")
    bench.post(WINDOW_TITLE, WM_CLOSE)
    stopped_cleanly(program, port)


def test_a_second_instance_says_so_and_ends_while_the_first_serves(bench):
    first_port, second_port = free_port(), free_port()
    first = start(bench, "--port", first_port, port=first_port)
    second = bench.launch(GATEWAY_EXE, "--port", second_port)
    assert second.wait(60) == EXIT_ALREADY_RUNNING, second.log()
    assert "already running" in second.log()
    assert not port_taken(second_port)
    assert first.running()
    assert quote_line(first_port, "IBM").startswith('"IBM",')
    assert stop_command(bench).code == 0
    stopped_cleanly(first, first_port)


@pytest.mark.parametrize("how", ["stop command", "WM_CLOSE"])
def test_the_installers_stop_ends_it_cleanly(bench, how):
    port = free_port()
    program = start(bench, "--port", port, port=port)
    # A connection left open does not hold the stop up.
    idle = socket.create_connection(("127.0.0.1", port))
    try:
        if how == "stop command":
            result = stop_command(bench)
            assert result.code == 0 and "stopped" in result.output, result
        else:
            bench.post(WINDOW_TITLE, WM_CLOSE)
        stopped_cleanly(program, port)
    finally:
        idle.close()
    assert "not running" in stop_command(bench).output


def test_the_settings_file_is_read_and_the_command_line_wins(bench):
    chart = FakeChart()
    file_port, port = free_port(), free_port()
    write_config(bench, "# the installer's\nsource=chart\nprovider-url=chart=%s\nlimit=chart=0\n"
                        "cache-seconds=600\nport=%d\nnot a setting\n" % (chart.base, file_port))
    try:
        program = start(bench, "--cache-seconds", CACHE_SECONDS, "--port", port, port=port)
        assert not port_taken(file_port)
        assert "line 7: not a setting" in program.log()
        assert quote_line(port, "IBM").startswith('"IBM",182.63,')
        # The period is the command line's 15 s, not the file's 600 s: the
        # source is asked again once it is over.
        wait_for(lambda: quote_line(port, "IBM") and chart.counts["IBM"] >= 2, CACHE_SECONDS + 30,
                 "a second request to the source after %d s" % CACHE_SECONDS, interval=1)
    finally:
        chart.stop()
    assert stop_command(bench).code == 0
    stopped_cleanly(program, port)


class FakeKeyedSource:
    """A keyed source on 127.0.0.1 that refuses every key, and keeps the
    keys it was sent."""

    def __init__(self):
        self.tokens = []
        fake = self
        lock = threading.Lock()

        class Handler(QuietHandler):
            def do_GET(self):
                with lock:
                    fake.tokens.append(self.headers.get("X-Finnhub-Token"))
                self.answer(401, b'{"error":"Invalid API key."}', "application/json")

        self.server = serve(Handler)
        self.base = "http://127.0.0.1:%d" % self.server.server_port

    def stop(self):
        self.server.shutdown()
        self.server.server_close()


def test_no_key_shows_in_the_status_the_log_or_an_error(bench):
    keyed = FakeKeyedSource()
    port = free_port()
    log = bench.run_dir / "requests.log"
    write_config(bench, "source=finnhub\nkey=finnhub=%s\nprovider-url=finnhub=%s\n" % (SECRET, keyed.base))
    try:
        program = start(bench, "--port", port, "--log", "requests.log", port=port)
        assert quote_line(port, "IBM") == NOT_AVAILABLE.replace("BOGUS", "IBM")
        assert keyed.tokens == [SECRET], "the key went upstream, and only there"
        shown = [get(port, path)[1] for path in ("/status", "/orvo.html?s=IBM&v=1&ban=1")]
        status = json.loads(shown[0])
        assert status["sources"][0]["key"] == "set" and "401" in status["sources"][0]["lastError"]
        result = stop_command(bench)
        stopped_cleanly(program, port)
    finally:
        keyed.stop()
    written = [log.read_text(errors="replace"), program.log(), result.output, result.errors]
    for text in shown + written:
        assert SECRET not in text


class RedirectingKeyedSource:
    """A keyed source on 127.0.0.1 that answers with a redirect: for IBM to
    another port, for MSFT to its own address over plain http; every
    request that reaches either port is kept with the key it carried."""

    def __init__(self):
        self.reached = []
        fake = self
        lock = threading.Lock()

        class Elsewhere(QuietHandler):
            def do_GET(self):
                with lock:
                    fake.reached.append(("elsewhere", self.path, self.headers.get("X-Finnhub-Token")))
                self.answer(200, b'{"c":1.5,"pc":1.0,"t":1796936400}', "application/json")

        self.elsewhere = serve(Elsewhere)

        class Source(QuietHandler):
            def do_GET(self):
                with lock:
                    fake.reached.append(("source", self.path, self.headers.get("X-Finnhub-Token")))
                if self.path.startswith("/followed"):
                    self.answer(200, b'{"c":1.5,"pc":1.0,"t":1796936400}', "application/json")
                    return
                target = ("http://127.0.0.1:%d/took" % fake.elsewhere.server_port if "IBM" in self.path
                          else "/followed")
                self.send_response(302)
                self.send_header("Location", target)
                self.send_header("Content-Length", "0")
                self.end_headers()

        self.server = serve(Source)
        self.base = "http://127.0.0.1:%d" % self.server.server_port

    def stop(self):
        for server in (self.server, self.elsewhere):
            server.shutdown()
            server.server_close()


def test_a_key_follows_no_redirect_to_another_port_or_over_plain_http(bench):
    keyed = RedirectingKeyedSource()
    write_config(bench, "source=finnhub\nkey=finnhub=%s\nprovider-url=finnhub=%s\n" % (SECRET, keyed.base))
    try:
        # A refused redirect is a failed answer, after which the source rests
        # for a while: each kind of redirect gets a gateway of its own.
        for symbol in ("IBM", "MSFT"):
            port = free_port()
            program = start(bench, "--port", port, port=port)
            assert quote_line(port, symbol) == NOT_AVAILABLE.replace("BOGUS", symbol)
            assert stop_command(bench).code == 0
            stopped_cleanly(program, port)
    finally:
        keyed.stop()
    assert [where for where, _, _ in keyed.reached] == ["source", "source"], keyed.reached
    assert all(token == SECRET for _, _, token in keyed.reached)
