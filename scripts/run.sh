#!/bin/bash
# Runs the ticker on Linux: velmoria.exe under Wine, fed by the stand-in
# service (build/service/velmoria-service, port 8642) when it has been built.
#   - With DISPLAY set, the bar runs on that display until you choose Exit.
#   - Without DISPLAY, it runs in Xvfb for a few seconds, saves a screenshot
#     of the bar and stops everything.
# Usage: scripts/run.sh [--live] [screenshot.png]      (default velmoria.png)
#   --live: real quotes from the market-data sources (needs the internet): the
#   keyless chart API, and Finnhub and Twelve Data when their keys are in
#   VELMORIA_FINNHUB_KEY and VELMORIA_TWELVEDATA_KEY. Without it the quotes
#   are simulated, offline.
# The Wine prefix is $VELMORIA_PREFIX, by default ~/.local/share/velmoria/prefix;
# it is made on first use by scripts/make-prefix.sh.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
service_arguments=()
if [ "${1:-}" = "--live" ]; then
    shift
    service_arguments=(--source "$("$root/scripts/live-sources.sh")")
fi
screenshot=$(realpath -m "${1:-velmoria.png}")
build=$root/build
exe=$build/windows/velmoria.exe
service=$build/service/velmoria-service
service_port=8642
prefix=${VELMORIA_PREFIX:-$HOME/.local/share/velmoria/prefix}
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
cmake --build "$build" -j2 --target velmoria_windows velmoria-service

if [ ! -d "$prefix" ]; then
    "$root/scripts/make-prefix.sh" "$prefix"
fi
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
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

if [ -x "$service" ]; then
    "$service" --port "$service_port" --log "$state/requests.log" "${service_arguments[@]}" \
        >"$state/service.out" 2>&1 &
    service_pid=$!
    if ! wait_for_text "$state/service.out" "listening on"; then
        echo "velmoria-service did not start (port $service_port taken?):" >&2
        cat "$state/service.out" >&2
        service_pid=
    fi
else
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
if [ -n "$service_pid" ]; then
    for _ in $(seq "$quote_timeout_steps"); do
        if grep -q quotes.csv "$state/requests.log" 2>/dev/null && crop_bar "$state/bar.png" &&
            convert "$state/bar.png" -format %c histogram:info:- | grep -qiE "$quoted_colours"; then
            sleep "$enter_seconds"  # the rest of the item comes in
            break
        fi
        sleep 0.5
    done
else
    sleep "$show_seconds"
fi
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
