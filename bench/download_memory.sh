#!/bin/bash
# Resident memory of downloads under Wine, without the bar: rounds of 200
# quote downloads from the stand-in service (bench/download_loop.exe), each
# round on a new lowest-priority thread through the bar's own HttpGetText
# (worker), the same on the main thread (main), plain WinINet calls with
# none of the bar's code (raw), the same in one session per round
# (one-session), and sessions alone, opened and closed without a download
# (sessions). Prints VmRSS after the warm-up rounds and at the end, and the
# growth per 1000 downloads (or sessions).
# Usage: bench/download_memory.sh [build-dir] [rounds]   (default: build, 60)
# Run it in a network of its own when other tests use the port:
#   tests/soak/own_network.sh bench/download_memory.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
rounds=${2:-60}
warmup=5
per_round=200
pause_ms=200
# The 64-bit build under wine64 where the kernel runs no 32-bit program
# (WINEARCH=win64, scripts/wine64 first on PATH).
windows=$build/windows
[ "${WINEARCH:-win32}" = win64 ] && windows=$build/windows64
loop=$windows/download_loop.exe
service=$build/service/velmoria-service
for file in "$loop" "$service"; do
    [ -x "$file" ] || { echo "missing $file: build first" >&2; exit 1; }
done

source "$root/bench/wine_session.sh"
start_service "$work/requests.log"
wine reg query 'HKLM\Software' >/dev/null 2>&1  # the prefix is up before the loop starts

# The pid of the loop of this prefix (wine rewrites its command line).
loop_pid() {
    local pid
    for pid in $(pgrep -f 'download_loop\.exe' || true); do
        if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            echo "$pid"
            return
        fi
    done
}
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
rounds_done() {
    local done
    done=$(grep -c '^round' "$1" 2>/dev/null) || true
    echo "${done:-0}"
}

printf '%-11s %12s %12s %14s\n' mode "rss warm kB" "rss end kB" "kB per 1000"
for mode in worker main raw one-session sessions; do
    out=$work/$mode.out
    wine "$loop" "$rounds" "$per_round" "$pause_ms" "$mode" >"$out" 2>&1 &
    runner=$!
    until [ "$(rounds_done "$out")" -ge "$warmup" ]; do sleep 0.1; done
    pid=$(loop_pid)
    warm=$(rss_kb "$pid")
    until [ "$(rounds_done "$out")" -ge $((rounds - 1)) ]; do sleep 0.1; done
    end=$(rss_kb "$pid")
    wait "$runner"
    awk -v m="$mode" -v w="$warm" -v e="$end" -v n=$(((rounds - 1 - warmup) * per_round)) \
        'BEGIN { printf "%-11s %12d %12d %14.1f\n", m, w, e, (e - w) * 1000 / n }'
done
