"""The bench fixture for every test here (bench_fixture.py)."""

from bench_fixture import bench, pytest_configure, pytest_runtest_makereport  # noqa: F401
