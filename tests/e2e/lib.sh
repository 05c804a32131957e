# Shared by the end-to-end tests: the harness's display and prefix, starting and probing the
# bar, driving the pointer like a person would, screenshots.
set -euo pipefail
: "${REPLYBAR_HARNESS:?run through ctest}"
. "$REPLYBAR_HARNESS/env.sh"
BIN=${REPLYBAR_BIN:?}
SRC=${REPLYBAR_SOURCE:?}
WORK="$BIN/e2e/$(basename "$0" .sh)"
SHOTS="$BIN/screenshots"
rm -rf "$WORK"
mkdir -p "$WORK" "$SHOTS"
APPDATA="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
PIDS=()

fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "  - $*"; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# Every wine command with the Chinese locale (code page 936) and no pipes attached.
w() { LC_ALL=zh_CN.UTF-8 wine "$@" </dev/null >>"$WORK/wine.log" 2>&1; }
w_bg() { LC_ALL=zh_CN.UTF-8 wine "$@" </dev/null >>"$WORK/wine.log" 2>&1 & PIDS+=($!); }
xdo() { LC_ALL=C.UTF-8 xdotool "$@"; }

probe() { w "$BIN/e2e_probe.exe" "$@"; }
# Facts of the bar into $WORK/bar.txt; `fact KEY` reads one.
probe_bar() { rm -f "$WORK/bar.txt"; probe bar "$(winpath "$WORK/bar.txt")"; }
fact() { sed -n "s/^$1=//p" "${2:-$WORK/bar.txt}" | head -n 1; }

wait_for() {  # wait_for SECONDS command...
    local limit=$1; shift
    local end=$((SECONDS + limit))
    until "$@"; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.2
    done
}
bar_up() { probe_bar && [ "$(fact found)" = 1 ] && [ "$(fact visible)" = 1 ]; }
bar_gone() { probe_bar && [ "$(fact count)" = 0 ]; }

BAR_PID=""
start_bar() {  # start_bar [NAME=VALUE ...]: the bar, with these in its environment
    env LC_ALL=zh_CN.UTF-8 "$@" wine "$BIN/ReplyBar.exe" </dev/null >>"$WORK/wine.log" 2>&1 &
    BAR_PID=$!
    PIDS+=("$BAR_PID")
    wait_for 30 bar_up || fail "the bar did not appear"
}
close_bar() {
    probe close
    wait_for 15 bar_gone || fail "the bar did not close on WM_CLOSE"
    [ -z "$BAR_PID" ] || wait "$BAR_PID" 2>/dev/null || true
    BAR_PID=""
}

CHAT_LOG=""
start_chat() {  # start_chat X Y: the user's chat window, focused
    CHAT_LOG="$WORK/chat.log"
    w_bg "$BIN/e2e_chat.exe" "$(winpath "$CHAT_LOG")" "${1:-300}" "${2:-200}"
    wait_for 20 test -f "$CHAT_LOG" || fail "the chat window did not start"
}
chat_text() { cat "$CHAT_LOG.text" 2>/dev/null || true; }
# The chat holds exactly this text (printf's escapes), byte for byte, line breaks included.
chat_is() {
    [ "$(od -An -tx1 "$CHAT_LOG.text" 2>/dev/null | tr -d ' \n')" = "$(printf "$1" | od -An -tx1 | tr -d ' \n')" ]
}
chat_clear() { probe chatclear; wait_for 5 chat_is '' || fail "the chat was not emptied"; }

reg_get() { rm -f "$WORK/reg.txt"; probe regget "$(winpath "$WORK/reg.txt")"; }
reg_set() { printf '%s' "$1" >"$WORK/regin.txt"; probe regset "$(winpath "$WORK/regin.txt")"; }
reset_state() {
    probe regdel
    rm -f "$APPDATA"/[0-9]*.txt "$APPDATA/bmpk.txt" "$APPDATA/n.txt"
}

# A reply file as the store writes it: GBK, the text given with printf's escapes.
put_reply() { printf "$2" | iconv -f UTF-8 -t GBK >"$APPDATA/$1"; }

# The reply panel of a bar whose face is at $bx,$by.
open_panel() {
    xdo mousemove $((bx + 87)) $((by + 15)) click 1
    wait_for 5 eval 'probe_bar; [ "$(fact h)" != 29 ]' || fail "the panel did not open"
}
# Row r's text in screen pixels while the panel is open: text tops 30, 345, 630, 900, 1185,
# 1470 twips.
REPLY_TEXT_TOPS=(2 23 42 60 79 98)
row_y() { echo $(( $(fact y) + ${REPLY_TEXT_TOPS[$1]} + 6 )); }
hover_row() {
    open_panel
    xdo mousemove $((bx + 60)) "$(row_y "$1")"
    sleep 0.3
}
pick_row() {
    hover_row "$1"
    xdo click 1
    wait_for 5 eval 'probe_bar; [ "$(fact h)" = 29 ]' || fail "the panel did not close after a pick"
}

