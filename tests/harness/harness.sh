#!/usr/bin/env bash
# The Wine test harness, under the build folder: once per test run, a template Wine prefix, and
# one Xvfb display with a copy of the template for the Win32 tests and the benchmarks. Each
# end-to-end script starts a display and a prefix copy of its own (tests/e2e/lib.sh), so that
# two can run at once; it records them in DIR/e2e/ and ends them itself. `harness.sh setup DIR`
# starts the harness's own and writes DIR/env.sh; `harness.sh teardown DIR` stops what setup
# started, and whatever a script that was killed left on its record, by process id.
set -euo pipefail
cmd=${1:?setup or teardown}
dir=$(mkdir -p "${2:?harness folder}" && cd "$2" && pwd)

. "$(dirname "$0")/../../scripts/wine-prefix.sh"

setup() {
    teardown quiet || true
    # A free display number: no lock file and no socket.
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    [ -e "/tmp/.X11-unix/X$n" ] || { echo "harness: Xvfb did not start" >&2; exit 1; }

    export DISPLAY=":$n" WINEPREFIX="$dir/prefix" WINEARCH=win64
    # One wineboot per run: the template is made once, the test prefix copied from it.
    local template="$dir/template"
    prepare_wine_prefix "$template" "$dir/wine.log"
    rm -rf "$WINEPREFIX"
    cp -a "$template" "$WINEPREFIX"
    rm -f "$WINEPREFIX/.prepared"
    mkdir -p "$dir/e2e"
    cat >"$dir/env.sh" <<ENV
export DISPLAY=:$n
export WINEPREFIX=$WINEPREFIX
export WINEARCH=win64
export WINEDEBUG=-all
export REPLYBAR_HARNESS=$dir
export REPLYBAR_TEMPLATE=$template
ENV
    echo "harness: display :$n, prefix $WINEPREFIX"
}

teardown() {
    local quiet=${1:-}
    if [ -f "$dir/env.sh" ]; then
        # shellcheck disable=SC1091
        . "$dir/env.sh"
        wineserver -k >/dev/null 2>&1 || true
    fi
    # A script ended before its own cleanup (a time-out): its displays and prefixes, as recorded.
    local record what value
    for record in "$dir"/e2e/*.slot; do
        [ -f "$record" ] || continue
        while read -r what value; do
            case "$what" in
            prefix)
                # A wine command the script had under way may start a new server meanwhile.
                for _ in 1 2 3; do
                    [ -d "$value" ] || break
                    WINEPREFIX="$value" wineserver -k >/dev/null 2>&1 || true
                    WINEPREFIX="$value" wineserver -w >/dev/null 2>&1 || true
                    rm -rf "$value" 2>/dev/null || true
                done
                ;;
            xvfb) if grep -qa '^Xvfb' "/proc/$value/cmdline" 2>/dev/null; then kill "$value" 2>/dev/null || true; fi ;;
            esac
        done <"$record"
        rm -f "$record"
    done
    if [ -f "$dir/xvfb.pid" ]; then
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
        rm -f "$dir/xvfb.pid"
    fi
    rm -f "$dir/env.sh"
    [ -n "$quiet" ] || echo "harness: stopped"
}

case "$cmd" in
setup) setup ;;
teardown) teardown ;;
*) echo "usage: $0 setup|teardown DIR" >&2; exit 2 ;;
esac
