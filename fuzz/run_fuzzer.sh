#!/bin/bash
# Runs one fuzz target briefly over its seed corpus for ctest:
#   run_fuzzer.sh FUZZER CORPUS WORK SECONDS
# New inputs and any crash land in WORK, never in the corpus. Exits 77
# (skipped) when the fuzzer was not built because clang's libFuzzer is
# missing.
set -euo pipefail

fuzzer=$1 corpus=$2 work=$3 seconds=$4
readonly SKIPPED=77

if [[ ! -x $fuzzer ]]; then
    echo "skipped: $fuzzer was not built (clang with libFuzzer is not installed)"
    exit $SKIPPED
fi
mkdir -p "$work/new" "$work/artifacts"
exec "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/new" "$corpus"
