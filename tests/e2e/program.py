"""What the bench knows about velmoria.exe: its window titles, messages,
registry values and commands, and the few steps every test repeats."""

import re

from registry_values import REG_DWORD, REG_SZ, dword
from service import PROGRAM_PORT
from win32_constants import IDOK

BAR_TITLE = "VELMORIA"
GREETING_CAPTION = "New Velmoria User"
GREETING_TEXT = (
    "Velmoria - Free, Easy, Interactive Stock Ticker\n\n"
    "Here are two tips to get you started:\n"
    "#1. Right-click on Velmoria to see a menu of options.\n"
    "#2. Click on scrolling symbols to get detailed information.\n\n"
    "Press OK to start Velmoria..."
)
ALREADY_RUNNING_CAPTION = "Velmoria"
ALREADY_RUNNING_TEXT = "Velmoria is already running."

EXIT_COMMAND = 33002

# The home site the program is built with: our stand-in service.
HOME_SITE = "http://127.0.0.1:%d" % PROGRAM_PORT
DETAIL_PAGE = HOME_SITE + "/orvo.html?%s=%s&v=5.6&ban=21"

# Settings: the key as `reg query` and as a .reg file name it.
SETTINGS_KEY = r"HKLM\Software\Orvo"
SETTINGS_KEY_FULL = r"HKEY_LOCAL_MACHINE\Software\Orvo"
SETTING_NAMES = ("Top", "Left", "Right", "AlwaysOnTop", "Snapping", "DataMask", "Update",
                 "Speed", "Symbols")
DEFAULT_OPTIONS = {
    "AlwaysOnTop": dword(1),
    "Snapping": dword(1),
    "DataMask": dword(0x10000101),
    "Update": dword(300000),
    "Speed": dword(1),
}
# The default list continues with the help page of the home site, whose
# host is configuration.
DEFAULT_SYMBOLS_START = "MSFT, Help<"

# Placement.
DEFAULT_RIGHT_MARGIN = 75       # the bar's right edge is this far from the screen's
STORED_BAR_HEIGHT = 18          # a stored "Top" gives a bar this high
TEMPLATE_SIZE_UNITS = (282, 11)
TEMPLATE_FONT = (8, "MS Sans Serif")

# How long the program may take for each step under Wine on a slow machine.
SHOW_TIMEOUT = 20.0
EXIT_TIMEOUT = 15.0


# The browser stand-in logs its command line: its own path, then the address.
BROWSER_COMMAND_LINE = re.compile(r'^"[^"]*" "(.*)"$')


def browsed(bench):
    """The addresses the shell handed to the browser, in order."""
    addresses = []
    for line in bench.opened_addresses():
        match = BROWSER_COMMAND_LINE.match(line)
        addresses.append(match.group(1) if match else line)
    return addresses


def message_text(controls):
    """The message of a message box: its non-empty static texts."""
    return [c.text for c in controls if c.class_name.lower() == "static" and c.text]


def visible_buttons(controls):
    return [(c.id, c.text) for c in controls if c.class_name.lower() == "button" and c.visible]


def placed(left, top, width):
    """The stored values that put the bar at (left, top), `width` wide."""
    return {"Top": dword(top), "Left": dword(left), "Right": dword(left + width)}


def saved_value(bench, name):
    """One stored value as it stands now (a RegValue), or None."""
    return (bench.query_key(SETTINGS_KEY) or {}).get(name)


def bar_now(bench):
    """The bar's window as it is now."""
    shown = [w for w in bench.find(BAR_TITLE) if w.visible]
    assert shown, "the bar is gone:\n%s" % bench.describe_windows()
    return shown[0]


def store_settings(bench, values):
    """Writes {name: RegValue} under the settings key before a start."""
    bench.import_registry(SETTINGS_KEY_FULL, values)


def start_first_run(bench):
    """Starts with no settings, accepts the greeting; (program, bar window)."""
    program = bench.launch()
    bench.wait_shown(GREETING_CAPTION, timeout=SHOW_TIMEOUT, program=program)
    bench.press(GREETING_CAPTION, IDOK)
    return program, bench.wait_shown(BAR_TITLE, timeout=SHOW_TIMEOUT, program=program)


def start_with_settings(bench, values):
    """Stores the settings, starts, waits for the bar; (program, bar window)."""
    store_settings(bench, values)
    program = bench.launch()
    return program, bench.wait_shown(BAR_TITLE, timeout=SHOW_TIMEOUT, program=program)


def exit_bar(bench, program):
    """Chooses Exit, checks the process ends with 0; the saved settings."""
    bench.command(BAR_TITLE, EXIT_COMMAND)
    code = program.wait(EXIT_TIMEOUT)
    assert code == 0, "exit code %d after Exit\n%s" % (code, program.log())
    saved = bench.query_key(SETTINGS_KEY)
    assert saved is not None, "Exit wrote no settings key"
    return saved


def check_saved_types(saved):
    """All nine values exist with their types; returns the problems found."""
    problems = []
    for name in SETTING_NAMES:
        expected_type = REG_SZ if name == "Symbols" else REG_DWORD
        if name not in saved:
            problems.append("%s missing" % name)
        elif saved[name].type != expected_type:
            problems.append("%s is %s, not %s" % (name, saved[name].type, expected_type))
    return problems