shot() {  # shot NAME [geometry]: a screenshot into the build's screenshots folder
    if [ -n "${2:-}" ]; then import -window root -crop "$2" "$SHOTS/$1.png"
    else import -window root "$SHOTS/$1.png"; fi
    note "screenshot $SHOTS/$1.png"
}
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }

cleanup() {
    for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT

# Dialogs have no window manager here: keys go to the X window under the pointer.
find_window() {  # find_window CLASS TITLE: facts into $WORK/win.txt; true when found
    rm -f "$WORK/win.txt"
    probe find "$1" "$2" "$(winpath "$WORK/win.txt")"
    [ "$(fact found "$WORK/win.txt")" = 1 ]
}
window_up() { find_window "$@" && [ "$(fact visible "$WORK/win.txt")" = 1 ]; }
window_gone() { ! find_window "$@" || [ "$(fact visible "$WORK/win.txt")" = 0 ]; }
answer_box() {  # answer_box TITLE ID: click the message box's button ID (1 OK, 6 Yes, 7 No)
    local title=$1 id=$2 r l t rr b
    wait_for 10 find_window '#32770' "$title" || fail "no message box '$title'"
    rm -f "$WORK/box.txt"
    probe controls '#32770' "$(winpath "$WORK/box.txt")"
    r=$(sed -n "s/^ctl$id=//p" "$WORK/box.txt" | cut -d'|' -f4)
    [ -n "$r" ] || fail "the message box '$title' has no button $id"
    IFS=, read -r l t rr b <<<"$r"
    xdo mousemove $(( (l + rr) / 2 )) $(( (t + b) / 2 )) click 1
    wait_for 5 window_gone '#32770' "$title" || fail "the message box '$title' did not close"
}
# A dialog's controls: ctl<ID>=class|visible|enabled|l,t,r,b|text
controls_of() { rm -f "$WORK/ctl.txt"; probe controls "$1" "$(winpath "$WORK/ctl.txt")"; }
editor_controls() { controls_of ReplyBar.ReplyEditor; }
ctl() { sed -n "s/^ctl$1=//p" "$WORK/ctl.txt"; }
ctl_field() { ctl "$1" | cut -d'|' -f"$2"; }
click_ctl() {  # click_ctl ID [button]
    local r; r=$(ctl_field "$1" 4)
    IFS=, read -r l t rr b <<<"$r"
    xdo mousemove $(( (l + rr) / 2 )) $(( (t + b) / 2 )) click "${2:-1}"
    sleep 0.3
}

# The open popup menu, if any: its window's rectangle in $WORK/menu.txt.
menu_open() { rm -f "$WORK/menu.txt"; probe find '#32768' '' "$(winpath "$WORK/menu.txt")"; [ "$(fact found "$WORK/menu.txt")" = 1 ] && [ "$(fact visible "$WORK/menu.txt")" = 1 ]; }
menu_closed() { ! menu_open; }
now() { date +%s.%N; }
seconds_since() { awk -v a="$(now)" -v b="$1" 'BEGIN { printf "%.2f", a - b }'; }
between() { awk -v x="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(x >= lo && x <= hi) }'; }

# "The shell opened X": files of these types open the logger, which appends its command line to
# $BIN/opened.log; addresses go to a browser script appending to $WORK/urls.log.
log_shell_opens() {
    local logger t
    logger=$(winpath "$BIN/e2e_logger.exe")
    for t in "$@"; do
        w reg add "HKLM\\Software\\Classes\\$t\\shell\\open\\command" /ve /d "\"$logger\" \"%1\"" /f
    done
    rm -f "$BIN/opened.log"
}
log_browser() {
    printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$WORK/urls.log" >"$WORK/browser.sh"
    chmod +x "$WORK/browser.sh"
    w reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$WORK/browser.sh" /f
    rm -f "$WORK/urls.log"
}
opened_count() { grep -cF "$1" "$BIN/opened.log" 2>/dev/null || true; }
# Days from today to the next given weekday (1 Monday ... 7 Sunday), for faketime.
days_until() { echo $(( ($1 - $(date +%u) + 7) % 7 )); }
on_day() {  # on_day WEEKDAY: the environment that makes the bar live on that day
    echo "LD_PRELOAD=$(ls /usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1)" \
         "FAKETIME=+$(days_until "$1")d" FAKETIME_DONT_FAKE_MONOTONIC=1
}
