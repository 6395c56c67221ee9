#!/bin/bash
# Configures, builds and runs every test: the native unit tests, the
# Windows-side tests under Wine and the end-to-end bench of velmoria.exe
# under Wine in Xvfb. Extra arguments go to ctest (e.g. -L e2e, -j2).
# Installs what is missing first (scripts/setup.sh).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"

cmake -S . -B build
cmake --build build -j2
ctest --test-dir build --output-on-failure "$@"
