#!/usr/bin/python3
"""Figures of velmoria-service.exe under Wine: resident memory and CPU of its
process idle, and with one client asking /d/quotes.csv every 10 s for two
minutes (simulated quotes). Prints one line per figure.

    PATH=scripts/wine64:$PATH WINEARCH=win64 \\
    bench/gateway_windows_figures.py GATEWAY_EXE TEMPLATE_PREFIX WORK_DIR

TEMPLATE_PREFIX is a prefix made by tests/e2e/make_template.sh; it is
copied into WORK_DIR, and everything started there is ended at the end."""

import os
import shutil
import socket
import subprocess
import sys
import time
import urllib.request

IDLE_SECONDS = 60
CLIENT_SECONDS = 120
CLIENT_INTERVAL = 10
START_TIMEOUT = 90
TICKS = os.sysconf("SC_CLK_TCK")


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def cpu_seconds(pid):
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime + stime


def resident_mib(pid):
    for line in open("/proc/%d/status" % pid):
        if line.startswith("VmRSS:"):
            return int(line.split()[1]) / 1024
    return float("nan")


def wait_listening(port, process):
    deadline = time.monotonic() + START_TIMEOUT
    while time.monotonic() < deadline:
        if process.poll() is not None:
            sys.exit("the gateway ended at its start")
        with socket.socket() as probe:
            if probe.connect_ex(("127.0.0.1", port)) == 0:
                return
        time.sleep(0.2)
    sys.exit("the gateway did not listen in time")


def measure(pid, seconds, action=None):
    """CPU share of one core over the time, and the resident memory at the end."""
    cpu_before, started = cpu_seconds(pid), time.monotonic()
    while time.monotonic() - started < seconds:
        if action:
            action()
        time.sleep(CLIENT_INTERVAL if action else seconds)
    share = (cpu_seconds(pid) - cpu_before) / (time.monotonic() - started) * 100
    return share, resident_mib(pid)


def main():
    exe, template, work = sys.argv[1:4]
    prefix = os.path.join(work, "prefix")
    shutil.rmtree(prefix, ignore_errors=True)
    os.makedirs(work, exist_ok=True)
    subprocess.run(["cp", "-a", template, prefix], check=True)
    env = {k: v for k, v in os.environ.items() if "proxy" not in k.lower()}
    env.update(WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp"], pass_fds=(write_end,),
                            stderr=subprocess.DEVNULL)
    os.close(write_end)
    env["DISPLAY"] = ":" + os.read(read_end, 64).decode().strip()
    os.close(read_end)
    port = free_port()
    gateway = subprocess.Popen(["wine", exe, "--port", str(port), "--log", "NUL"], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wait_listening(port, gateway)
        time.sleep(5)  # past the start's own work
        idle = measure(gateway.pid, IDLE_SECONDS)
        print("idle %d s: CPU %.2f%% of one core, resident %.1f MiB" % (IDLE_SECONDS, *idle))
        url = "http://127.0.0.1:%d/d/quotes.csv?f=sl1t1c1ghpv&s=IBM+MSFT+VOD.L" % port
        asked = measure(gateway.pid, CLIENT_SECONDS, lambda: urllib.request.urlopen(url, timeout=10).read())
        print("one client every %d s for %d s: CPU %.2f%% of one core, resident %.1f MiB"
              % (CLIENT_INTERVAL, CLIENT_SECONDS, *asked))
    finally:
        subprocess.run(["wine", exe, "--stop"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=60, check=False)
        print("exit after --stop: %s" % gateway.wait(timeout=30))
        subprocess.run(["wineserver", "-k"], env=env, check=False)
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(prefix, ignore_errors=True)


if __name__ == "__main__":
    main()
