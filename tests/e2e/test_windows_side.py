"""Runs the Win32 back end's own tests (tests/windows, GoogleTest) under
Wine on a bench display, with VELMORIA_EXE naming the built program the
way those tests expect it (a Windows path) and a stand-in service of their
own for the HTTP tests."""

import os
import pathlib
import subprocess

from service import StandInService

WINDOWS_TESTS_TIMEOUT = 300.0
# A locale whose code page (1251) has other letters than the Western one.
CYRILLIC_LOCALE = "ru_RU.CP1251"


def test_windows_side_tests_pass(bench, tmp_path):
    tests_exe = pathlib.Path(os.environ["VELMORIA_WINDOWS_TESTS"])
    assert tests_exe.is_file(), "%s is missing (is the Windows build done?)" % tests_exe
    service = StandInService(tmp_path).start()
    try:
        # A failure raises with the exit code and the whole GoogleTest output.
        result = bench.wine(tests_exe, timeout=WINDOWS_TESTS_TIMEOUT,
                            extra_environment={
                                "VELMORIA_EXE": bench.windows_path(bench.paths.exe),
                                "VELMORIA_SERVICE_PORT": str(service.port),
                                "VELMORIA_SERVICE_LOG": str(service.log),
                            })
    finally:
        service.stop()
    print(result.output)
    # On the bench prefix nothing may be skipped: the service and the
    # browser logger are both there.
    skipped = [line for line in result.output.splitlines() if line.startswith("[  SKIPPED ]") and "." in line]
    assert not skipped, "skipped: %s" % skipped


def test_upper_case_follows_the_systems_code_page(bench):
    """Runs the upper-casing tests again in a process whose code page is
    1251, where the Western rules would leave Cyrillic letters alone."""
    tests_exe = pathlib.Path(os.environ["VELMORIA_WINDOWS_TESTS"])
    locales = bench.run_dir / "locales"
    locales.mkdir()
    subprocess.run(["localedef", "-i", "ru_RU", "-f", "CP1251", str(locales / CYRILLIC_LOCALE)], check=True,
                   stdout=subprocess.DEVNULL)
    result = bench.wine(tests_exe, "--gtest_filter=Win32UpperCase.*", timeout=WINDOWS_TESTS_TIMEOUT,
                        extra_environment={"LOCPATH": str(locales), "LANG": CYRILLIC_LOCALE,
                                           "LC_ALL": CYRILLIC_LOCALE})
    print(result.output)
    assert "code page 1251" in result.output, "the tests did not run under code page 1251"
