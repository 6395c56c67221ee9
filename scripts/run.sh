#!/bin/bash
# Runs the ticker on Linux: velmoria.exe under Wine, fed by the stand-in
# service (build/service/velmoria-service) on the port the program is built
# for (VELMORIA_QUOTE_SERVICE, 8642 by default).
#   - With DISPLAY set, the bar runs on that display until you choose Exit.
#   - Without DISPLAY, it runs in Xvfb until its first quotes show, saves a
#     screenshot of the bar and stops everything; it ends with 1 when no
#     quoted item came into view.
# Usage: scripts/run.sh [--live] [screenshot.png] [-- SERVICE-OPTION...]
#   --live: real quotes from the market-data sources (needs the internet): the
#   keyless chart API, and Finnhub and Twelve Data when their keys are in
#   VELMORIA_FINNHUB_KEY and VELMORIA_TWELVEDATA_KEY. Without it the quotes
#   are simulated, offline. Options after -- go to the service as they stand
#   (--provider-url chart=http://127.0.0.1:9000 points it at a local source).
# Which Windows build runs is decided by scripts/wine-arch.sh: the 32-bit
# program where 32-bit programs run, else the 64-bit build under wine64.
# The Wine prefix is $VELMORIA_PREFIX, by default
# ~/.local/share/velmoria/prefix (prefix-win64 for the 64-bit build); it is
# made on first use by scripts/make-prefix.sh, and one made for the other
# width is refused.
# When the program's port is taken by something else, the service listens on
# a free port and the program reaches it through Wine's proxy setting.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
service_arguments=()
if [ "${1:-}" = "--live" ]; then
    shift
    service_arguments=(--source "$("$root/scripts/live-sources.sh")")
fi
screenshot=velmoria.png
if [ $# -gt 0 ] && [ "$1" != "--" ]; then
    screenshot=$1
    shift
fi
if [ $# -gt 0 ]; then
    if [ "$1" != "--" ]; then
        echo "usage: $0 [--live] [screenshot.png] [-- SERVICE-OPTION...]" >&2
        exit 2
    fi
    shift
    service_arguments+=("$@")
fi
screenshot=$(realpath -m "$screenshot")
build=$root/build
source "$root/scripts/wine-arch.sh"
arch=$(velmoria_wine_arch)
case "$arch" in
    i686)
        windows_target=velmoria_windows
        exe=$build/windows/velmoria.exe
        default_prefix=$HOME/.local/share/velmoria/prefix
        ;;
    x86_64)
        windows_target=velmoria_windows64
        exe=$build/windows64/velmoria.exe
        default_prefix=$HOME/.local/share/velmoria/prefix-win64
        ;;
esac
service=$build/service/velmoria-service
prefix=${VELMORIA_PREFIX:-$default_prefix}
screen_geometry=1280x1024x24
show_seconds=8          # without the service: long enough to scroll in
quote_timeout_steps=120 # of 0.5 s: the first quotes on show
enter_seconds=4
start_timeout_steps=100 # of 0.1 s

"$root/scripts/setup.sh"

# Build what is out of date: the program (Windows sub-build) and the service.
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build"
fi
cmake --build "$build" -j2 --target "$windows_target" velmoria-service
# The port the program was built to find its home site and quotes on.
program_port=$(sed -n 's|^VELMORIA_QUOTE_SERVICE:[A-Z]*=http://127\.0\.0\.1:\([0-9]*\)$|\1|p' \
    "$build/CMakeCache.txt")
if [ -z "$program_port" ]; then
    echo "note: the program is built for a quote service that is not on 127.0.0.1; it runs as built" >&2
fi

velmoria_use_wine "$arch"
if [ ! -d "$prefix" ]; then
    "$root/scripts/make-prefix.sh" "$prefix"
fi
prefix_arch=$(velmoria_prefix_arch "$prefix")
if [ "$prefix_arch" != "$WINEARCH" ]; then
    echo "$prefix is not a $WINEARCH Wine prefix (it is ${prefix_arch:-not a finished prefix});" >&2
    echo "set VELMORIA_PREFIX to another folder, or remove this one to have it made anew" >&2
    exit 1
fi
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# WinINet under Wine obeys the proxy variables; the service is local.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy NO_PROXY

