"""Only the Exit command ends the bar; it writes all nine settings and the
process ends with 0."""

import time

from program import (BAR_TITLE, DEFAULT_OPTIONS, DEFAULT_SYMBOLS_START, SETTING_NAMES,
                     SETTINGS_KEY, check_saved_types, exit_bar, start_first_run,
                     start_with_settings)
from registry_values import REG_SZ, dword
from win32_constants import (IDCANCEL, IDOK, SC_CLOSE, VK_ESCAPE, VK_RETURN, WM_CLOSE, WM_KEYDOWN,
                             WM_SYSCOMMAND)

# How long a request gets to (wrongly) end the program before we look.
SETTLE_TIME = 0.6

PLACE = {"Top": dword(300), "Left": dword(200), "Right": dword(600)}


def test_exit_writes_all_nine_values_from_the_bar_and_defaults(bench):
    program, bar = start_first_run(bench)
    assert bench.query_key(SETTINGS_KEY) is None, "settings written before Exit"

    saved = exit_bar(bench, program)

    assert sorted(saved) == sorted(SETTING_NAMES)
    assert check_saved_types(saved) == []
    assert {name: saved[name] for name in ("Top", "Left", "Right")} == \
        {"Top": dword(bar.top), "Left": dword(bar.left), "Right": dword(bar.right)}
    assert {name: saved[name] for name in DEFAULT_OPTIONS} == DEFAULT_OPTIONS
    assert saved["Symbols"].type == REG_SZ
    assert saved["Symbols"].data.startswith(DEFAULT_SYMBOLS_START), saved["Symbols"].data


def press_escape(bench):
    bench.keys(BAR_TITLE, "Escape")


def press_enter(bench):
    bench.keys(BAR_TITLE, "Return")


def press_alt_f4(bench):
    bench.keys(BAR_TITLE, "alt+F4")


def post(message, wparam=0):
    return lambda bench: bench.post(BAR_TITLE, message, wparam)


def command(command_id):
    return lambda bench: bench.command(BAR_TITLE, command_id)


REQUESTS_THAT_MUST_NOT_END_THE_BAR = [
    ("Esc key", press_escape),
    ("Enter key", press_enter),
    ("Alt+F4 keys", press_alt_f4),
    ("Esc key message", post(WM_KEYDOWN, VK_ESCAPE)),
    ("Enter key message", post(WM_KEYDOWN, VK_RETURN)),
    ("WM_CLOSE", post(WM_CLOSE)),
    ("SC_CLOSE", post(WM_SYSCOMMAND, SC_CLOSE)),
    ("IDOK command", command(IDOK)),
    ("IDCANCEL command", command(IDCANCEL)),
]


def test_keys_and_close_requests_do_not_end_the_bar(bench):
    program, bar = start_with_settings(bench, PLACE)
    ended_by = []
    for name, request in REQUESTS_THAT_MUST_NOT_END_THE_BAR:
        request(bench)
        time.sleep(SETTLE_TIME)
        if not program.running() or not [w for w in bench.find(BAR_TITLE) if w.visible]:
            ended_by.append(name)
            break
    assert ended_by == [], "the bar went away after: %s" % ended_by[0]
    exit_bar(bench, program)
