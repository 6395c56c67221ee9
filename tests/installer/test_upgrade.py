"""The setup run again over a running install: it asks the bar to Exit as
the menu does (so the bar saves its place), stops the gateway, replaces the
files and keeps every setting and the quote choice."""

from program import BAR_TITLE, SETTINGS_KEY, SETTING_NAMES, SHOW_TIMEOUT, store_settings
from registry_values import dword, sz
from setup_bench import (CONFIG_FILE, README_FILE, RUN_VALUE, STOP_TIMEOUT, append_config_lines, config_lines,
                         host_path, install, installed, run_entries, start_as_run_entry, wait_gone)

# None of them the bar's default, so that a setting lost and written
# again by the bar shows.
STORED = {
    "Top": dword(300), "Left": dword(100), "Right": dword(900),
    "AlwaysOnTop": dword(0), "Snapping": dword(0), "DataMask": dword(0x01111113),
    "Update": dword(120000), "Speed": dword(3), "Symbols": sz("IBM, VOD.L, ^DJI"),
}
# Where the bar is moved while it runs: only its Exit stores it.
MOVED = (250, 420, 1050, 438)
ADMIN_LINE = "cache-seconds=90"


def test_an_upgrade_while_the_bar_runs_keeps_every_setting_and_the_bars_place(bench):
    code, _ = install(bench, "/QUOTES=live", "/FINNHUBKEY=fh1", "/AUTOSTART=1")
    assert code == 0
    append_config_lines(bench, ADMIN_LINE)
    before = config_lines(bench)
    store_settings(bench, STORED)
    gateway = start_as_run_entry(bench)
    bench.wait_shown(BAR_TITLE, timeout=SHOW_TIMEOUT)
    bench.wintool("move", BAR_TITLE, *MOVED)
    # An older README, to see the files replaced.
    installed(bench, README_FILE).write_bytes(b"an earlier version's README\r\n")

    code, seconds = install(bench)
    print("silent upgrade over the running bar and gateway: %.1f s" % seconds)
    assert code == 0
    wait_gone(bench, BAR_TITLE, STOP_TIMEOUT)
    gateway.wait(STOP_TIMEOUT)
    assert installed(bench, README_FILE).read_bytes().startswith(b"Velmoria 5.6.0")

    saved = bench.query_key(SETTINGS_KEY)
    left, top, right, _ = MOVED
    expected = {**STORED, "Left": dword(left), "Top": dword(top), "Right": dword(right)}
    assert {name: saved.get(name) for name in SETTING_NAMES} == expected
    assert config_lines(bench) == before, "a silent upgrade without quote options changed the quote choice"
    assert sorted(run_entries(bench)) == [RUN_VALUE]


def test_an_upgrade_without_quote_options_keeps_simulated_quotes(bench):
    code, _ = install(bench, "/QUOTES=simulated", "/AUTOSTART=0")
    assert code == 0
    code, _ = install(bench)
    assert code == 0
    assert config_lines(bench) == ["source=simulated"], "live quotes are for new installs, not a chosen offline one"


def test_an_upgrade_with_a_new_quote_choice_keeps_the_administrators_own_lines(bench):
    code, _ = install(bench, "/QUOTES=live", "/TWELVEDATAKEY=td1", "/AUTOSTART=0")
    assert code == 0
    config = host_path(bench, CONFIG_FILE)
    config.write_bytes(b"cache-seconds=90\r\n" + config.read_bytes() + b"limit=chart=10\r\n")

    code, _ = install(bench, "/QUOTES=simulated")
    assert code == 0
    assert config_lines(bench) == ["cache-seconds=90", "limit=chart=10", "source=simulated"]
    assert run_entries(bench) == {}, "the earlier choice of no start at sign-in was lost"
