#!/usr/bin/python3
"""Runs the soak of velmoria.exe under Wine for as long as asked, writes its
samples and summary.json into the output folder and prints the figures.

    nice -n 10 tests/soak/run_soak.py [--build build] [--minutes 30]
                                      [--output build/soak/long]

Needs a build (the exe, wintool, the service, damage_watch). Makes the
bench's template prefix when the build has none yet. Holds the program's
port for the whole run: run it when no Wine test of this tree runs.
Plots: tests/soak/plot_soak.py OUTPUT docs/.
"""

import argparse
import os
import pathlib
import re
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from soak_figures import print_figures, summarize, write_summary  # noqa: E402

WARMUP_SECONDS = 300.0


def program_port(build):
    """The port the build's exe looks for its services on."""
    cache = (build / "CMakeCache.txt").read_text()
    found = re.search(r"^VELMORIA_HOME_SITE:\w+=http://127\.0\.0\.1:(\d+)$", cache, re.MULTILINE)
    assert found, "the build's VELMORIA_HOME_SITE is not on http://127.0.0.1:PORT"
    return found.group(1)


def test_build(build):
    """The Windows build the Wine tests run: the 64-bit one under wine64
    where the build made one (a kernel that runs no 32-bit program)."""
    windows64 = build / "windows64"
    if (windows64 / "velmoria.exe").is_file():
        os.environ.update(WINEARCH="win64", PATH="%s:%s" % (ROOT / "scripts/wine64", os.environ["PATH"]))
        return windows64
    return build / "windows"


def set_environment(build):
    """What ctest sets for the bench (tests/e2e/CMakeLists.txt)."""
    windows = test_build(build)
    os.environ.update(
        VELMORIA_PROGRAM_PORT=program_port(build),
        VELMORIA_EXE=str(windows / "velmoria.exe"),
        VELMORIA_WINTOOL=str(windows / "tests/e2e/tools/wintool.exe"),
        VELMORIA_E2E_TEMPLATE=str(build / "e2e/template-prefix"),
        VELMORIA_E2E_WORK=str(build / "e2e"),
        VELMORIA_SERVICE=str(build / "service/velmoria-service"),
        VELMORIA_DAMAGE_WATCH=str(build / "tests/soak/damage_watch"))


def ensure_template(build):
    template = build / "e2e/template-prefix"
    if not (template / "system.reg").is_file():
        subprocess.run([str(ROOT / "tests/e2e/make_template.sh"), str(template),
                        str(test_build(build) / "tests/e2e/tools/urllog.exe")], check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", type=pathlib.Path, default=ROOT / "build")
    parser.add_argument("--minutes", type=float, default=30.0)
    parser.add_argument("--warmup", type=float, default=WARMUP_SECONDS, help="seconds left out of the figures")
    parser.add_argument("--output", type=pathlib.Path, default=None)
    args = parser.parse_args()
    build = args.build.resolve()
    output = (args.output or build / "soak" / "long").resolve()
    set_environment(build)
    ensure_template(build)
    # Only now: the service module reads the program's port when it loads.
    from bench import Bench, BenchPaths
    from soak_run import Schedule, SoakRun

    bench = Bench("soak-long", BenchPaths.from_environment())
    try:
        bench.open()
        outcome = SoakRun(bench, Schedule(seconds=60 * args.minutes, warmup=args.warmup), output).run()
    finally:
        bench.close()
    figures = summarize(outcome.output, outcome.started_at, args.warmup)
    figures["problems"] = outcome.problems
    figures["started_at"] = outcome.started_at
    write_summary(outcome.output, figures)
    print("soak of %.1f minutes, figures after a warm-up of %.0f s (%s):" % (args.minutes, args.warmup, output))
    print_figures(figures)
    return 1 if outcome.problems else 0


if __name__ == "__main__":
    sys.exit(main())