state=$(mktemp -d)
service_pid=
xvfb_pid=
program_pid=
stop() {
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
cleanup() {
    if [ -n "$program_pid" ]; then
        wineserver -k 2>/dev/null || true  # ends the program and its prefix's processes
        wait "$program_pid" 2>/dev/null || true
    fi
    [ -z "$xvfb_pid" ] || stop "$xvfb_pid"
    [ -z "$service_pid" ] || stop "$service_pid"
    rm -rf "$state"
}
trap cleanup EXIT

# Waits until the file $1 contains the pattern $2; false on timeout.
wait_for_text() {
    for _ in $(seq "$start_timeout_steps"); do
        grep -q "$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# Whether something on this machine listens on 127.0.0.1:$1.
port_taken() {
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

if [ -x "$service" ] && [ -n "$program_port" ]; then
    service_port=$program_port
    if port_taken "$service_port"; then
        # The service answers requests in a proxy's form too, so the program
        # finds it through Wine's proxy setting without being rebuilt.
        service_port=0
    fi
    "$service" --port "$service_port" --log "$state/requests.log" "${service_arguments[@]}" \
        >"$state/service.out" 2>&1 &
    service_pid=$!
    if ! wait_for_text "$state/service.out" "listening on"; then
        echo "velmoria-service did not start:" >&2
        cat "$state/service.out" >&2
        exit 1
    fi
    listening=$(sed -n 's/.*listening on [^ ]*:\([0-9][0-9]*\).*/\1/p' "$state/service.out" | head -n1)
    if [ "$listening" != "$program_port" ]; then
        echo "port $program_port is taken: the service listens on $listening, the program reaches it as its proxy"
        export http_proxy=http://127.0.0.1:$listening
    fi
elif [ ! -x "$service" ]; then
    echo "note: $service is not built; the bar runs without quotes" >&2
fi

if [ -n "${DISPLAY:-}" ]; then
    wine "$exe"
    exit 0
fi

# Headless: our own X server, then a screenshot of the bar.
Xvfb -displayfd 1 -screen 0 "$screen_geometry" -nolisten tcp -noreset \
    >"$state/display" 2>"$state/xvfb.log" &
xvfb_pid=$!
if ! wait_for_text "$state/display" '^[0-9]'; then
    echo "Xvfb did not start:" >&2
    cat "$state/xvfb.log" >&2
    exit 1
fi
export DISPLAY=:$(head -n1 "$state/display")

wine "$exe" >"$state/velmoria.log" 2>&1 &
program_pid=$!

# A first run greets the user before the bar shows: accept the greeting.
bar=
for _ in $(seq "$start_timeout_steps"); do
    bar=$(xdotool search --onlyvisible --name '^VELMORIA$' 2>/dev/null | head -n1) && [ -n "$bar" ] && break
    greeting=$(xdotool search --onlyvisible --name '^New Velmoria User$' 2>/dev/null | head -n1) || true
    if [ -n "$greeting" ]; then
        xdotool windowfocus --sync "$greeting" key Return
    fi
    sleep 0.1
done
if [ -z "$bar" ]; then
    echo "the bar did not show; program output:" >&2
    cat "$state/velmoria.log" >&2
    exit 1
fi

# Wait for the first quotes to arrive and a quoted item (green or red) to
# scroll into view, so the picture shows the bar at work.
quoted_colours='#006600|#DD0000'
crop_bar() {
    eval "$(xdotool getwindowgeometry --shell "$bar")"
    local left=$(( X > 0 ? X : 0 )) top=$(( Y > 0 ? Y : 0 ))
    import -window root -crop "${WIDTH}x${HEIGHT}+$left+$top" +repage "$1" 2>/dev/null
}
quotes_shown=
if [ -n "$service_pid" ]; then
    for _ in $(seq "$quote_timeout_steps"); do
        if grep -q quotes.csv "$state/requests.log" 2>/dev/null && crop_bar "$state/bar.png" &&
            convert "$state/bar.png" -format %c histogram:info:- | grep -qiE "$quoted_colours"; then
            sleep "$enter_seconds"  # the rest of the item comes in
            quotes_shown=yes
            break
        fi
        sleep 0.5
    done
else
    sleep "$show_seconds"
fi
crop_bar "$state/bar.png" || true  # where the bar stands now
# A stored position may put the bar partly off screen: crop to the screen.
screen_width=${screen_geometry%%x*}
screen_height=${screen_geometry#*x}
screen_height=${screen_height%%x*}
left=$(( X > 0 ? X : 0 ))
top=$(( Y > 0 ? Y : 0 ))
right=$(( X + WIDTH < screen_width ? X + WIDTH : screen_width ))
bottom=$(( Y + HEIGHT < screen_height ? Y + HEIGHT : screen_height ))
if [ "$right" -le "$left" ] || [ "$bottom" -le "$top" ]; then
    echo "the bar is off screen at $X,$Y; saving the whole screen" >&2
    import -window root "$screenshot"
else
    import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$screenshot"
fi
echo "screenshot of the bar: $screenshot"
if [ -n "$service_pid" ] && [ -z "$quotes_shown" ]; then
    echo "no quoted item came into view within $((quote_timeout_steps / 2)) s; the service's output:" >&2
    cat "$state/service.out" >&2
    exit 1
fi
