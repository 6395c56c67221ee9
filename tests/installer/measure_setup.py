"""Figures of the setup, printed (ctest -V) and written to
<work>/setup-figures.txt: the setup's and the portable zip's sizes, and the
seconds a silent install into a fresh prefix and a silent uninstall take
under Wine (the median of a few rounds in one prefix; no program runs)."""

import os
import pathlib
import statistics

from setup_bench import INSTALL_DIR, host_path, install, setup_path, uninstall

ROUNDS = 3
BYTES_PER_KIB = 1024
FIGURES_FILE = "setup-figures.txt"


def test_setup_figures(bench):
    installs, uninstalls = [], []
    for _ in range(ROUNDS):
        code, seconds = install(bench)
        assert code == 0
        installs.append(seconds)
        code, seconds = uninstall(bench)
        assert code == 0
        assert not host_path(bench, INSTALL_DIR).exists()
        uninstalls.append(seconds)

    portable = pathlib.Path(os.environ["VELMORIA_PORTABLE"])
    lines = [
        "%s: %.0f KiB" % (setup_path().name, setup_path().stat().st_size / BYTES_PER_KIB),
        "%s: %.0f KiB" % (portable.name, portable.stat().st_size / BYTES_PER_KIB),
        "silent install under Wine: %.1f s (median of %d: %s)"
        % (statistics.median(installs), ROUNDS, ", ".join("%.1f" % s for s in installs)),
        "silent uninstall under Wine, until the Wine server ends: %.1f s (median of %d: %s)"
        % (statistics.median(uninstalls), ROUNDS, ", ".join("%.1f" % s for s in uninstalls)),
    ]
    text = "\n".join(lines) + "\n"
    print("\n" + text)
    (pathlib.Path(os.environ["VELMORIA_E2E_WORK"]) / FIGURES_FILE).write_text(text)
