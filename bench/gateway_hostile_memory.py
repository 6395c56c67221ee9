#!/usr/bin/env python3
"""Resident memory of velmoria-service's live gateway against hostile answers
from a fake chart API on 127.0.0.1: bodies of up to 2 MiB (the gateway's cap)
that nest deep (all '['), that hold a value every few bytes ('[{},{},...]',
'["","",...]'), or that nest deep inside an otherwise good answer. Four
symbols are asked at once, for several rounds of each kind.

    bench/gateway_hostile_memory.py [SERVICE_BINARY]   (default build/service/velmoria-service)

Prints the resident size (VmRSS) when idle, after each kind, and the peak
(VmHWM), in MiB. Takes about half a minute."""

import concurrent.futures
import pathlib
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "service" / "tests"))
sys.path.insert(0, str(ROOT / "bench"))
from fake_chart_api import QuietHandler, chart_body, serve  # noqa: E402
from gateway_figures import ask  # noqa: E402

BODY_CAP = 2 * 1024 * 1024
HALF = BODY_CAP // 2
AT_ONCE = 4
ROUNDS = 5
MIB = 1024.0

HOSTILE = {
    "2 MiB of '['": b"[" * BODY_CAP,
    "'[' then ']', 1 MiB each": b"[" * HALF + b"]" * HALF,
    "2 MiB of '{},' in an array": b"[" + b"{}," * (BODY_CAP // 3 - 1) + b"{}]",
    "2 MiB of '\"\",' in an array": b"[" + b'"",' * (BODY_CAP // 3 - 1) + b'""]',
    "a good answer with 1 MiB of nesting in it": chart_body("X").replace(
        b'"meta": {', b'"meta": {"x": ' + b"[" * (HALF // 2) + b"]" * (HALF // 2) + b", ", 1),
}


def status_kib(pid, field):
    status = pathlib.Path("/proc/%d/status" % pid).read_text()
    return int(re.search(field + r":\s+(\d+) kB", status).group(1))


def main():
    binary = sys.argv[1] if len(sys.argv) > 1 else str(ROOT / "build" / "service" / "velmoria-service")
    current = {"body": b"{}"}

    class Handler(QuietHandler):
        def do_GET(self):
            self.answer(200, current["body"], "application/json")

    fake = serve(Handler)
    service = subprocess.Popen(
        [binary, "--port", "0", "--log", "/dev/null", "--source", "chart", "--provider-url",
         "chart=http://127.0.0.1:%d" % fake.server_port, "--limit", "chart=0", "--cache-seconds", "15"],
        stdout=subprocess.PIPE, text=True)
    try:
        port = int(re.search(r":(\d+)", service.stdout.readline()).group(1))
        ask(port, "IDLE")
        print("idle: %.1f MiB" % (status_kib(service.pid, "VmRSS") / MIB))
        serial = 0
        refused = 0
        for name, body in HOSTILE.items():
            current["body"] = body
            for _ in range(ROUNDS):
                symbols = ["H%d" % (serial + n) for n in range(AT_ONCE)]
                serial += AT_ONCE
                with concurrent.futures.ThreadPoolExecutor(max_workers=AT_ONCE) as pool:
                    lines = list(pool.map(lambda s: ask(port, s), symbols))
                refused += sum(b",N/A," in line for line in lines)
            print("after %d x %d answers of %s: %.1f MiB" %
                  (ROUNDS, AT_ONCE, name, status_kib(service.pid, "VmRSS") / MIB))
        print("peak: %.1f MiB; %d of %d answers refused (N/A)" %
              (status_kib(service.pid, "VmHWM") / MIB, refused, serial))
    finally:
        service.terminate()
        service.wait()
        fake.shutdown()
        fake.server_close()


if __name__ == "__main__":
    main()
