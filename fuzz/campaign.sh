#!/bin/bash
# A longer fuzzing campaign: every target for SECONDS (default 600), two at
# a time at the lowest priority, each over a copy of its seed corpus in
# WORK (default /tmp/velmoria-fuzz). Prints each target's final figures;
# crashes land in WORK/<target>/artifacts.
#   campaign.sh FUZZ_BUILD_DIR [SECONDS] [WORK]
set -euo pipefail

build=$1 seconds=${2:-600} work=${3:-/tmp/velmoria-fuzz}
here=$(cd "$(dirname "$0")" && pwd)
readonly AT_ONCE=2

run_one() {
    local target=$1 dir=$work/$1
    mkdir -p "$dir/corpus" "$dir/artifacts"
    cp -n "$here/corpus/$target/"* "$dir/corpus/" 2>/dev/null || true
    nice -n 19 "$build/${target}_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$dir/artifacts/" "$dir/corpus" >"$dir/log" 2>&1 || true
    echo "== $target"
    grep -E '^#[0-9]+.*DONE|^Done|stat::|ERROR|SUMMARY' "$dir/log" || tail -n 5 "$dir/log"
    ls "$dir/artifacts"
}

targets=$(sed -n 's/^set(VELMORIA_FUZZ_TARGETS \(.*\))$/\1/p' "$here/targets.cmake")
for target in $targets; do
    while (($(jobs -rp | wc -l) >= AT_ONCE)); do wait -n; done
    run_one "$target" &
done
wait
