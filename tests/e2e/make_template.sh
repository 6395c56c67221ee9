#!/bin/bash
# Makes the bench's template Wine prefix, which every end-to-end test copies:
# the common prefix of scripts/make-prefix.sh plus
#   - the http and https shell handlers pointing at urllog.exe, so the tests
#     see exactly which address the program asked the shell to open;
#   - no crash dialog, so a crashing program ends instead of waiting for a
#     click (Wine's debugger still writes the backtrace to the program's log).
# Usage: make_template.sh TEMPLATEDIR URLLOG_EXE     (TEMPLATEDIR is replaced)
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 TEMPLATEDIR URLLOG_EXE" >&2
    exit 2
fi
template=$1
urllog=$2
here=$(cd "$(dirname "$0")" && pwd)

# Skipped (77) where the kernel runs no 32-bit program and the tests are
# not given wine64 (WINEARCH=win64) instead.
if [ "${WINEARCH:-win32}" != win64 ]; then
    "$here/win32_probe.py" || exit $?
fi

if [ ! -f "$urllog" ]; then
    echo "$0: $urllog is missing (built by the Windows build)" >&2
    exit 1
fi

rm -rf "$template"
"$here/../../scripts/make-prefix.sh" "$template"

export WINEPREFIX
WINEPREFIX=$(cd "$template" && pwd)
export WINEARCH=${WINEARCH:-win32} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy NO_PROXY DISPLAY

# The bench's own folder inside the prefix; its Windows path is C:\velmoria-e2e.
bench_dir=$WINEPREFIX/drive_c/velmoria-e2e
mkdir -p "$bench_dir"
cp "$urllog" "$bench_dir/urllog.exe"

cat > "$bench_dir/template.reg" <<'REG'
REGEDIT4

[HKEY_CLASSES_ROOT\http\shell\open\command]
@="\"C:\\velmoria-e2e\\urllog.exe\" \"%1\""

[HKEY_CLASSES_ROOT\https\shell\open\command]
@="\"C:\\velmoria-e2e\\urllog.exe\" \"%1\""

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
wine regedit /S 'C:\velmoria-e2e\template.reg'
wineserver -k  # writes the registry files now
