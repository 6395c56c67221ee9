"""Stored settings the bar cannot use, in the real registry under Wine:
values of other types and sizes, huge texts, a key nobody may read. Each
gives the fallback of the load rules (the field keeps its default; a
missing place is corrected to the smallest bar at the top left), the bar
runs, and Exit ends it with code 0."""

import dataclasses
import struct
import subprocess
import time

import pytest

from bar_view import GRIP, bar_image, wait_for
from program import (BAR_TITLE, DEFAULT_OPTIONS, DEFAULT_SYMBOLS_START, EXIT_COMMAND, SETTINGS_KEY, SHOW_TIMEOUT,
                     check_saved_types, exit_bar, start_with_settings, store_settings)
from registry_values import (REG_BINARY, REG_DWORD, REG_DWORD_BIG_ENDIAN, REG_MULTI_SZ, REG_QWORD, REG_SZ, dword, raw,
                             sz)

PLACE = {"Top": dword(100), "Left": dword(200), "Right": dword(700)}
PLACE_RECT = (200, 100, 700, 118)
# The load rules' rectangle when no place can be read: the narrowest,
# lowest bar, at the top left of the screen.
NO_PLACE_RECT = (0, 0, 100, 16)
# Symbols is not read at all above this size.
LARGEST_SYMBOLS_BYTES = 1 << 20


@dataclasses.dataclass
class Case:
    name: str
    stored: dict
    rect: tuple = PLACE_RECT


def case(name, stored, **expected):
    return pytest.param(Case(name, stored, **expected), id=name)


def largest_symbol_list():
    """As many symbols as fit under the size the bar reads: about 116,000."""
    entries = (LARGEST_SYMBOLS_BYTES - 2) // len("A000000, ")
    return ", ".join("A%06d" % n for n in range(entries))


CASES = [
    case("a two-byte DWORD", {**PLACE, "Speed": raw(REG_DWORD, b"\x03\x00")}),
    case("an eight-byte DWORD", {**PLACE, "Update": raw(REG_DWORD, struct.pack("<Q", 10000))}),
    case("a QWORD for a DWORD", {**PLACE, "DataMask": raw(REG_QWORD, struct.pack("<Q", 0x11111113))}),
    case("a big-endian DWORD", {**PLACE, "Speed": raw(REG_DWORD_BIG_ENDIAN, struct.pack(">I", 3))}),
    case("binary flags", {**PLACE, "AlwaysOnTop": raw(REG_BINARY, b"\0\0\0\0"),
                          "Snapping": raw(REG_BINARY, b"\0\0\0\0")}),
    case("a huge text for the top", {"Top": sz("9" * 2000000), "Left": dword(200), "Right": dword(700)},
         rect=(200, 0, 700, 16)),
    case("no value of the place is a DWORD",
         {"Top": sz("100"), "Left": raw(REG_QWORD, struct.pack("<Q", 200)), "Right": raw(REG_BINARY, b"\xbc\x02")},
         rect=NO_PLACE_RECT),
    case("multi-string symbols", {**PLACE, "Symbols": raw(REG_MULTI_SZ, b"IBM\0GE\0\0")}),
    case("binary symbols", {**PLACE, "Symbols": raw(REG_BINARY, b"IBM, GE")}),
    case("a DWORD for the symbols", {**PLACE, "Symbols": dword(0x004D4249)}),
    case("symbols past the largest size", {**PLACE, "Symbols": sz("X" * LARGEST_SYMBOLS_BYTES)}),
]


@pytest.mark.parametrize("c", CASES)
def test_a_stored_value_the_bar_cannot_use_gives_its_fallback(bench, c):
    program, bar = start_with_settings(bench, c.stored)
    assert bar.rect == c.rect
    assert bar.topmost, "the default: always on top"

    saved = exit_bar(bench, program)

    assert check_saved_types(saved) == []
    expected = {**DEFAULT_OPTIONS, "Top": dword(bar.top), "Left": dword(bar.left), "Right": dword(bar.right)}
    assert {name: saved[name] for name in expected} == expected
    assert saved["Symbols"].data.startswith(DEFAULT_SYMBOLS_START), saved["Symbols"].data[:80]


# A bar with so many items steps slowly; Exit waits for the step it is in.
LARGEST_LIST_EXIT_TIMEOUT = 60.0
# Long enough for the items to be made and drawn.
LARGEST_LIST_WATCH_SECONDS = 15.0


def test_the_largest_symbol_list_the_bar_reads_runs_and_is_saved_back(bench):
    symbols = largest_symbol_list()
    program, bar = start_with_settings(bench, {**PLACE, "Symbols": sz(symbols)})
    assert bar.rect == PLACE_RECT
    # Two fonts for every item would be far more drawing objects than even
    # Wine's table holds: the bar keeps its grips' colour and keeps moving
    # once its items are made.
    grips = lambda image: image.columns_with(GRIP) == [1, 2, 3, image.width - 4, image.width - 3, image.width - 2]
    wait_for(lambda: grips(bar_image(bench, bar, "first.png")), SHOW_TIMEOUT, what="the bar drawn")
    looks = []
    deadline = time.monotonic() + LARGEST_LIST_WATCH_SECONDS
    while time.monotonic() < deadline:
        looks.append(bar_image(bench, bar, "look-%d.png" % len(looks)))
        time.sleep(1.0)
    # A look may catch a repaint half done; a lost colour stays lost.
    assert any(grips(image) for image in looks[-3:]), "the grips lost their colour"
    assert not looks[-1].same_as(looks[-2]), "the bar stands still"
    bench.command(BAR_TITLE, EXIT_COMMAND)
    assert program.wait(LARGEST_LIST_EXIT_TIMEOUT) == 0, program.log()
    saved = bench.query_key(SETTINGS_KEY)
    assert saved["Symbols"].type == REG_SZ and saved["Symbols"].data == symbols


def test_a_key_nobody_may_read_gives_the_defaults_and_no_greeting(bench):
    # The access list lives in the server's memory: it stays up until the end.
    subprocess.run(["wineserver", "-p"], env=bench.environment(), check=True)
    store_settings(bench, {**PLACE, "Speed": dword(3), "Symbols": sz("IBM")})
    bench.wintool("lock-key", r"Software\Orvo")
    assert bench.wine("reg", "query", SETTINGS_KEY, check=False).code != 0, "the key can still be read"

    program = bench.launch()
    bar = bench.wait_shown(BAR_TITLE, timeout=SHOW_TIMEOUT, program=program)
    # The key opens, but none of its values can be read.
    assert bar.rect == NO_PLACE_RECT
    assert bar.topmost
    bench.command(BAR_TITLE, EXIT_COMMAND)
    assert program.wait(SHOW_TIMEOUT) == 0, "Exit must end the bar although nothing can be saved"
