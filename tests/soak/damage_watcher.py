"""Runs tools/damage_watch on the bar's X window and reads what it wrote:
the X server's time of every update of the window and how far its picture
moved."""

import dataclasses
import os
import pathlib
import subprocess

STOP_TIMEOUT = 5.0


@dataclasses.dataclass(frozen=True)
class Update:
    server_ms: int  # the X server's time stamp
    local_ms: int   # wall clock when the watcher read it
    shift: int      # pixels moved left since the last picture, -1 unknown


def watcher_binary():
    path = pathlib.Path(os.environ.get("VELMORIA_DAMAGE_WATCH", ""))
    assert path.is_file(), "VELMORIA_DAMAGE_WATCH names no program: %s" % path
    return path


class DamageWatcher:
    def __init__(self, bench, x_window, output):
        self.output = pathlib.Path(output)
        self._process = subprocess.Popen([str(watcher_binary()), str(x_window), str(self.output)],
                                         env=bench.environment(), stdout=subprocess.DEVNULL,
                                         stderr=subprocess.PIPE)

    def stop(self):
        """Ends the watcher; its complaint, if it failed."""
        if self._process.poll() is None:
            self._process.terminate()
        try:
            _, errors = self._process.communicate(timeout=STOP_TIMEOUT)
        except subprocess.TimeoutExpired:
            self._process.kill()
            _, errors = self._process.communicate()
        return errors.decode(errors="replace") if self._process.returncode not in (0, -15) else ""


def read_updates(path):
    updates = []
    with open(path) as log:
        for line in log:
            if line.startswith("#") or not line.strip():
                continue
            server_ms, local_ms, shift = line.split()
            updates.append(Update(int(server_ms), int(local_ms), int(shift)))
    return updates
