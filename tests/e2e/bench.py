"""The end-to-end bench: runs a Win32 program under Wine on its own Xvfb
display, in its own copy of the bench's template prefix, and looks at it
from outside (X, wintool.exe, the registry).

One `Bench` per test. `open()` copies the template prefix and starts Xvfb;
`close()` ends every Wine process of the prefix, the X server, and removes
the copy, whatever state the test left behind.

Paths come from the environment, set by tests/e2e/CMakeLists.txt:
  VELMORIA_EXE             the program under test
  VELMORIA_WINTOOL         tests/e2e/tools/wintool.exe
  VELMORIA_E2E_TEMPLATE    the template prefix (tests/e2e/make_template.sh)
  VELMORIA_E2E_WORK        scratch space: per-test prefixes and artefacts
"""

import dataclasses
import os
import pathlib
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time

from registry_values import parse_reg_query, reg_file
from wintool_output import Control, ScreenInfo, WindowInfo, parse_lines

SCREEN_GEOMETRY = "1280x1024x24"
XVFB_START_TIMEOUT = 10.0
WINE_CALL_TIMEOUT = 30.0
POLL_INTERVAL = 0.05
STOP_GRACE = 3.0  # seconds a process gets to end on SIGTERM (Xvfb removes its socket)
WINE_OUTPUT_ENCODING = "cp1252"
PROXY_VARIABLES = ("http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "no_proxy", "NO_PROXY")

# The bench's folder in every prefix (made by make_template.sh).
BENCH_FOLDER_IN_PREFIX = "drive_c/velmoria-e2e"
URL_LOG_NAME = "urls.txt"


class BenchError(Exception):
    """The bench could not do what a test asked (not a failed expectation)."""


@dataclasses.dataclass(frozen=True)
class BenchPaths:
    exe: pathlib.Path
    wintool: pathlib.Path
    template: pathlib.Path
    work: pathlib.Path

    @classmethod
    def from_environment(cls):
        names = {"exe": "VELMORIA_EXE", "wintool": "VELMORIA_WINTOOL",
                 "template": "VELMORIA_E2E_TEMPLATE", "work": "VELMORIA_E2E_WORK"}
        missing = [variable for variable in names.values() if not os.environ.get(variable)]
        if missing:
            raise BenchError("set by ctest, missing here: " + ", ".join(missing))
        return cls(**{field: pathlib.Path(os.environ[variable]) for field, variable in names.items()})


# ----------------------------------------------------------------------------
# Processes


@dataclasses.dataclass(frozen=True)
class WineResult:
    code: int
    output: str  # standard output, CRs removed
    errors: str  # standard error, CRs removed


class Program:
    """A Windows program started by the bench, through the wine loader."""

    def __init__(self, popen, started_at, log_path):
        self.popen = popen
        self.started_at = started_at
        self.log_path = log_path

    def running(self):
        return self.popen.poll() is None

    def wait(self, timeout):
        """The exit code; fails the test when the program does not end in time."""
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program is still running after %.1f s" % timeout) from None

    def log(self):
        try:
            return self.log_path.read_text(errors="replace")
        except OSError:
            return ""


def read_text(file):
    file.seek(0)
    return file.read().decode(WINE_OUTPUT_ENCODING, errors="replace").replace("\r", "")


def xvfb_display(popen, read_end, timeout):
    """The display number that Xvfb -displayfd writes once it is ready."""
    deadline = time.monotonic() + timeout
    text = b""
    while not text.endswith(b"\n"):
        remaining = deadline - time.monotonic()
        if remaining <= 0 or popen.poll() is not None:
            raise BenchError("Xvfb did not start")
        ready, _, _ = select.select([read_end], [], [], remaining)
        if ready:
            chunk = os.read(read_end, 64)
            if not chunk:
                raise BenchError("Xvfb closed its display pipe")
            text += chunk
    return int(text)


# ----------------------------------------------------------------------------
# The bench


class Bench:
    def __init__(self, name, paths):
        self.paths = paths
        safe_name = re.sub(r"[^A-Za-z0-9_.-]+", "_", name)
        self.run_dir = paths.work / "runs" / safe_name
        self.artifacts = paths.work / "artifacts" / safe_name
        self.prefix = self.run_dir / "prefix"
        self.display = None
        self._xvfb = None
        self._programs = []

    # -- life ---------------------------------------------------------------

    def open(self):
        shutil.rmtree(self.run_dir, ignore_errors=True)
        shutil.rmtree(self.artifacts, ignore_errors=True)
        self.run_dir.mkdir(parents=True)
        self.artifacts.mkdir(parents=True)
        if not (self.paths.template / "system.reg").is_file():
            raise BenchError("no template prefix at %s (run the e2e_template test)" % self.paths.template)
        subprocess.run(["cp", "-a", str(self.paths.template), str(self.prefix)], check=True)
        self._start_xvfb()

    def close(self):
        """Ends everything the bench started; safe to call in any state."""
        try:
            if self.prefix.exists():
                subprocess.run(["wineserver", "-k"], env=self.environment(),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               timeout=WINE_CALL_TIMEOUT, check=False)
        finally:
            for program in self._programs:
                self._stop_group(program.popen)
            if self._xvfb is not None:
                self._stop_group(self._xvfb)
            shutil.rmtree(self.run_dir, ignore_errors=True)

    @staticmethod
    def _stop_group(popen):
        """Asks the process group to end, then forces it; reaps the leader."""
        for sig, grace in ((signal.SIGTERM, STOP_GRACE), (signal.SIGKILL, None)):
            if popen.poll() is not None:
                break
            try:
                os.killpg(popen.pid, sig)
            except ProcessLookupError:
                break
            try:
                popen.wait(timeout=grace)
            except subprocess.TimeoutExpired:
                continue
        popen.wait()

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        try:
            with open(self.artifacts / "xvfb.log", "wb") as log:
                self._xvfb = subprocess.Popen(
                    ["Xvfb", "-displayfd", str(write_end), "-screen", "0", SCREEN_GEOMETRY,
                     "-nolisten", "tcp", "-noreset"],
                    pass_fds=(write_end,), stdout=log, stderr=subprocess.STDOUT,
                    start_new_session=True)
            os.close(write_end)
            write_end = None
            self.display = ":%d" % xvfb_display(self._xvfb, read_end, XVFB_START_TIMEOUT)
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)

    def environment(self):
        env = {k: v for k, v in os.environ.items() if k not in PROXY_VARIABLES}
        env.update(WINEPREFIX=str(self.prefix), WINEARCH=os.environ.get("WINEARCH", "win32"), WINEDEBUG="-all",
                   WINEDLLOVERRIDES="mscoree,mshtml=")
        if self.display:
            env["DISPLAY"] = self.display
        return env

    # -- programs -------------------------------------------------------------

    def launch(self, exe=None, *args):
        """Starts a Windows program (the program under test by default)."""
        exe = pathlib.Path(exe or self.paths.exe)
        if not exe.is_file():
            raise BenchError("%s does not exist (is the Windows build done?)" % exe)
        log_path = self.artifacts / ("%s-%d.log" % (exe.stem, len(self._programs) + 1))
        with open(log_path, "wb") as log:
            started_at = time.monotonic()
            popen = subprocess.Popen(["wine", str(exe), *map(str, args)], env=self.environment(),
                                     cwd=self.run_dir, stdin=subprocess.DEVNULL, stdout=log,
                                     stderr=subprocess.STDOUT, start_new_session=True)
        program = Program(popen, started_at, log_path)
        self._programs.append(program)
        return program

    def wine(self, *args, check=True, timeout=WINE_CALL_TIMEOUT, extra_environment=None):
        """Runs a Windows command line program to its end; a WineResult.
        Output goes through files, not pipes: the first Wine process of a
        prefix may start the desktop process, which inherits its output
        handles and would hold a pipe open until the prefix ends."""
        env = {**self.environment(), **(extra_environment or {})}
        with tempfile.TemporaryFile(dir=self.run_dir) as out, \
                tempfile.TemporaryFile(dir=self.run_dir) as err:
            code = subprocess.run(["wine", *map(str, args)], env=env, cwd=self.run_dir,
                                  stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                  timeout=timeout, check=False).returncode
            result = WineResult(code, read_text(out), read_text(err))
        if check and result.code != 0:
            raise BenchError("wine %s: exit %d\n%s%s" % (" ".join(map(str, args)), result.code,
                                                         result.output, result.errors))
        return result

    def wintool(self, *args, check=True):
        return self.wine(self.paths.wintool, *args, check=check)

    def wineserver_wait(self, timeout=WINE_CALL_TIMEOUT):
        """Waits until every process of the prefix has ended and the registry is saved."""
        subprocess.run(["wineserver", "-w"], env=self.environment(), timeout=timeout, check=True)

    # -- windows --------------------------------------------------------------

    def find(self, title):
        """The top-level windows whose whole title is `title`."""
        result = self.wintool("find", title, check=False)
        return parse_lines(result.output, WindowInfo) if result.code == 0 else []

    def x_windows(self, title):
        """X ids of the shown windows named exactly `title` (cheap, for polling)."""
        pattern = "^%s$" % re.sub(r"([][\\^$.|?*+(){}])", r"\\\1", title)
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern],
                                env=self.environment(), capture_output=True, check=False)
        return result.stdout.decode().split() if result.returncode == 0 else []

    def x_window_shown(self, title):
        return bool(self.x_windows(title))

    def wait_shown(self, title, timeout, program=None):
        """Waits until a top-level window titled `title` is visible and X
        shows it; returns it. Fails early when `program` ends meanwhile."""
        return self._wait_visible(title, timeout, program, ask_x_first=True)

    def wait_visible(self, title, timeout, program=None):
        """Like wait_shown, but asks only Windows, not X: for windows placed
        where X may not show them (coordinates beyond 16 bits)."""
        return self._wait_visible(title, timeout, program, ask_x_first=False)

    def _wait_visible(self, title, timeout, program, ask_x_first):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if program is not None and not program.running():
                raise AssertionError("the program ended (exit %s) before \"%s\" was visible\n%s"
                                     % (program.popen.returncode, title, program.log()))
            # xdotool is cheap; wintool starts a Wine process.
            if not ask_x_first or self.x_window_shown(title):
                shown = [w for w in self.find(title) if w.visible]
                if shown:
                    return shown[0]
            time.sleep(POLL_INTERVAL)
        raise AssertionError("no visible window \"%s\" after %.1f s; windows now:\n%s"
                             % (title, timeout, self.describe_windows()))

    def windows(self):
        """Every top-level window, in z-order."""
        return parse_lines(self.wintool("list").output, WindowInfo)

    def set_clipboard(self, data):
        """Puts bytes on the Windows clipboard as text, for a paste."""
        path = self.run_dir / ("clip-%d.txt" % time.monotonic_ns())
        path.write_bytes(data)
        self.wintool("setclip", self.windows_path(path))

    def describe_windows(self):
        try:
            return self.wintool("list", check=False).output
        except (BenchError, subprocess.TimeoutExpired) as error:
            return "(could not list windows: %s)" % error

    def texts(self, caption):
        """The child controls of the top-level window titled `caption`."""
        return parse_lines(self.wintool("texts", caption).output, Control)

    def press(self, caption, control_id):
        self.wintool("press", caption, control_id)

    def command(self, title, command_id):
        self.wintool("command", title, command_id)

    def post(self, title, message, wparam=0, lparam=0):
        self.wintool("post", title, message, wparam, lparam)

    def keys(self, title, *names):
        """Gives the window titled `title` the keyboard focus and types keys
        (xdotool names) on the real keyboard path. Without a window manager
        nothing else moves the focus to it."""
        ids = self.x_windows(title)
        if not ids:
            raise BenchError("no shown window \"%s\" to type into" % title)
        subprocess.run(["xdotool", "windowfocus", "--sync", ids[0]], env=self.environment(), check=True)
        subprocess.run(["xdotool", "key", "--delay", "50", *names], env=self.environment(), check=True)

    def screen(self):
        return ScreenInfo.parse(self.wintool("screen").output.strip())

    def dialog_size(self, width_units, height_units, points, face):
        """Pixel size of a popup dialog template on this machine's fonts."""
        out = self.wintool("dlgsize", width_units, height_units, points, face).output
        f = dict(pair.split("=", 1) for pair in out.split())
        return int(f["width"]), int(f["height"])

    def screenshot(self, name, rect=None):
        """Saves the screen, or the part of it in rect (left, top, right, bottom)."""
        path = self.artifacts / name
        command = ["import", "-window", "root"]
        if rect is not None:
            width, height = SCREEN_GEOMETRY.split("x")[:2]
            left, top = max(rect[0], 0), max(rect[1], 0)
            right, bottom = min(rect[2], int(width)), min(rect[3], int(height))
            if right <= left or bottom <= top:
                return None
            command += ["-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage"]
        subprocess.run(command + [str(path)], env=self.environment(), check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    # -- registry -------------------------------------------------------------

    def windows_path(self, path):
        """The Windows name of a host file (drive Z: is the host's root)."""
        return "Z:" + str(pathlib.Path(path).resolve()).replace("/", "\\")

    def import_registry(self, key, values):
        """Writes {name: RegValue} under key (e.g. HKEY_LOCAL_MACHINE\\Software\\X)."""
        path = self.run_dir / ("import-%d.reg" % time.monotonic_ns())
        path.write_bytes(reg_file(key, values))
        self.wine("regedit", "/S", self.windows_path(path))

    def key_exists(self, key):
        """Whether the key exists, read from its parent's list of subkeys, so
        that a failing `reg` cannot pass for a missing key."""
        parent, _, name = key.rpartition("\\")
        listing = self.wine("reg", "query", parent).output
        subkeys = [line.rpartition("\\")[2].lower() for line in listing.splitlines()
                   if line.startswith("HKEY_")]
        return name.lower() in subkeys

    def query_key(self, key):
        """{name: RegValue} of the key's values, or None when the key does not exist.

        Wine's `reg query` prints a string value of zero bytes as whatever its
        buffer held, so such a value reads back as junk, not as ""."""
        if not self.key_exists(key):
            return None
        return parse_reg_query(self.wine("reg", "query", key).output)

    # -- the shell --------------------------------------------------------------

    def opened_addresses(self):
        """Command lines that the http/https handler (urllog.exe) received, in order."""
        log = self.prefix / BENCH_FOLDER_IN_PREFIX / URL_LOG_NAME
        if not log.exists():
            return []
        return log.read_bytes().decode("cp1252").splitlines()
