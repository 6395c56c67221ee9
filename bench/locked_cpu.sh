#!/bin/bash
# CPU of velmoria.exe under Wine while it scrolls 20 quoted items, and then
# while its session is locked (a posted WM_WTSSESSION_CHANGE, as Windows
# sends it), and again after the unlock; with the prefix's wineserver beside
# it. utime + stime of each process over each interval, after a warm-up
# (exchange list and first quotes).
# Usage: bench/locked_cpu.sh [build-dir] [seconds]   (default: build, 20)
# The 64-bit build under wine64 where the kernel runs no 32-bit program
# (WINEARCH=win64, scripts/wine64 first on PATH); VELMORIA_BENCH_PORT when
# the build was made for another port than 8642.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
seconds=${2:-20}
warmup=8
settle=1
windows=$build/windows
[ "${WINEARCH:-win32}" = win64 ] && windows=$build/windows64
exe=$windows/velmoria.exe
wintool=$windows/tests/e2e/tools/wintool.exe
service=$build/service/velmoria-service
for file in "$exe" "$wintool" "$service"; do
    [ -x "$file" ] || { echo "missing $file: build first" >&2; exit 1; }
done
wm_wtssession_change=0x2B1
wts_session_lock=7
wts_session_unlock=8

source "$root/bench/wine_session.sh"
start_service "$work/requests.log"

symbols=$(printf 'SY%02d, ' $(seq 1 20))
store_bar_settings "${symbols%, }"

wine "$exe" >/dev/null 2>&1 &
id=""
for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name '^VELMORIA$' 2>/dev/null | head -n1) && [ -n "$id" ] && break
    sleep 0.1
done
bar_pid=$(xprop -id "$id" _NET_WM_PID | sed 's/.*= //')
server_pid=""
for pid in $(pgrep -x wineserver || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then server_pid=$pid; fi
done
[ -n "$server_pid" ] || server_pid=$(pgrep -n wineserver)

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
# Prints the share of one core that the bar and the wineserver took over
# $seconds, labelled $1.
measure() {
    local bar_start server_start
    bar_start=$(ticks "$bar_pid"); server_start=$(ticks "$server_pid")
    sleep "$seconds"
    awk -v label="$1" -v b=$(( $(ticks "$bar_pid") - bar_start )) -v w=$(( $(ticks "$server_pid") - server_start )) \
        -v hz="$hz" -v s="$seconds" 'BEGIN {
        printf "  %-10s velmoria.exe %5.2f%%   wineserver %5.2f%%\n", label, 100 * b / hz / s, 100 * w / hz / s
    }'
}

sleep "$warmup"
echo "share of one core over $seconds s each:"
measure scrolling
wine "$wintool" post VELMORIA $wm_wtssession_change $wts_session_lock 0
sleep "$settle"
measure locked
wine "$wintool" post VELMORIA $wm_wtssession_change $wts_session_unlock 0
sleep "$settle"
measure unlocked
