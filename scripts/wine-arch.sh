#!/bin/bash
# Which Windows build of Velmoria this machine can run under Wine, decided in
# this one place for the run command, the tests and the prefixes:
#   i686    where 32-bit programs run: the 32-bit product under Debian's wine;
#   x86_64  where the kernel runs no 32-bit program (some virtual machines
#           switch 32-bit emulation off, and Wine's 32-bit loader then fails
#           with "Exec format error"): the same source built for 64-bit
#           Windows, under wine64 (scripts/wine64/ first on PATH).
# VELMORIA_WINE_ARCH=i686|x86_64 chooses by hand.
#
# Run: prints i686 or x86_64.
# Sourced: defines velmoria_wine_arch (prints the same) and
# velmoria_use_wine ARCH, which exports WINEARCH (win32 or win64) and, for
# x86_64, puts the wine64 wrapper first on PATH. A prefix is made for one
# width and must not be used with the other (velmoria_prefix_arch tells).

velmoria_scripts_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
velmoria_32bit_loader=/lib/ld-linux.so.2  # installed with wine32

velmoria_wine_arch() {
    case "${VELMORIA_WINE_ARCH:-}" in
        i686 | x86_64)
            echo "$VELMORIA_WINE_ARCH"
            return 0
            ;;
        "") ;;
        *)
            echo "VELMORIA_WINE_ARCH must be i686 or x86_64, not '$VELMORIA_WINE_ARCH'" >&2
            return 2
            ;;
    esac
    if "$velmoria_32bit_loader" --version >/dev/null 2>&1; then
        echo i686
    else
        echo x86_64
    fi
}

velmoria_use_wine() {
    case "$1" in
        i686) export WINEARCH=win32 ;;
        x86_64)
            export WINEARCH=win64
            case ":$PATH:" in
                *":$velmoria_scripts_dir/wine64:"*) ;;
                *) export PATH="$velmoria_scripts_dir/wine64:$PATH" ;;
            esac
            ;;
        *)
            echo "velmoria_use_wine: unknown build '$1'" >&2
            return 2
            ;;
    esac
}

# The width a prefix was made for (win32 or win64, from Wine's own mark in
# its registry file); empty when the folder holds no finished prefix.
velmoria_prefix_arch() {
    sed -n 's/^#arch=\(win32\|win64\)\r\{0,1\}$/\1/p' "$1/system.reg" 2>/dev/null | head -n1
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    velmoria_wine_arch
fi
