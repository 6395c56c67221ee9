"""The Linux side of the running bar: its X window, the Wine process that
owns it, and that process's resident memory and thread count."""

import dataclasses
import subprocess

from program import BAR_TITLE

PID_PROPERTY = "_NET_WM_PID"


@dataclasses.dataclass(frozen=True)
class ProcessStatus:
    rss_kb: int
    threads: int


def bar_x_window(bench):
    """The X id of the shown bar (as text), or None."""
    ids = bench.x_windows(BAR_TITLE)
    return ids[0] if ids else None


def x_window_pid(bench, x_window):
    """The Linux pid of the process that owns an X window (Wine sets the
    window's _NET_WM_PID), or None."""
    result = subprocess.run(["xprop", "-id", x_window, PID_PROPERTY], env=bench.environment(),
                            capture_output=True, text=True, check=False)
    _, _, value = result.stdout.partition("=")
    return int(value) if value.strip().isdigit() else None


def read_status(pid):
    """VmRSS and Threads of /proc/PID/status, or None once the process is gone."""
    try:
        with open("/proc/%d/status" % pid) as status:
            fields = dict(line.split(":", 1) for line in status if ":" in line)
    except (FileNotFoundError, ProcessLookupError):
        return None
    if "VmRSS" not in fields:  # a zombie has no memory left
        return None
    return ProcessStatus(rss_kb=int(fields["VmRSS"].split()[0]), threads=int(fields["Threads"]))
