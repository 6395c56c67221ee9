#!/bin/bash
# Creates a Wine prefix set up the way Velmoria is run and tested, of the
# width this machine runs (scripts/wine-arch.sh; WINEARCH=win32|win64 chooses
# by hand):
#   - windows without a window manager work (X11 "Managed" = N);
#   - a real bold "Arial Bold" face (Liberation Sans Bold renamed), which the
#     ticker's quote font asks for; Wine otherwise falls back to a regular face;
#   - Mono and Gecko are not offered (no internet, not needed).
# Usage: scripts/make-prefix.sh PREFIXDIR      (PREFIXDIR must not exist yet)
# Works with or without DISPLAY; takes about 15 s.
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 PREFIXDIR" >&2
    exit 2
fi
prefix=$1
if [ -e "$prefix" ]; then
    echo "$0: $prefix already exists" >&2
    exit 1
fi

bold_source=/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf
if [ ! -r "$bold_source" ]; then
    echo "$0: $bold_source is missing (install fonts-liberation)" >&2
    exit 1
fi

source "$(dirname "$0")/wine-arch.sh"
case "${WINEARCH:-}" in
    "") velmoria_use_wine "$(velmoria_wine_arch)" ;;
    win32) velmoria_use_wine i686 ;;
    win64) velmoria_use_wine x86_64 ;;
    *)
        echo "$0: WINEARCH must be win32 or win64, not '$WINEARCH'" >&2
        exit 2
        ;;
esac

# Made in a folder beside it and moved into place when whole, so that a
# failed start never leaves a half-made prefix that the next run would use.
mkdir -p "$(dirname "$prefix")"
final=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
export WINEPREFIX
WINEPREFIX=$(mktemp -d "$final.making.XXXXXX")
rmdir "$WINEPREFIX"  # Wine makes it, and insists on owning a new folder
trap 'rm -rf "$WINEPREFIX"' EXIT
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# WinINet under Wine obeys the proxy variables.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy NO_PROXY

wineboot -i
wineserver -w

# Read by Wine's X11 driver when a process starts.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null

# Wine loads every font in the prefix's Fonts folder.
/usr/bin/python3 - "$bold_source" "$WINEPREFIX/drive_c/windows/Fonts/ArialBold.ttf" <<'PYTHON'
import sys
from fontTools.ttLib import TTFont

FAMILY, SUBFAMILY, FULL_NAME, POSTSCRIPT_NAME = 1, 2, 4, 6
font = TTFont(sys.argv[1])
for record in font["name"].names:
    if record.nameID in (FAMILY, FULL_NAME):
        record.string = "Arial Bold"
    elif record.nameID == SUBFAMILY:
        record.string = "Regular"  # so a request with weight 0 matches it
    elif record.nameID == POSTSCRIPT_NAME:
        record.string = "ArialBold-Substitute"
font.save(sys.argv[2])
PYTHON

# Ends the prefix's processes and writes the registry files at once
# (waiting for the server to exit on its own takes a few seconds more).
wineserver -k
mv "$WINEPREFIX" "$final"
trap - EXIT
