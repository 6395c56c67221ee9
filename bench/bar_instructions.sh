#!/bin/bash
# Instructions per scroll step and per re-layout of the bar with 10, 100 and
# 1,000 items, counted by callgrind (repeatable, whatever else the machine
# does) on a platform whose calls do nothing.
# Usage: bench/bar_instructions.sh [build-dir]      (default: build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
bench=$build/bench/velmoria_bar_bench
calls=20
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

command -v valgrind >/dev/null || { echo "valgrind is needed" >&2; exit 1; }
[ -x "$bench" ] || cmake --build "$build" --target velmoria_bar_bench

printf '%-10s %8s %16s\n' operation items instructions/call
for operation in scroll relayout; do
    for items in 10 100 1000; do
        out=$work/$operation-$items.out
        valgrind --tool=callgrind --callgrind-out-file="$out" --collect-atstart=no \
            "$bench" "$operation" "$items" "$calls" >/dev/null 2>&1
        total=$(sed -n 's/^summary: *//p' "$out")
        printf '%-10s %8d %16d\n' "$operation" "$items" $((total / calls))
    done
done
