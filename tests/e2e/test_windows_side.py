"""Runs the Win32 back end's own tests (tests/windows, GoogleTest) under
Wine on a bench display, with VELMORIA_EXE naming the built program the
way those tests expect it: as a Windows path."""

import os
import pathlib

WINDOWS_TESTS_TIMEOUT = 300.0


def test_windows_side_tests_pass(bench):
    tests_exe = pathlib.Path(os.environ["VELMORIA_WINDOWS_TESTS"])
    assert tests_exe.is_file(), "%s is missing (is the Windows build done?)" % tests_exe
    # A failure raises with the exit code and the whole GoogleTest output.
    result = bench.wine(tests_exe, timeout=WINDOWS_TESTS_TIMEOUT,
                        extra_environment={"VELMORIA_EXE": bench.windows_path(bench.paths.exe)})
    print(result.output)
