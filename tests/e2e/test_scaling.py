"""The bar on scaled screens under Wine: as high as its DPI asks, with every
glyph inside it and the grips in their colour and scaled width; and a
stored place that no monitor shows brought back to the default place."""

import subprocess

import pytest

from bar_view import GREEN, GRIP, RED, bar_image, text_columns, wait_for
from bench import WINE_CALL_TIMEOUT
from program import DEFAULT_RIGHT_MARGIN, STORED_BAR_HEIGHT, exit_bar, start_with_settings
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
