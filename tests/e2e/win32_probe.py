#!/usr/bin/python3
"""Whether the Wine the tests were given can start here. Which Windows
build runs where is decided in one place, scripts/wine-arch.sh: the 32-bit
program under Debian's wine where 32-bit programs run, else the 64-bit
build under wine64 (WINEARCH=win64 in the tests' environment). A test given
the 32-bit Wine on a machine that cannot start it reports itself skipped.

Run as a program: exits 0 when 32-bit programs run, SKIPPED otherwise.
"""

import os
import pathlib
import subprocess
import sys

SKIPPED = 77  # the tests' SKIP_RETURN_CODE
WINE_ARCH = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "wine-arch.sh"
REASON = ("this machine's kernel runs no 32-bit program (32-bit emulation is off): "
          "the tests of velmoria.exe under Wine cannot run here")


def runs_32bit_programs():
    # The machine's own answer: a choice by hand (VELMORIA_WINE_ARCH) is
    # left out of the environment.
    chosen = subprocess.run([str(WINE_ARCH)], capture_output=True, text=True, check=True,
                            timeout=60, env={"PATH": "/usr/bin:/bin"})
    return chosen.stdout.strip() == "i686"


def wine_can_run():
    """Whether the tests' Wine starts: wine64 always does on a 64-bit kernel."""
    return os.environ.get("WINEARCH") == "win64" or runs_32bit_programs()


if __name__ == "__main__":
    if runs_32bit_programs():
        sys.exit(0)
    print(REASON, file=sys.stderr)
    sys.exit(SKIPPED)
