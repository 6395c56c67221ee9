#!/bin/bash
# Asks each live market-data source once for IBM, VOD.L and ^DJI and prints
# what each answered or why not: the check that keys and network work.
# Needs the internet, so CI does not run it.
#   scripts/live-check.sh [BUILD_DIR]          (default: build)
# The chart API needs no key; Finnhub and Twelve Data are asked when their
# keys are in VELMORIA_FINNHUB_KEY and VELMORIA_TWELVEDATA_KEY.
# Exits non-zero when no source answered.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
service=$build/service/velmoria-service
symbols=(IBM VOD.L '^DJI')

if [ ! -x "$service" ]; then
    [ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build"
    cmake --build "$build" -j2 --target velmoria-service
fi

exec "$service" --source "$("$root/scripts/live-sources.sh")" --check "${symbols[@]}"
