# Sourced by the Wine benchmarks: a scratch folder, a fresh prefix, an Xvfb
# display and a way to start the stand-in service, all ended on exit.
# Needs $root (the source tree) and $service (the service binary).

work=$(mktemp -d)
pids=()
cleanup() {
    WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

"$root/scripts/make-prefix.sh" "$work/prefix" >/dev/null 2>&1
export WINEPREFIX=$work/prefix WINEARCH=${WINEARCH:-win32} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy NO_PROXY

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")

# Starts the service on the program's port (VELMORIA_BENCH_PORT for a build
# made for another one) with the request log $1; its pid
# goes to $service_pid.
start_service() {
    "$service" --port "${VELMORIA_BENCH_PORT:-8642}" --message "" --log "$1" >"$work/service.out" 2>&1 &
    service_pid=$!
    pids+=("$service_pid")
    for _ in $(seq 100); do grep -q listening "$work/service.out" 2>/dev/null && break; sleep 0.1; done
}

# Stores the bar's settings in the prefix: at the top left, 423 pixels wide,
# with the symbol list $1.
store_bar_settings() {
    cat >"$work/settings.reg" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Orvo]
"Top"=dword:00000000
"Left"=dword:00000000
"Right"=dword:000001a7
"Symbols"="$1"
REG
    wine regedit /S "$work/settings.reg"
}
