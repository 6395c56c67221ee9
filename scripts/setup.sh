#!/bin/bash
# Installs, on Debian 12, what building, running and testing Velmoria need,
# and only what is missing, so it is quick to run again. Asks for root
# (sudo) only when something has to be installed. Used by scripts/run.sh,
# scripts/test.sh and .ci/run.
set -euo pipefail

packages=(
    # native build, unit tests and benchmarks
    cmake g++ make pkg-config googletest libgtest-dev libbenchmark-dev
    libcpp-httplib-dev libcurl4-openssl-dev valgrind
    # the service's live mode: JSON of the market-data sources; openssl makes
    # the certificate its tests check the client refuses
    nlohmann-json3-dev openssl
    # the Windows build
    g++-mingw-w64-i686
    # the 64-bit build of the same source, which the Wine tests run where the
    # kernel runs no 32-bit program (wine64)
    g++-mingw-w64-x86-64-posix
    # running it: Wine (32-bit), a virtual X server and the tools that drive it
    wine wine32:i386 wine64 xvfb xauth x11-utils xdotool imagemagick
    # a nested X server whose Xinerama heads stand side by side: Wine shows
    # them as two monitors (Xvfb's heads all stand at 0, 0)
    xserver-xephyr
    # fonts: Wine's own "MS Sans Serif"; Liberation Sans for the bold face
    fonts-wine fonts-liberation
    # the Windows installer (NSIS, with its 64-bit stubs for the wine64 tests)
    nsis
    # the end-to-end bench
    python3 python3-pytest python3-fonttools
    # the soak: an X client that sees every update of the bar (DAMAGE), a
    # loopback network of its own for long runs, the report's plots
    libx11-dev libxdamage-dev iproute2 python3-matplotlib
    # a locale with another code page, made by the tests with localedef
    locales
    # the fuzz targets: clang with compiler-rt, which holds libFuzzer
    clang-14 libclang-rt-14-dev
    # the service's detail and help pages checked in a real browser, headless
    chromium
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "setup: root is needed to install packages (no sudo here): $*" >&2
        exit 1
    fi
}

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

needs_i386=false
dpkg --print-foreign-architectures | grep -qx i386 || needs_i386=true
missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ] && ! $needs_i386; then
    exit 0
fi

echo "setup: installing ${missing[*]}" >&2
if $needs_i386; then
    as_root dpkg --add-architecture i386
fi
as_root apt-get update
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
