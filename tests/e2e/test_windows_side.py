"""Runs the Win32 back end's own tests (tests/windows, GoogleTest) under
Wine on a bench display, with VELMORIA_EXE naming the built program the
way those tests expect it (a Windows path) and a stand-in service of their
own for the HTTP tests."""

import os
import pathlib

from service import StandInService

WINDOWS_TESTS_TIMEOUT = 300.0


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
