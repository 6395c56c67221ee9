#!/usr/bin/python3
"""Whether the Wine the tests use can start here. The program is 32-bit,
and so is Wine's loader for it; some virtual machines switch the kernel's
32-bit support off (the kernel then logs "32-bit emulation disabled").
There the build runs the tests on the 64-bit build of the same source
under wine64 (WINEARCH=win64 in the tests' environment); where neither is
set up, the tests report themselves skipped instead of failing. Anything
else that keeps the loader from starting is an error, not a skip.

Run as a program: exits 0 when 32-bit programs run, SKIPPED otherwise
(the build's choice of the 32-bit or the 64-bit test build).
"""

import errno
import os
import subprocess
import sys

SKIPPED = 77  # the tests' SKIP_RETURN_CODE
LOADER = "/lib/ld-linux.so.2"  # installed with wine32
REASON = ("this machine's kernel runs no 32-bit program (32-bit emulation is off): "
          "the tests of velmoria.exe under Wine cannot run here")


def runs_32bit_programs():
    try:
        subprocess.run([LOADER, "--version"], capture_output=True, check=False, timeout=60)
    except OSError as error:
        if error.errno == errno.ENOEXEC:
            return False
        raise
    return True


def wine_can_run():
    """Whether the tests' Wine starts: wine64 always does on a 64-bit kernel."""
    return os.environ.get("WINEARCH") == "win64" or runs_32bit_programs()


if __name__ == "__main__":
    if runs_32bit_programs():
        sys.exit(0)
    print(REASON, file=sys.stderr)
    sys.exit(SKIPPED)
