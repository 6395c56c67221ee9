"""Our stand-in service on a free loopback port, for the tests that make
the program (or the Win32 back end's tests) talk HTTP."""

import os
import pathlib
import re
import subprocess
import tempfile
import time

READY_TIMEOUT = 10.0
LISTENING = re.compile(r"listening on 127\.0\.0\.1:(\d+)")


class StandInService:
    def __init__(self, work_dir):
        self.binary = pathlib.Path(os.environ["VELMORIA_SERVICE"])
        self.log = pathlib.Path(work_dir) / "service-requests.log"
        self.port = None
        self._process = None
        self._output = None

    def start(self):
        assert self.binary.is_file(), "%s is missing" % self.binary
        self._output = tempfile.TemporaryFile()
        self._process = subprocess.Popen(
            [str(self.binary), "--port", "0", "--log", str(self.log)],
            stdout=self._output, stderr=subprocess.STDOUT)
        deadline = time.monotonic() + READY_TIMEOUT
        while time.monotonic() < deadline:
            self._output.seek(0)
            match = LISTENING.search(self._output.read().decode(errors="replace"))
            if match:
                self.port = int(match.group(1))
                return self
            assert self._process.poll() is None, "the service ended at start"
            time.sleep(0.05)
        raise AssertionError("the service did not report its port in time")

    def stop(self):
        if self._process is not None and self._process.poll() is None:
            self._process.terminate()
            try:
                self._process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait()
        if self._output is not None:
            self._output.close()
