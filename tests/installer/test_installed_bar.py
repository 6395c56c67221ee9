"""The installed programs started as Windows starts them: at sign-in by the
Run entry (the gateway, which starts the bar once it listens), or the
gateway on its own and the bar by its Start-menu shortcut. The bar shows
quotes from the installed gateway, simulated, and live from a fake of the
chart source.

Test-only lines are added to the gateway's configuration file after the
setup wrote it (the setup keeps lines it does not own): the request log,
and the fake's plain-HTTP address in place of the source's own."""

import pathlib
import sys

from bar_view import BLUE, GREEN, RED, bar_image, text_columns, wait_for
from program import BAR_TITLE, EXIT_COMMAND, EXIT_TIMEOUT, SHOW_TIMEOUT, placed, store_settings
from registry_values import dword, sz
from service import Request
from setup_bench import (BAR_SHORTCUT, BENCH_FOLDER, GATEWAY_ALREADY_RUNNING, STOP_TIMEOUT, append_config_lines, config_lines, host_path,
                         install, start_as_run_entry, start_by_shortcut, start_gateway, wait_gone)

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "service" / "tests"))
from fake_chart_api import FakeChart  # noqa: E402

QUOTE_PATHS = ("/d/quotes.csv", "/uk/quotes.csv")
GATEWAY_LOG = BENCH_FOLDER + r"\gateway-requests.log"
QUOTES_TIMEOUT = 60.0
# The fake's RISE closes above its previous close, FALL below.
FAKE_PRICES = {"FALL": (179.5, 180.78)}
# Longer than the tests: the quotes they see come from the bar's first pass.
ONE_PASS_ONLY = 30 * 60 * 1000


def settings(symbols, update=10000):
    return {**placed(40, 300, 1200), "Speed": dword(2), "Update": dword(update), "Symbols": sz(symbols)}


def gateway_quote_symbols(bench):
    """The symbols the bar asked the installed gateway for, from its log."""
    log = host_path(bench, GATEWAY_LOG)
    if not log.exists():
        return set()
    requests = [Request.parse(line) for line in log.read_text(errors="replace").splitlines() if line]
    return {request.symbol for request in requests if request.path in QUOTE_PATHS}


def start_at_sign_in(bench):
    """The Run entry, as at sign-in; (gateway, the bar's window)."""
    gateway = start_as_run_entry(bench)
    return gateway, bench.wait_shown(BAR_TITLE, timeout=SHOW_TIMEOUT)


def start_from_start_menu(bench):
    """The gateway on its own, then the bar by its shortcut; (gateway, the bar's window)."""
    gateway = start_gateway(bench)
    return gateway, start_by_shortcut(bench, BAR_SHORTCUT, BAR_TITLE, SHOW_TIMEOUT)


def exit_bar(bench):
    """Chooses Exit on the bar and waits until it has gone."""
    bench.command(BAR_TITLE, EXIT_COMMAND)
    wait_gone(bench, BAR_TITLE, EXIT_TIMEOUT)


def quote_colours_shown(bench, bar, colours):
    image = bar_image(bench, bar, "quotes.png")
    return all(text_columns(image, colour) for colour in colours)


def test_at_sign_in_the_bar_gets_simulated_quotes_from_its_first_pass(bench):
    code, _ = install(bench, "/QUOTES=simulated")
    assert code == 0
    append_config_lines(bench, "log=" + GATEWAY_LOG)
    store_settings(bench, settings("IBM, MSFT, GE", update=ONE_PASS_ONLY))
    gateway, bar = start_at_sign_in(bench)

    wait_for(lambda: gateway_quote_symbols(bench) >= {"IBM", "MSFT", "GE"}, QUOTES_TIMEOUT,
             what="the bar's quote requests in the installed gateway's log")
    # Quotes, not the loading notice (dark green alone): a price item in
    # blue or red beside it.
    wait_for(lambda: quote_colours_shown(bench, bar, [GREEN]) and
             (quote_colours_shown(bench, bar, [BLUE]) or quote_colours_shown(bench, bar, [RED])),
             QUOTES_TIMEOUT, what="simulated quotes on the bar")
    exit_bar(bench)
    assert gateway.running(), "the gateway ended with the bar"

    # The entry again while the gateway runs (a second sign-in, or a user
    # running it): that start does not serve, and the bar still comes.
    second, _ = start_at_sign_in(bench)
    assert second.wait(STOP_TIMEOUT) == GATEWAY_ALREADY_RUNNING
    exit_bar(bench)


def test_the_installed_bar_shows_live_quotes_through_the_installed_gateway(bench):
    chart = FakeChart(FAKE_PRICES)
    try:
        code, _ = install(bench, "/QUOTES=live")
        assert code == 0
        assert config_lines(bench) == ["source=chart"]
        append_config_lines(bench, "provider-url=chart=" + chart.base, "log=" + GATEWAY_LOG)
        store_settings(bench, settings("RISE, FALL"))
        gateway, bar = start_from_start_menu(bench)

        # RISE in green and FALL in red: the fake's prices, which only the
        # gateway in live mode can have brought.
        wait_for(lambda: quote_colours_shown(bench, bar, [GREEN, RED]), QUOTES_TIMEOUT,
                 what="the fake source's rising and falling quotes on the bar")
        assert chart.counts["RISE"] > 0 and chart.counts["FALL"] > 0, chart.counts
        assert gateway_quote_symbols(bench) >= {"RISE", "FALL"}
        exit_bar(bench)
    finally:
        chart.stop()
