"""What the tests know about an installed Velmoria: where the setup puts
things, and the steps that install, start and uninstall it in a bench
prefix as Windows would (the setup run silently, both started as the Run
entry starts them at sign-in or the gateway on its own and the bar through
its Start-menu shortcut, the uninstaller through the Apps entry's quiet
uninstall string).

The setup under test comes from VELMORIA_INSTALLER (set by ctest)."""

import os
import pathlib
import time

import pytest

import win32_probe
from bench import BenchError

SETUP_TIMEOUT = 120.0
STOP_TIMEOUT = 60.0
POLL_INTERVAL = 0.2  # the setup waits up to 15 s for each program it stops

INSTALL_DIR = r"C:\Program Files\Velmoria"
BAR_FILE = "velmoria.exe"
GATEWAY_FILE = "velmoria-service.exe"
README_FILE = "README.txt"
UNINSTALLER_FILE = "uninstall.exe"
INSTALLED_FILES = (BAR_FILE, GATEWAY_FILE, README_FILE, UNINSTALLER_FILE)
# The gateway's exit code when another one already runs on the machine.
GATEWAY_ALREADY_RUNNING = 3

CONFIG_FILE = r"C:\ProgramData\Velmoria\velmoria-service.conf"
SHORTCUT_DIR = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Velmoria"
BAR_SHORTCUT = SHORTCUT_DIR + r"\Velmoria.lnk"
GATEWAY_SHORTCUT = SHORTCUT_DIR + r"\Velmoria Quote Gateway.lnk"

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmoria"
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
# One entry: the gateway, which starts the bar once it listens.
RUN_VALUE = "Velmoria"
RUN_COMMAND = '"%s\\%s" --start-bar'

# The bench's folder in every prefix, for the batch files below.
BENCH_FOLDER = r"C:\velmoria-e2e"


# The Windows build leaves this note beside the setup when it makes none on
# purpose (installer/CMakeLists.txt); a setup missing without it fails.
NO_SETUP_NOTE = "no-setup.txt"


def skip_without_setup():
    """Ends the session as skipped when the Windows build says why it made
    no setup."""
    value = os.environ.get("VELMORIA_INSTALLER")
    if not value:
        return
    setup = pathlib.Path(value)
    note = setup.parent / NO_SETUP_NOTE
    if not setup.is_file() and note.is_file():
        pytest.exit("the Windows build made no setup: " + note.read_text().strip(),
                    returncode=win32_probe.SKIPPED)


def setup_path():
    value = os.environ.get("VELMORIA_INSTALLER")
    if not value:
        raise BenchError("set by ctest, missing here: VELMORIA_INSTALLER")
    path = pathlib.Path(value)
    if not path.is_file():
        raise BenchError("%s does not exist (is the Windows build done?)" % path)
    return path


def host_path(bench, windows_path):
    """The host file behind a C: path of the bench's prefix."""
    drive, _, rest = windows_path.partition(":")
    assert drive.upper() == "C", windows_path
    return bench.prefix / "drive_c" / rest.lstrip("\\").replace("\\", "/")


def installed(bench, name):
    return host_path(bench, INSTALL_DIR + "\\" + name)


def run_batch(bench, name, lines, timeout=SETUP_TIMEOUT):
    """Runs lines as a batch file with `cmd /c`: the only way to hand NSIS
    a /D= or _?= path with spaces, which it takes only unquoted. The exit
    code of the last line."""
    batch = host_path(bench, BENCH_FOLDER + "\\" + name)
    batch.write_bytes(("\r\n".join(["@echo off", *lines, "exit /b %ERRORLEVEL%"]) + "\r\n").encode("cp1252"))
    return bench.wine("cmd", "/c", BENCH_FOLDER + "\\" + name, check=False, timeout=timeout).code


def install(bench, *options):
    """Runs the setup silently with the options; (exit code, seconds)."""
    started = time.monotonic()
    code = bench.wine(setup_path(), "/S", *options, check=False, timeout=SETUP_TIMEOUT).code
    return code, time.monotonic() - started


def install_quoted(bench, *options):
    """A silent install whose options may hold quoted values (an address,
    whose slashes NSIS would otherwise take for the next option's start),
    given through a batch file so they reach the setup as typed; the exit
    code."""
    copy = host_path(bench, BENCH_FOLDER + r"\setup.exe")
    copy.write_bytes(setup_path().read_bytes())
    return run_batch(bench, "install.bat", [" ".join([BENCH_FOLDER + r"\setup.exe", "/S", *options])])


def install_into(bench, folder, *options):
    """A silent install into a folder given with /D= (which comes last,
    unquoted); the exit code."""
    copy = host_path(bench, BENCH_FOLDER + r"\setup.exe")
    copy.write_bytes(setup_path().read_bytes())
    return run_batch(bench, "install.bat", [" ".join([BENCH_FOLDER + r"\setup.exe", "/S", *options,
                                                       "/D=" + folder])])


def apps_entry(bench):
    return bench.query_key(UNINSTALL_KEY)


def run_entries(bench):
    """{name: command} of the machine's Run entries that name the product."""
    values = bench.query_key(RUN_KEY) or {}
    return {name: value.data for name, value in values.items() if "velmoria" in (name + value.data).lower()}


def config_lines(bench):
    """The gateway's configuration file as lines, or None when it is missing."""
    path = host_path(bench, CONFIG_FILE)
    return path.read_text("cp1252").splitlines() if path.exists() else None


def append_config_lines(bench, *lines):
    """Adds lines to the gateway's configuration file, as an administrator
    (or a test) may."""
    path = host_path(bench, CONFIG_FILE)
    path.write_bytes(path.read_bytes() + "".join(line + "\r\n" for line in lines).encode("cp1252"))


def uninstall(bench, *options):
    """Runs the Apps entry's quiet uninstall string, and waits until every
    process of the prefix has ended: the uninstaller copies itself to the
    temporary folder and returns at once. (exit code, seconds)."""
    entry = apps_entry(bench)
    assert entry is not None and "QuietUninstallString" in entry, "no quiet uninstall string: %s" % entry
    started = time.monotonic()
    code = run_batch(bench, "uninstall.bat", [" ".join([entry["QuietUninstallString"].data, *options])])
    bench.wineserver_wait(timeout=STOP_TIMEOUT)
    return code, time.monotonic() - started


def start_as_run_entry(bench):
    """Starts the command of the Run entry (a quoted program path and its
    arguments) as the shell does at sign-in; a bench Program."""
    command = run_entries(bench)[RUN_VALUE]
    assert command.startswith('"'), "not a quoted program path: %r" % command
    program, _, arguments = command[1:].partition('"')
    return bench.launch(host_path(bench, program), *arguments.split())


def start_gateway(bench):
    """Starts the installed gateway on its own, as its Start-menu shortcut
    does; a bench Program."""
    return bench.launch(installed(bench, GATEWAY_FILE))


def start_by_shortcut(bench, shortcut, title, timeout):
    """Opens a Start-menu shortcut as a click on it does and waits for the
    window titled `title` that its program shows; the window. (`start
    /wait` does not reliably wait for a shortcut's program under Wine, so
    the program is followed by its window.)"""
    bench.wine("start", shortcut)
    return bench.wait_shown(title, timeout=timeout)


def wait_gone(bench, title, timeout):
    """Waits until no top-level window is titled `title`."""
    deadline = time.monotonic() + timeout
    while bench.find(title):
        if time.monotonic() > deadline:
            raise AssertionError("\"%s\" still there after %.0f s" % (title, timeout))
        time.sleep(POLL_INTERVAL)
