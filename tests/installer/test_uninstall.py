"""The silent uninstall as the Apps entry's quiet uninstall string runs it,
while the bar and the gateway run: it ends both the way they end by
themselves (the bar saves its place), and leaves nothing but the settings,
unless asked to remove them too."""

import os

from program import BAR_TITLE, SETTINGS_KEY, SETTING_NAMES, SHOW_TIMEOUT, store_settings
from registry_values import dword, sz
from setup_bench import (CONFIG_FILE, INSTALL_DIR, RUN_KEY, SHORTCUT_DIR, STOP_TIMEOUT, apps_entry, config_lines,
                         host_path, install, run_entries, start_as_run_entry, uninstall)

STORED = {"Top": dword(300), "Left": dword(100), "Right": dword(900), "Speed": dword(3),
          "Symbols": sz("IBM, MSFT")}
MOVED = (250, 420, 1050, 438)
PRODUCT_WORD = b"velmoria"
# What Wine itself writes under the prefix while programs run (its
# registry files, font and shell caches, temporary files), and the bench's
# own folder (the batch file that runs the uninstaller): none of it the
# setup's.
WINE_OWN = ("system.reg", "user.reg", "userdef.reg", "drive_c/windows/", "drive_c/users/", "drive_c/velmoria-e2e/")


def prefix_files(bench):
    """Every file of the prefix (not following links), relative."""
    found = set()
    for folder, _, names in os.walk(bench.prefix):
        for name in names:
            found.add(os.path.relpath(os.path.join(folder, name), bench.prefix))
    return found


def registry_lines_naming_the_product(bench):
    """Lines of the saved machine registry that name the product."""
    text = (bench.prefix / "system.reg").read_bytes().lower()
    return [line for line in text.splitlines() if PRODUCT_WORD in line]


def start_both(bench):
    store_settings(bench, STORED)
    gateway = start_as_run_entry(bench)
    bench.wait_shown(BAR_TITLE, timeout=SHOW_TIMEOUT)
    bench.wintool("move", BAR_TITLE, *MOVED)
    return gateway


def test_a_silent_uninstall_ends_both_programs_and_leaves_only_the_settings(bench):
    bench.wineserver_wait()
    files_before = prefix_files(bench)
    registry_before = registry_lines_naming_the_product(bench)
    code, _ = install(bench, "/QUOTES=live", "/FINNHUBKEY=fh1", "/AUTOSTART=1")
    assert code == 0
    config_before = config_lines(bench)
    gateway = start_both(bench)

    code, seconds = uninstall(bench)
    print("silent uninstall with the bar and the gateway running: %.1f s" % seconds)
    assert code == 0
    # wineserver has ended: every program of the prefix is gone.
    gateway.wait(STOP_TIMEOUT)

    assert not host_path(bench, INSTALL_DIR).exists()
    assert not host_path(bench, SHORTCUT_DIR).exists()
    assert run_entries(bench) == {}
    assert apps_entry(bench) is None
    assert bench.key_exists(RUN_KEY), "the Run key itself is the system's"

    # The settings stay: the bar's, with the place it saved at its Exit,
    # and the quote choice.
    saved = bench.query_key(SETTINGS_KEY)
    left, top, right, _ = MOVED
    assert {name: saved.get(name) for name in STORED} == {**STORED, "Left": dword(left), "Top": dword(top),
                                                         "Right": dword(right)}
    assert sorted(saved) == sorted(SETTING_NAMES)
    assert config_lines(bench) == config_before

    # Nothing else: no file outside Wine's own, no registry line naming
    # the product.
    new_files = {path for path in prefix_files(bench) - files_before if not path.startswith(WINE_OWN)}
    assert new_files == {os.path.relpath(host_path(bench, CONFIG_FILE), bench.prefix)}
    assert registry_lines_naming_the_product(bench) == registry_before


def test_a_silent_uninstall_asked_to_remove_the_settings_removes_them_too(bench):
    code, _ = install(bench, "/QUOTES=live", "/FINNHUBKEY=fh1")
    assert code == 0
    gateway = start_both(bench)

    code, _ = uninstall(bench, "/REMOVESETTINGS=1")
    assert code == 0
    gateway.wait(STOP_TIMEOUT)
    assert bench.query_key(SETTINGS_KEY) is None
    assert not host_path(bench, CONFIG_FILE).parent.exists()
    assert not host_path(bench, INSTALL_DIR).exists()
