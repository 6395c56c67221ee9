#!/bin/bash
# Wall time of one quote pass of velmoria.exe over 100 symbols under Wine
# against the local stand-in service, beside 100 sequential HTTP/1.0 GETs of
# the same addresses by one curl process, in one run. Both are timed by the
# service's request log, from the first quote request to the last, so the
# same clock and the same server measure both.
# Usage: bench/pass_time.sh [build-dir]      (default: build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
symbols_count=100
exe=$build/windows/velmoria.exe
service=$build/service/velmoria-service
for file in "$exe" "$service"; do
    [ -x "$file" ] || { echo "missing $file: build first" >&2; exit 1; }
done
command -v curl >/dev/null || { echo "curl is needed" >&2; exit 1; }

source "$root/bench/wine_session.sh"

# Milliseconds from the first quote request of the log to the last.
span() {
    awk -F'\t' '$4 ~ /quotes\.csv/ { if (first == "") first = $1; last = $1; n++ }
                END { printf "%d %d\n", n, last - first }' "$1"
}

symbols=$(for i in $(seq -w 1 "$symbols_count"); do printf 'S%s, ' "$i"; done)
store_bar_settings "${symbols%, }"

# The bar: one whole pass.
start_service "$work/bar.log"
wine "$exe" >/dev/null 2>&1 &
for _ in $(seq 600); do
    [ "$(grep -c quotes.csv "$work/bar.log" 2>/dev/null || true)" -ge "$symbols_count" ] && break
    sleep 0.1
done
read -r bar_requests bar_ms < <(span "$work/bar.log")
wineserver -k 2>/dev/null || true
kill "$service_pid"; wait "$service_pid" 2>/dev/null || true

# curl: the same addresses, one after another, HTTP/1.0, one process.
start_service "$work/curl.log"
urls=()
for i in $(seq -w 1 "$symbols_count"); do
    urls+=("http://127.0.0.1:8642/d/quotes.csv?f=sl1t1c1ghpv&s=S$i")
done
curl_started=$(date +%s%N)
curl --http1.0 -s -A ORVO -o /dev/null "${urls[@]/#/}" --parallel-max 1 >/dev/null
curl_wall_ms=$(( ($(date +%s%N) - curl_started) / 1000000 ))
read -r curl_requests curl_ms < <(span "$work/curl.log")
kill "$service_pid"; wait "$service_pid" 2>/dev/null || true

# curl again, one process per address, as a shell loop does it.
start_service "$work/curls.log"
for url in "${urls[@]}"; do curl --http1.0 -s -A ORVO -o /dev/null "$url"; done
read -r curls_requests curls_ms < <(span "$work/curls.log")

awk -v br="$bar_requests" -v bm="$bar_ms" -v cr="$curl_requests" -v cm="$curl_ms" -v cw="$curl_wall_ms" \
    -v sr="$curls_requests" -v sm="$curls_ms" 'BEGIN {
    printf "one quote pass, first to last request (service clock):\n"
    printf "  velmoria.exe under Wine     %4d requests  %6d ms\n", br, bm
    printf "  one curl, HTTP/1.0          %4d requests  %6d ms  (%d ms for the whole command)\n", cr, cm, cw
    printf "  a curl per request          %4d requests  %6d ms\n", sr, sm
    if (cm > 0) printf "  ratio to one curl            %.2f\n", bm / cm
    if (sm > 0) printf "  ratio to a curl per request  %.2f\n", bm / sm
}'
