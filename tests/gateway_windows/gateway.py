"""velmoria-service.exe under Wine, driven from outside: started in the
bench's prefix, asked over HTTP on 127.0.0.1 (Wine's sockets are the
host's), stopped as the installer stops it."""

import os
import pathlib
import socket
import time
import urllib.error
import urllib.request

GATEWAY_EXE = pathlib.Path(os.environ.get("VELMORIA_GATEWAY_EXE", "velmoria-service.exe"))
# Where the installer writes the settings, in the prefix.
CONFIG_IN_PREFIX = "drive_c/ProgramData/Velmoria/velmoria-service.conf"
WINDOW_TITLE = "Velmoria Quote Gateway"
WM_CLOSE = 0x0010
EXIT_ALREADY_RUNNING = 3
START_TIMEOUT = 90.0  # a fresh prefix's first program starts Wine's services too
STOP_TIMEOUT = 30.0
HTTP_TIMEOUT = 15.0
QUOTE_FORMAT = "sl1t1c1ghpv"


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def port_taken(port):
    """Whether something listens on the port."""
    with socket.socket() as probe:
        probe.settimeout(2)
        return probe.connect_ex(("127.0.0.1", port)) == 0


def get(port, path):
    """(status, body) of a GET on the gateway."""
    try:
        with urllib.request.urlopen("http://127.0.0.1:%d%s" % (port, path), timeout=HTTP_TIMEOUT) as answer:
            return answer.status, answer.read().decode("latin-1")
    except urllib.error.HTTPError as error:
        return error.code, error.read().decode("latin-1")


def quote_line(port, symbol):
    status, body = get(port, "/d/quotes.csv?f=%s&s=%s" % (QUOTE_FORMAT, symbol))
    assert status == 200, body
    return body


def wait_for(condition, timeout, what, interval=0.2):
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise AssertionError("waited %.0f s for %s" % (timeout, what))
        time.sleep(interval)


def write_config(bench, text):
    """The settings file as the installer leaves it: CR LF lines."""
    path = bench.prefix / CONFIG_IN_PREFIX
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(text.replace("\n", "\r\n").encode())
    return path


def start(bench, *args, port):
    """The gateway started with the arguments, once it answers on the port."""
    assert not port_taken(port), "port %d is taken before the start" % port
    program = bench.launch(GATEWAY_EXE, *args)

    def answering():
        if not program.running():
            raise AssertionError("the gateway ended (exit %s):\n%s" % (program.popen.poll(), program.log()))
        return port_taken(port)
    wait_for(answering, START_TIMEOUT, "the gateway to listen on %d" % port)
    return program


def stop_command(bench):
    """velmoria-service --stop, as the installer may run it."""
    return bench.wine(GATEWAY_EXE, "--stop", check=False, timeout=STOP_TIMEOUT + 30)
