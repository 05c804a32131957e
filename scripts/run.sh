#!/usr/bin/env bash
# Builds ReplyBar.exe and starts it under Wine: on $DISPLAY when there is one, else on an Xvfb
# of its own, where it takes a screenshot, prints its path and stops again.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
need_packages "${BUILD_PACKAGES[@]}" "${WINE_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
need_chinese_locale

cmake --preset windows >/dev/null
cmake --build --preset windows --target ReplyBar
exe=$PWD/build/windows/ReplyBar.exe
shot=$PWD/build/windows/replybar-screenshot.png

export WINEPREFIX=${WINEPREFIX:-$PWD/build/run-prefix} WINEARCH=win64 WINEDEBUG=-all
. scripts/wine-prefix.sh
[ -f "$WINEPREFIX/.ready" ] || echo "preparing the Wine prefix $WINEPREFIX (once)"
prepare_wine_prefix "$WINEPREFIX" /dev/null

xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
    n=95
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

LC_ALL=zh_CN.UTF-8 wine "$exe" </dev/null >/dev/null 2>&1 &
bar_pid=$!
sleep 4
import -window root "$shot"
echo "screenshot: $shot"

if [ -n "$xvfb_pid" ]; then
    wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$bar_pid" 2>/dev/null || true
else
    echo "ReplyBar is running (close it from its settings or reply editor: 退出本程序)"
    wait "$bar_pid" || true
fi
