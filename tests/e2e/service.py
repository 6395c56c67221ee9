"""Our stand-in service on a free loopback port, for the tests that make
the program (or the Win32 back end's tests) talk HTTP."""

import dataclasses
import os
import pathlib
import re
import subprocess
import tempfile
import time
import urllib.parse
import urllib.request

READY_TIMEOUT = 10.0
LISTENING = re.compile(r"listening on 127\.0\.0\.1:(\d+)")


# The port velmoria.exe is built to talk to (VELMORIA_HOME_SITE and
# VELMORIA_QUOTE_SERVICE); tests that use it hold the ctest resource lock.
PROGRAM_PORT = int(os.environ.get("VELMORIA_PROGRAM_PORT", "8642"))


class StandInService:
    def __init__(self, work_dir, port=0, arguments=()):
        self.binary = pathlib.Path(os.environ["VELMORIA_SERVICE"])
        self.log = pathlib.Path(work_dir) / "service-requests.log"
        self.port = None
        self._wanted_port = port
        self._arguments = list(arguments)
        self._process = None
        self._output = None

    def start(self):
        assert self.binary.is_file(), "%s is missing" % self.binary
        self._output = tempfile.TemporaryFile()
        self._process = subprocess.Popen(
            [str(self.binary), "--port", str(self._wanted_port), "--log", str(self.log), *self._arguments],
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

    def __enter__(self):
        return self.start()

    def __exit__(self, *exception):
        self.stop()

    def control(self, control_path, **query):
        """Calls a control path (/control/...); fails unless it answers ok."""
        address = "http://127.0.0.1:%d/control/%s?%s" % (self.port, control_path, urllib.parse.urlencode(query))
        with urllib.request.urlopen(address, timeout=10) as answer:
            text = answer.read().decode()
        assert text.strip() == "ok", "%s answered %r" % (address, text)

    def requests(self):
        """The request log as Request records, in order of arrival."""
        if not self.log.exists():
            return []
        return [Request.parse(line) for line in self.log.read_text(errors="replace").splitlines() if line]


@dataclasses.dataclass(frozen=True)
class Request:
    """One line of the request log: time (ms since start), connection id,
    method, target, HTTP version and user agent, separated by tabs."""
    time_ms: int
    connection: int
    method: str
    target: str
    version: str
    agent: str

    @classmethod
    def parse(cls, line):
        fields = line.split("\t")
        return cls(int(fields[0]), int(fields[1]), *fields[2:6])

    @property
    def path(self):
        return self.target.split("?", 1)[0]

    @property
    def symbol(self):
        """The s= argument of a quote request, or None."""
        query = self.target.split("?", 1)[1] if "?" in self.target else ""
        for part in query.split("&"):
            if part.startswith("s="):
                return part[2:]
        return None
