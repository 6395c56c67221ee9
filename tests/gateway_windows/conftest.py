"""The bench of tests/e2e (a fresh prefix and X display per test), for the
gateway's Windows build; and the service's fakes of the market-data
sources."""

import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.path.insert(0, str(ROOT / "service" / "tests"))

from bench_fixture import bench, pytest_configure, pytest_runtest_makereport  # noqa: E402,F401
