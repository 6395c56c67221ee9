"""A second start while a bar runs is refused with a message and leaves
the running bar alone."""

from program import (ALREADY_RUNNING_CAPTION, ALREADY_RUNNING_TEXT, BAR_TITLE, EXIT_TIMEOUT,
                     SHOW_TIMEOUT, exit_bar, message_text, start_with_settings, visible_buttons)
from registry_values import dword
from win32_constants import IDOK

PLACE = {"Top": dword(300), "Left": dword(200), "Right": dword(600)}


def test_second_start_shows_notice_and_ends_with_0(bench):
    first, bar = start_with_settings(bench, PLACE)

    second = bench.launch()
    notice = bench.wait_shown(ALREADY_RUNNING_CAPTION, timeout=SHOW_TIMEOUT, program=second)
    controls = bench.texts(ALREADY_RUNNING_CAPTION)
    assert message_text(controls) == [ALREADY_RUNNING_TEXT]
    assert visible_buttons(controls) == [(IDOK, "OK")]
    assert notice.pid != bar.pid, "the notice comes from the second process"
    assert notice.owner == 0, "the notice has no owner"
    assert [w.hwnd for w in bench.find(BAR_TITLE)] == [bar.hwnd], "no second bar window"

    bench.press(ALREADY_RUNNING_CAPTION, IDOK)
    assert second.wait(EXIT_TIMEOUT) == 0
    assert [w.hwnd for w in bench.find(BAR_TITLE)] == [bar.hwnd], "no second bar window"

    assert first.running()
    [after] = bench.find(BAR_TITLE)
    assert (after.rect, after.visible, after.topmost, after.pid) == \
        (bar.rect, True, bar.topmost, bar.pid), "the first bar is undisturbed"
    saved = exit_bar(bench, first)
    assert {name: saved[name] for name in PLACE} == PLACE, "the first bar still saves its place"
