"""Real input on the bench's display through xdotool: the pointer, its
buttons and the keyboard, with the pauses Wine needs to see each step."""

import subprocess
import time

STEP_PAUSE = 0.1         # a move or a press is seen before the next one
DOUBLE_CLICK_TIME = 0.6  # two presses closer than this are a double-click
KEY_DELAY_MS = 50

_last_press = {"time": 0.0}


def xdotool(bench, *args):
    subprocess.run(["xdotool", *map(str, args)], env=bench.environment(), check=True)


def move(bench, x, y):
    xdotool(bench, "mousemove", int(x), int(y))
    time.sleep(STEP_PAUSE)


def _press_pause():
    """Waits so that a press never makes a double-click of the one before."""
    wait = _last_press["time"] + DOUBLE_CLICK_TIME - time.monotonic()
    if wait > 0:
        time.sleep(wait)
    _last_press["time"] = time.monotonic()


def click(bench, x, y, button=1):
    move(bench, x, y)
    _press_pause()
    xdotool(bench, "click", button)


def drag(bench, start, points, button=1):
    """Presses at start, moves through points, releases at the last one."""
    move(bench, *start)
    _press_pause()
    xdotool(bench, "mousedown", button)
    time.sleep(STEP_PAUSE)
    for point in points:
        move(bench, *point)
    xdotool(bench, "mouseup", button)
    time.sleep(STEP_PAUSE)


def keys(bench, *names):
    """Keys to whatever has the keyboard (a menu, a focused dialog)."""
    xdotool(bench, "key", "--delay", KEY_DELAY_MS, *names)


def type_text(bench, text, delay_ms=10):
    xdotool(bench, "type", "--delay", delay_ms, text)
