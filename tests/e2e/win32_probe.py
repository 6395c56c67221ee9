#!/usr/bin/python3
"""Whether this machine's kernel runs 32-bit programs, which Wine's 32-bit
loader is. Some virtual machines switch the kernel's 32-bit support off
(the kernel then logs "32-bit emulation disabled"): there no Wine test can
run, and they report themselves skipped instead of failing. Anything else
that keeps the loader from starting is an error, not a skip.

Run as a program: exits 0 when 32-bit programs run, SKIPPED otherwise.
"""

import errno
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


if __name__ == "__main__":
    if runs_32bit_programs():
        sys.exit(0)
    print(REASON, file=sys.stderr)
    sys.exit(SKIPPED)
