"""The `bench` fixture: one fresh prefix and X display per test, always
cleaned up; on failure the screen and the window list are kept as
artefacts under <build>/e2e/artifacts/<test>/. Shared by the conftest.py of
tests/e2e and of tests/soak."""

import pytest

import win32_probe
from bench import Bench, BenchPaths


def pytest_configure(config):
    # The whole module is skipped (ctest's SKIP_RETURN_CODE) where the
    # tests' Wine cannot start at all.
    if not win32_probe.wine_can_run():
        pytest.exit(win32_probe.REASON, returncode=win32_probe.SKIPPED)


@pytest.hookimpl(hookwrapper=True, tryfirst=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    setattr(item, "report_" + report.when, report)


def keep_failure_evidence(bench):
    try:
        bench.screenshot("failure.png")
        (bench.artifacts / "windows.txt").write_text(bench.describe_windows())
    except Exception as error:  # evidence is best effort; cleanup must go on
        print("could not keep the failure evidence: %s" % error)


@pytest.fixture
def bench(request):
    instance = Bench(request.node.name, BenchPaths.from_environment())
    try:
        instance.open()
        yield instance
        report = getattr(request.node, "report_call", None)
        if report is not None and report.failed and instance.display:
            keep_failure_evidence(instance)
            print("artefacts: %s" % instance.artifacts)
    finally:
        instance.close()
