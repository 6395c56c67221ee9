"""The setup's tests run on the end-to-end bench of tests/e2e: one fresh
copy of its template prefix and one X display per test."""

import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "e2e"))

import bench_fixture  # noqa: E402
from bench_fixture import bench, pytest_runtest_makereport  # noqa: E402,F401
from setup_bench import skip_without_setup  # noqa: E402


def pytest_configure(config):
    bench_fixture.pytest_configure(config)
    skip_without_setup()
