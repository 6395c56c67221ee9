"""A start with stored settings: how each stored value places and
configures the bar, and what Exit writes back."""

import dataclasses

import pytest

from program import (BAR_TITLE, DEFAULT_OPTIONS, DEFAULT_SYMBOLS_START, SETTING_NAMES,
                     SHOW_TIMEOUT, STORED_BAR_HEIGHT, check_saved_types, exit_bar,
                     start_with_settings, store_settings)
from registry_values import REG_SZ, dword, expand_sz, sz, zero_length_sz

# A place on screen for the cases about other values.
PLACE = {"Top": dword(100), "Left": dword(200), "Right": dword(700)}
PLACE_RECT = (200, 100, 700, 100 + STORED_BAR_HEIGHT)


@dataclasses.dataclass
class Case:
    name: str
    stored: dict
    rect: tuple = None       # expected window rect; None: not checked
    topmost: bool = None     # expected; None: not checked
    saved: dict = dataclasses.field(default_factory=dict)  # values expected back at Exit


def case(name, stored, **expected):
    return pytest.param(Case(name, stored, **expected), id=name)


# "Off the screen" is meant for the bench's 1280 x 1024 screen.
CASES = [
    case("narrow bar widened leftwards",
         {"Top": dword(100), "Left": dword(500), "Right": dword(550)},
         rect=(450, 100, 550, 118)),
    case("narrow bar at the left edge",
         {"Top": dword(100), "Left": dword(20), "Right": dword(50)},
         rect=(0, 100, 100, 118)),
    case("partly off the top left of the screen",
         {"Top": dword(-10), "Left": dword(-300), "Right": dword(200)},
         rect=(-300, -10, 200, 8)),
    case("partly off the bottom right of the screen",
         {"Top": dword(1016), "Left": dword(1200), "Right": dword(1500)},
         rect=(1200, 1016, 1500, 1034)),
    case("speed 65537 keeps its low 16 bits",
         {**PLACE, "Speed": dword(65537)}, rect=PLACE_RECT, saved={"Speed": dword(1)}),
    case("speed 65535 is -1, raised to 1",
         {**PLACE, "Speed": dword(65535)}, saved={"Speed": dword(1)}),
    case("speed above 5 is limited to 5",
         {**PLACE, "Speed": dword(9)}, saved={"Speed": dword(5)}),
    case("speed 4 stays although no menu offers it",
         {**PLACE, "Speed": dword(4)}, saved={"Speed": dword(4)}),
    case("positive flags count as on, negative as off",
         {**PLACE, "AlwaysOnTop": dword(7), "Snapping": dword(0xFFFFFFFF)},
         topmost=True, saved={"AlwaysOnTop": dword(1), "Snapping": dword(0)}),
    case("always on top -1 is off",
         {**PLACE, "AlwaysOnTop": dword(0xFFFFFFFF), "Snapping": dword(7)},
         topmost=False, saved={"AlwaysOnTop": dword(0), "Snapping": dword(1)}),
    case("always on top 0 is off",
         {**PLACE, "AlwaysOnTop": dword(0), "Snapping": dword(0)},
         topmost=False, saved={"AlwaysOnTop": dword(0), "Snapping": dword(0)}),
    case("data mask and update taken unchanged",
         {**PLACE, "DataMask": dword(0xFFFFFFFF), "Update": dword(0)},
         saved={"DataMask": dword(0xFFFFFFFF), "Update": dword(0)}),
    case("symbols kept",
         {**PLACE, "Symbols": sz("IBM, XOM")}, saved={"Symbols": sz("IBM, XOM")}),
    case("expandable symbols ignored", {**PLACE, "Symbols": expand_sz("IBM, XOM")}),
    case("zero-length symbols ignored", {**PLACE, "Symbols": zero_length_sz()}),
    case("values of the wrong type ignored",
         {**PLACE, "Speed": sz("3"), "AlwaysOnTop": sz("0"), "Update": expand_sz("0")},
         topmost=True),
]


@pytest.mark.parametrize("c", CASES)
def test_stored_settings_place_and_configure_the_bar(bench, c):
    program, bar = start_with_settings(bench, c.stored)
    bench.screenshot("bar.png", bar.rect)
    if c.rect is not None:
        assert bar.rect == c.rect
    if c.topmost is not None:
        assert bar.topmost == c.topmost

    saved = exit_bar(bench, program)

    assert check_saved_types(saved) == []
    expected = {**DEFAULT_OPTIONS,
                "Top": dword(bar.top), "Left": dword(bar.left), "Right": dword(bar.right),
                **c.saved}
    assert {name: saved[name] for name in expected} == expected
    if "Symbols" not in c.saved:
        assert saved["Symbols"].type == REG_SZ
        assert saved["Symbols"].data.startswith(DEFAULT_SYMBOLS_START), \
            "the default list is saved: %r" % saved["Symbols"].data


# Rectangles whose arithmetic overflows 32 bits: the program must neither
# crash nor hang, and Exit still writes every value.
HUGE_PLACES = [
    pytest.param({"Top": dword(0x7FFFFFFF), "Left": dword(200), "Right": dword(700)},
                 id="top 0x7fffffff"),
    pytest.param({"Top": dword(0x80000000), "Left": dword(200), "Right": dword(700)},
                 id="top 0x80000000"),
    pytest.param({"Top": dword(100), "Left": dword(0x80000000), "Right": dword(0x7FFFFFFF)},
                 id="left 0x80000000 right 0x7fffffff"),
    pytest.param({"Top": dword(0x7FFFFFF0), "Left": dword(0x7FFFFFF0), "Right": dword(0xFFFFFFFF)},
                 id="all huge"),
]


@pytest.mark.parametrize("stored", HUGE_PLACES)
def test_huge_stored_rectangle_does_not_crash(bench, stored):
    store_settings(bench, stored)
    program = bench.launch()
    bar = bench.wait_visible(BAR_TITLE, timeout=SHOW_TIMEOUT, program=program)

    saved = exit_bar(bench, program)

    assert check_saved_types(saved) == []
    assert sorted(saved) == sorted(SETTING_NAMES)
    assert {name: saved[name] for name in ("Top", "Left", "Right")} == \
        {"Top": dword(bar.top), "Left": dword(bar.left), "Right": dword(bar.right)}, \
        "the saved place is the window's"
    assert {name: saved[name] for name in DEFAULT_OPTIONS} == DEFAULT_OPTIONS
