"""A start with no stored settings: the greeting, then the bar at its
default place, and nothing in the registry until the first save."""

from program import (BAR_TITLE, DEFAULT_RIGHT_MARGIN, GREETING_CAPTION, GREETING_TEXT,
                     SETTINGS_KEY, SHOW_TIMEOUT, TEMPLATE_FONT, TEMPLATE_SIZE_UNITS,
                     message_text, visible_buttons)
from win32_constants import (IDOK, WS_CAPTION, WS_EX_APPWINDOW, WS_EX_TOOLWINDOW, WS_POPUP,
                             WS_THICKFRAME)


def test_greeting_comes_first_and_writes_nothing(bench):
    program = bench.launch()
    greeting = bench.wait_shown(GREETING_CAPTION, timeout=SHOW_TIMEOUT, program=program)

    controls = bench.texts(GREETING_CAPTION)
    assert message_text(controls) == [GREETING_TEXT]
    assert visible_buttons(controls) == [(IDOK, "OK")]

    bars = bench.find(BAR_TITLE)
    assert len(bars) == 1, "exactly one bar window exists while the greeting shows"
    assert not bars[0].visible, "the bar is shown only after the greeting"
    assert greeting.owner == bars[0].hwnd, "the greeting is owned by the bar"

    assert bench.query_key(SETTINGS_KEY) is None, "settings written before the first save"


def test_bar_after_greeting_stands_top_right_topmost_without_taskbar_button(bench):
    program = bench.launch()
    bench.wait_shown(GREETING_CAPTION, timeout=SHOW_TIMEOUT, program=program)
    bench.press(GREETING_CAPTION, IDOK)
    bar = bench.wait_shown(BAR_TITLE, timeout=SHOW_TIMEOUT, program=program)
    bench.screenshot("bar.png", bar.rect)

    screen = bench.screen()
    assert (bar.top, bar.right) == (0, screen.width - DEFAULT_RIGHT_MARGIN)
    assert (bar.width, bar.height) == bench.dialog_size(*TEMPLATE_SIZE_UNITS, *TEMPLATE_FONT), \
        "the bar keeps the size of its template"
    assert bar.topmost
    assert bar.exstyle & WS_EX_TOOLWINDOW and not bar.exstyle & WS_EX_APPWINDOW, \
        "a tool window, so no task-bar button: exstyle 0x%08x" % bar.exstyle
    assert bar.style & WS_POPUP and not bar.style & (WS_CAPTION | WS_THICKFRAME), \
        "a borderless, caption-less popup: style 0x%08x" % bar.style

    assert program.running()
    assert bench.query_key(SETTINGS_KEY) is None, "settings written before the first save"
