"""The soak of the exe, short enough for every CI run: the scenario of
run_soak.py (200 symbols, updates every 10 s, full speed, the data fields,
the symbol list and the server message changed, Exit at the end) for a
few minutes, with the steps coming more often. Prints the figures (ctest
-V) and keeps them in the test's artefacts (soak/summary.json)."""

from damage_watcher import read_updates
from soak_figures import WINE_BYTES_PER_DOWNLOAD, print_figures, summarize, write_summary
from soak_run import FASTEST_SPEED, Schedule, SoakRun

SHORT = Schedule(seconds=240.0, warmup=60.0, data_field=15.0, symbols=45.0, message=30.0, update_now=100.0)

# Wine's WinINet keeps about 100 bytes for every download, whoever makes
# it (WINE_BYTES_PER_DOWNLOAD); the bar makes 200 every 10 s. Allowed:
# twice that, and 2 MB for the heap's ups and downs (medians of a tenth of
# the samples each). A bar that kept its old items at every rebuild (a
# dozen in this run, 200 items with their texts each) or a thread's stack
# per pass would go far beyond.
DOWNLOAD_ALLOWANCE_FACTOR = 2
HEAP_NOISE_KB = 2048
# A bar that shows nothing new for this long looks hung; everything else a
# loaded machine may do to the steps is printed, not judged.
FREEZE_COUNT_KEY = "gaps_over_2000_ms"
# At full speed the picture moves by whole 5-pixel steps, one or several
# between two looks on a busy machine; only a look caught during a
# re-layout sees another move.
WHOLE_STEP_SHARE = 0.9


def test_soak_short(bench):
    outcome = SoakRun(bench, SHORT, bench.artifacts / "soak").run()
    figures = summarize(outcome.output, outcome.started_at, SHORT.warmup)
    figures["problems"] = outcome.problems
    write_summary(outcome.output, figures)
    print("short soak, figures after a warm-up of %.0f s:" % SHORT.warmup)
    print_figures(figures)

    assert outcome.problems == [], "\n".join(outcome.problems)
    assert outcome.exit_code == 0

    downloads = figures["quote_requests_after_warmup"]
    allowance_kb = DOWNLOAD_ALLOWANCE_FACTOR * WINE_BYTES_PER_DOWNLOAD * downloads / 1024 + HEAP_NOISE_KB
    growth_kb = 1024 * (figures["rss_last_tenth_median_mb"] - figures["rss_first_tenth_median_mb"])
    assert growth_kb <= allowance_kb, "resident memory grew %.0f kB over %d downloads" % (growth_kb, downloads)

    assert figures["quiet_samples"] > 0, "no sample fell between two passes"
    assert figures["quiet_samples_above_baseline"] == 0, "a worker thread outlived its pass"
    assert figures[FREEZE_COUNT_KEY] == 0, "the bar stood still for seconds"
    moves = [u.shift for u in read_updates(outcome.output / "damage.txt") if u.shift > 0]
    whole_steps = sum(1 for shift in moves if shift % FASTEST_SPEED == 0)
    assert moves and whole_steps >= WHOLE_STEP_SHARE * len(moves), \
        "not scrolling at full speed: %d of %d moves in whole 5-pixel steps" % (whole_steps, len(moves))
