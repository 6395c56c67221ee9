"""The soak and the exit trials run on the end-to-end bench of tests/e2e."""

import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "e2e"))

from bench_fixture import bench, pytest_configure, pytest_runtest_makereport  # noqa: E402,F401
