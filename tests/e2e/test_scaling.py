"""The bar on scaled screens under Wine: as high as its DPI asks, with every
glyph inside it and the grips in their colour and scaled width; a stored
place that no monitor shows brought back to the default place; and on two
monitors, the bar stored on the second standing and snapping there."""

import os
import shutil
import subprocess

import pytest

from bar_view import GREEN, GRIP, RED, bar_image, text_columns, wait_for
from bench import WINE_CALL_TIMEOUT, XVFB_START_TIMEOUT, Bench, xvfb_display
from program import BAR_TITLE, DEFAULT_RIGHT_MARGIN, bar_now, STORED_BAR_HEIGHT, exit_bar, start_with_settings
from registry_values import dword, sz
from service import PROGRAM_PORT, StandInService

# Wine takes the system DPI from both values, read when its server starts.
DPI_KEYS = (r"HKEY_CURRENT_USER\Control Panel\Desktop",
            r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts")
BASE_DPI = 96
GRIP_WIDTH = 5

# The stored place, in 96-DPI units.
LEFT, TOP, RIGHT = 100, 100, 523

UP = '"UP",10.5,"4:00PM",+0.5,10,11,10,100\r\n'
DOWN = '"DOWN",9.5,"4:00PM",-0.5,9,10,10,100\r\n'
SERVICE_ARGUMENTS = ["--message", "", "--pin", "UP:" + UP, "--pin", "DOWN:" + DOWN]


def scaled(value, dpi):
    """value x dpi / 96, rounded as MulDiv rounds (halves up here)."""
    return (value * dpi + BASE_DPI // 2) // BASE_DPI


def use_dpi(bench, dpi):
    for key in DPI_KEYS:
        bench.import_registry(key, {"LogPixels": dword(dpi)})
    subprocess.run(["wineserver", "-k"], env=bench.environment(), timeout=WINE_CALL_TIMEOUT, check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def rows_with(image, colour, left, right):
    """The y of every row holding the colour between columns left and right."""
    return [y for y in range(image.height) if any(image.pixel(x, y) == colour for x in range(left, right))]


@pytest.mark.parametrize("dpi", [96, 144, 192])
def test_the_bar_is_as_high_as_its_dpi_asks_with_every_glyph_inside(bench, dpi):
    use_dpi(bench, dpi)
    with StandInService(bench.run_dir, PROGRAM_PORT, SERVICE_ARGUMENTS):
        program, bar = start_with_settings(bench, {
            "Top": dword(TOP), "Left": dword(LEFT), "Right": dword(RIGHT), "Speed": dword(2),
            "Symbols": sz("UP, DOWN")})
        height = scaled(STORED_BAR_HEIGHT, dpi)
        assert bar.rect == (scaled(LEFT, dpi), scaled(TOP, dpi), scaled(RIGHT, dpi), scaled(TOP, dpi) + height)

        def both_quotes():
            image = bar_image(bench, bar, "bar-%ddpi.png" % dpi)
            return image if text_columns(image, GREEN) and text_columns(image, RED) else None

        image = wait_for(both_quotes, 30, what="UP and DOWN on the bar")
        grip = scaled(GRIP_WIDTH, dpi)
        assert image.columns_with(GRIP) == (list(range(1, grip - 1)) +
                                            list(range(image.width - grip + 1, image.width - 1)))
        # A glyph cut by the bar's edge would leave its colour in the last
        # row; whole glyphs end above it, and their size follows the DPI.
        for colour in (GREEN, RED):
            rows = rows_with(image, colour, grip, image.width - grip)
            assert rows and max(rows) < height - 1, "rows %s of %d" % (rows, height)
            assert max(rows) - min(rows) >= scaled(9, dpi), "glyphs %d rows high" % (max(rows) - min(rows) + 1)

        saved = exit_bar(bench, program)
    # Stored in 96-DPI units, as it was read.
    assert [saved[name].data for name in ("Top", "Left", "Right")] == [TOP, LEFT, RIGHT]


@pytest.mark.parametrize("dpi", [96, 144])
def test_a_place_no_monitor_shows_is_given_up_for_the_default_place(bench, dpi):
    use_dpi(bench, dpi)
    width = 400
    program, bar = start_with_settings(bench, {"Top": dword(3000), "Left": dword(4000),
                                               "Right": dword(4000 + width)})
    screen = bench.screen()
    right = screen.width - scaled(DEFAULT_RIGHT_MARGIN, dpi)
    assert bar.rect == (right - scaled(width, dpi), 0, right, scaled(STORED_BAR_HEIGHT, dpi))
    exit_bar(bench, program)


# Xvfb's Xinerama heads all stand at 0, 0, and Wine reads no RandR monitors
# but its outputs; Xephyr, nested in the bench's Xvfb without RandR, places
# its heads side by side, and Wine shows them as two monitors.
SECOND_MONITOR = (1280, 0, 1280 + 1024, 768)
SNAPPING_COMMAND = 33030


def nest_two_monitors(bench):
    """Starts Xephyr with two heads on the bench's display and points the
    bench at it; the Xephyr process, for the caller to end."""
    read_end, write_end = os.pipe()
    try:
        xephyr = subprocess.Popen(
            ["Xephyr", "-displayfd", str(write_end), "+xinerama", "-extension", "RANDR",
             "-screen", "1280x1024+0+0", "-screen", "1024x768+1280+0", "-nolisten", "tcp", "-noreset"],
            env=bench.environment(), pass_fds=(write_end,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(write_end)
        write_end = None
        bench.display = ":%d" % xvfb_display(xephyr, read_end, XVFB_START_TIMEOUT)
    finally:
        os.close(read_end)
        if write_end is not None:
            os.close(write_end)
    return xephyr


@pytest.mark.skipif(shutil.which("Xephyr") is None, reason="no Xephyr (xserver-xephyr) to show two monitors")
def test_on_two_monitors_the_bar_stands_and_snaps_on_the_second(bench):
    xephyr = nest_two_monitors(bench)
    try:
        assert (b"left=%d top=%d right=%d bottom=%d" % SECOND_MONITOR).decode() in \
            bench.wintool("monitors").output, "Wine shows two monitors"
        program, bar = start_with_settings(bench, {"Top": dword(740), "Left": dword(1290),
                                                   "Right": dword(1690), "Snapping": dword(0)})
        assert bar.rect == (1290, 740, 1690, 758), "where it was stored, on the second monitor"
        # Snapping on: the bar near the second monitor's left and bottom
        # edges goes to them, not to the first monitor's.
        bench.command(BAR_TITLE, SNAPPING_COMMAND)
        wait_for(lambda: bar_now(bench).rect == (1280, 750, 1680, 768), 10,
                 what="the snap to the second monitor's edges")
        exit_bar(bench, program)
    finally:
        Bench._stop_group(xephyr)
