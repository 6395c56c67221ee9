#!/bin/bash
# CPU share of velmoria.exe scrolling 20 quoted items under Wine, measured
# side by side in one run with bench/minimal_ticker.exe, which does the same
# drawing every 40 ms in the most direct way. Both run on one Xvfb display
# against the stand-in service; after a warm-up (exchange list and first
# quotes), utime + stime of each process is sampled over the interval.
# Usage: bench/cpu_share.sh [build-dir] [seconds]   (default: build, 30)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
seconds=${2:-30}
warmup=8
exe=$build/windows/velmoria.exe
yardstick=$build/windows/minimal_ticker.exe
service=$build/service/velmoria-service
for file in "$exe" "$yardstick" "$service"; do
    [ -x "$file" ] || { echo "missing $file: build first" >&2; exit 1; }
done

source "$root/bench/wine_session.sh"

start_service "$work/requests.log"

symbols=$(printf 'SY%02d, ' $(seq 1 20))
store_bar_settings "${symbols%, }"

wine "$exe" >/dev/null 2>&1 &
wine "$yardstick" $((warmup + seconds + 5)) >/dev/null 2>&1 &

window_pid() {
    local id
    for _ in $(seq 200); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1) && [ -n "$id" ] && break
        sleep 0.1
    done
    xprop -id "$id" _NET_WM_PID | sed 's/.*= //'
}
bar_pid=$(window_pid VELMORIA)
yardstick_pid=$(window_pid MINIMAL)

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
sleep "$warmup"
bar_start=$(ticks "$bar_pid"); yardstick_start=$(ticks "$yardstick_pid")
sleep "$seconds"
bar_ticks=$(( $(ticks "$bar_pid") - bar_start ))
yardstick_ticks=$(( $(ticks "$yardstick_pid") - yardstick_start ))
hz=$(getconf CLK_TCK)
quotes=$(grep -c quotes.csv "$work/requests.log" || true)

awk -v b="$bar_ticks" -v m="$yardstick_ticks" -v hz="$hz" -v s="$seconds" -v q="$quotes" 'BEGIN {
    printf "over %d s (%d quote requests served):\n", s, q
    printf "  velmoria.exe       %5.2f%% of one core\n", 100 * b / hz / s
    printf "  minimal_ticker.exe %5.2f%% of one core\n", 100 * m / hz / s
    if (m > 0) printf "  ratio              %5.2f\n", b / m
}'
