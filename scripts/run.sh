#!/usr/bin/env bash
# Builds ReplyBar.exe and starts it under Wine. With a $DISPLAY it starts the bar there and leaves
# the user's data alone. Without one it runs on an Xvfb of its own and shows the main job: three
# sample replies (seeded into its own prefix when that has none), Wine's Notepad as the window
# the user types in, the reply panel opened and a reply picked; it saves two screenshots (the
# open panel, and Notepad holding the pasted reply), prints their paths and stops.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
need_wine_setup

cmake --preset windows >/dev/null
cmake --build --preset windows --target ReplyBar
exe=$PWD/build/windows/ReplyBar.exe
own_prefix=$PWD/build/run-prefix
export WINEPREFIX=${WINEPREFIX:-$own_prefix} WINEARCH=win64 WINEDEBUG=-all
. scripts/wine-prefix.sh
[ -f "$WINEPREFIX/.prepared" ] || echo "preparing the Wine prefix $WINEPREFIX (once)"
prepare_wine_prefix "$WINEPREFIX" /dev/null

if [ -n "${DISPLAY:-}" ]; then
    echo "ReplyBar is running (close it from its settings or reply editor: 退出本程序)"
    LC_ALL=zh_CN.UTF-8 wine "$exe" </dev/null >/dev/null 2>&1 || true
    exit 0
fi

n=95
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$n"
stop() {
    wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb_pid" 2>/dev/null || true
}
trap stop EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done

# Three sample replies, GBK as the bar writes them, only into this script's own prefix.
appdata=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming
if [ "$WINEPREFIX" = "$own_prefix" ] && ! ls "$appdata"/[0-9]*.txt >/dev/null 2>&1; then
    mkdir -p "$appdata"
    i=0
    for reply in '你好，请问有什么可以帮您？' '好的，马上为您处理，请稍等。' '感谢您的耐心等待，祝您愉快！'; do
        printf '%s\r\n' "$reply" | iconv -f UTF-8 -t GBK >"$appdata/$i.txt"
        i=$((i + 1))
    done
    printf '134\r\n' >"$appdata/bmpk.txt"
    printf '\xb2\xbb\xd2\xaa\xd7\xd4\xb6\xaf\xb7\xa2\xcb\xcd\xd0\xc5\xcf\xa2\r\n' >"$appdata/n.txt"
fi

xdo() { LC_ALL=C.UTF-8 xdotool "$@"; }
wait_window() {  # wait_window NAME: the id of a visible window of that title
    local id=""
    for _ in $(seq 100); do
        id=$(xdo search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$id" ] && break
        sleep 0.2
    done
    [ -n "$id" ] || { echo "run: no window '$1'" >&2; exit 1; }
    echo "$id"
}
geometry() {  # geometry ID: X Y W H
    xdo getwindowgeometry "$1" | awk '/Position/ { split($2, p, ","); x = p[1]; y = p[2] }
        /Geometry/ { split($2, g, "x"); print x, y, g[1], g[2] }'
}

LC_ALL=zh_CN.UTF-8 wine notepad </dev/null >/dev/null 2>&1 &
notepad=$(wait_window '记事本')
xdo windowmove "$notepad" 420 120 windowsize "$notepad" 600 400
read -r nx ny _ _ <<<"$(geometry "$notepad")"
xdo mousemove $((nx + 300)) $((ny + 200)) click 1  # the user is typing in Notepad
LC_ALL=zh_CN.UTF-8 wine "$exe" </dev/null >/dev/null 2>&1 &
bar=$(wait_window '快捷回复条')
sleep 1
read -r bx by _ _ <<<"$(geometry "$bar")"

panel=$PWD/build/windows/run-panel.png
pasted=$PWD/build/windows/run-notepad.png
xdo mousemove $((bx + 87)) $((by + 15)) click 1
sleep 1
read -r _ top _ _ <<<"$(geometry "$bar")"
xdo mousemove $((bx + 60)) $((top + 2 + 23 + 6))
sleep 0.5
import -window root "$panel"
xdo click 1
sleep 1.5
import -window root "$pasted"
echo "screenshot of the open reply panel: $panel"
echo "screenshot of Notepad with the pasted reply: $pasted"
