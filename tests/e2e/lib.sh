# Shared by the end-to-end tests: a display and a prefix of the script's own, starting and
# probing the bar, driving the pointer like a person would, screenshots, and the runner of a
# script's scenarios.
set -euo pipefail
: "${REPLYBAR_HARNESS:?run through ctest}"
. "$REPLYBAR_HARNESS/env.sh"
BIN=${REPLYBAR_BIN:?}
SRC=${REPLYBAR_SOURCE:?}
WORK="$BIN/e2e/$(basename "$0" .sh)"
SHOTS="$BIN/screenshots"
rm -rf "$WORK"
mkdir -p "$WORK" "$SHOTS"
PIDS=()

# Inside a scenario the reason goes to the runner, which reports it with the scenario's name.
SCENARIO=""
fail() {
    if [ -n "$SCENARIO" ]; then printf '%s\n' "$*" >"$WORK/failure"; else echo "FAIL: $*" >&2; fi
    exit 1
}

wait_for() {  # wait_for SECONDS command...: SECONDS may have a fraction (1.5)
    local end
    end=$(( ${EPOCHREALTIME/./} + $(awk -v s="$1" 'BEGIN { printf "%d", s * 1000000 }') ))
    shift
    until "$@"; do
        [ "${EPOCHREALTIME/./}" -lt "$end" ] || return 1
        sleep 0.2
    done
}

# Scripts run side by side, each on an X display and in a Wine prefix of its own: nothing one
# does (the registry, the data folder, the keyboard, the windows on the screen) reaches the
# other. Each display and prefix is written on the script's record in the harness folder, for
# the harness's teardown should the script be killed before its cleanup ends them.
RECORD="$REPLYBAR_HARNESS/e2e/$(basename "$0" .sh).slot"
SCREENS=()
start_screen() {  # start_screen W H: a new Xvfb of that size; DISPLAY names it from now on
    local n="$WORK/display-${#SCREENS[@]}" xvfb
    rm -f "$n"
    # Xvfb takes the first free display number itself and writes it once it takes clients.
    Xvfb -displayfd 3 -screen 0 "$1x$2x24" -nolisten tcp 3>"$n" >"$n.log" 2>&1 &
    xvfb=$!
    SCREENS+=("$xvfb")
    echo "xvfb $xvfb" >>"$RECORD"
    wait_for 20 test -s "$n" || fail "no $1 x $2 screen: $(cat "$n.log")"
    export DISPLAY=":$(head -n 1 "$n")"
}
own_prefix() {  # own_prefix DIR: a prefix this script made, ended with it
    echo "prefix $1" >>"$RECORD"
}
# The system's libraries and programs, 630 of a prefix's 700 MB, are only ever read: the copy
# links them and copies everything else (the registry, the user's folders, settings files).
SHARED_SYSTEM_FILES='.*/drive_c/windows/system32/[^/]*\.\(dll\|exe\|drv\|sys\|ocx\|cpl\|acm\|tlb\|ax\|nls\)'
copy_prefix() {  # copy_prefix FROM TO: TO a copy of the prefix FROM, its server not yet started
    rm -rf "$2"
    own_prefix "$2"
    cp -al "$1" "$2"
    find "$2" -type f ! -regex "$SHARED_SYSTEM_FILES" -exec sh -c \
        'for f; do cp -p "$f" "$f.copy" && mv -f "$f.copy" "$f"; done' sh {} +
    rm -f "$2/.prepared"
}
end_screen() {  # end_screen PID: that Xvfb ended, if the process is still one
    if grep -qa '^Xvfb' "/proc/$1/cmdline" 2>/dev/null; then kill "$1" 2>/dev/null || true; fi
}
end_prefix() {  # end_prefix DIR: every program of that prefix ended, its server gone
    WINEPREFIX=$1 wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX=$1 wineserver -w >/dev/null 2>&1 || true
}
# At the end of the script: what it started, by process id, then every prefix and display on
# its record (a scenario's small screen too).
cleanup() {
    local p what value
    for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    while read -r what value; do
        if [ "$what" = prefix ] && [ -d "$value" ]; then end_prefix "$value"; rm -rf "$value" || true; fi
    done <"$RECORD"
    while read -r what value; do
        [ "$what" != xvfb ] || end_screen "$value"
    done <"$RECORD"
    rm -f "$RECORD"
}
: >"$RECORD"
trap cleanup EXIT
start_screen 1280 800
copy_prefix "$REPLYBAR_TEMPLATE" "$WORK/prefix"
export WINEPREFIX="$WORK/prefix"
# The prefix's server kept up until the script ends, and its services started once: otherwise
# they go a few seconds after the last program and every later start pays for them again.
wineserver -p </dev/null >/dev/null 2>&1
LC_ALL=zh_CN.UTF-8 wine wineboot </dev/null >>"$WORK/wine.log" 2>&1

APPDATA="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
QUICK_LAUNCH="$APPDATA/Microsoft/Internet Explorer/Quick Launch"
# The same folders as the bar names them.
DATA_W='C:\users\'"$(id -un)"'\AppData\Roaming\'
QUICK_LAUNCH_W="${DATA_W}"'Microsoft\Internet Explorer\Quick Launch\'

note() { echo "  - $*"; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }
# TEXT, with backslash escapes such as \r\n, in GBK: the code page of the bar's own files.
gbk() { printf '%b' "$1" | iconv -f UTF-8 -t GBK; }

# Every wine command with the Chinese locale (code page 936) and no pipes attached.
w() { LC_ALL=zh_CN.UTF-8 wine "$@" </dev/null >>"$WORK/wine.log" 2>&1; }
w_bg() { LC_ALL=zh_CN.UTF-8 wine "$@" </dev/null >>"$WORK/wine.log" 2>&1 & PIDS+=($!); }
xdo() { LC_ALL=C.UTF-8 xdotool "$@"; }

# A probe that only looks, or posts or sends the bar one message, is answered by a probe process
# kept running in the prefix and on the display in use (e2e_probe serve): a Wine process start
# costs a quarter of a second and much of a core, and the scripts poll. Any other probe starts a
# process of its own, as does every probe once a server stops answering.
SERVED_PROBES=" bar find controls regget keystate zorder checked list mark chatclear close send savekill "
PROBE_SERVER="" PROBE_SERVER_PID="" PROBE_SERVER_FOR=""
probe() {
    if [[ "$SERVED_PROBES" == *" $1 "* ]] && probe_server; then
        served_probe "$@"
    else
        w "$BIN/e2e_probe.exe" "$@"
    fi
}
probe_server() {  # true when a server answers in this prefix and on this display
    local here="$WINEPREFIX $DISPLAY"
    if [ "$PROBE_SERVER_FOR" = "$here" ]; then
        [ -n "$PROBE_SERVER" ] && kill -0 "$PROBE_SERVER_PID" 2>/dev/null && return 0
        [ -z "$PROBE_SERVER" ] && return 1  # did not start here: a process each time
    fi
    # A new server: the first probe in this prefix and display, or the old one ended with its
    # prefix. Its folder is its own: a server started in a subshell, whose record ended with it,
    # answers in a folder no later probe writes to, until its prefix ends.
    PROBE_SERVER_FOR=$here
    PROBE_SERVER="$WORK/probe-server-$BASHPID-$RANDOM"
    rm -rf "$PROBE_SERVER"
    mkdir -p "$PROBE_SERVER"
    local try
    for try in 1 2 3; do  # a start on a loaded machine may fail, as any Wine start
        w_bg "$BIN/e2e_probe.exe" serve "$(winpath "$PROBE_SERVER")"
        PROBE_SERVER_PID=$!
        wait_for 10 test -e "$PROBE_SERVER/ready" && return 0
        kill "$PROBE_SERVER_PID" 2>/dev/null || true
    done
    echo "e2e_probe serve did not start: every probe starts a process" >>"$WORK/wine.log"
    PROBE_SERVER=""
    return 1
}
served_probe() {
    local request="$PROBE_SERVER/$BASHPID-$RANDOM" status i
    printf '%s\0' "$@" >"$request.part"
    mv "$request.part" "$request.req"
    for ((i = 1; i <= 3000; i++)); do  # half a minute at most
        if [ -e "$request.rc" ]; then
            status=$(<"$request.rc")
            rm -f "$request.rc"
            return "$status"
        fi
        if ((i % 50 == 0)) && ! kill -0 "$PROBE_SERVER_PID" 2>/dev/null; then break; fi
        sleep 0.01
    done
    rm -f "$request.req"
    echo "e2e_probe serve: no answer to $*" >>"$WORK/wine.log"
    PROBE_SERVER=""
    w "$BIN/e2e_probe.exe" "$@"
}
# probe_into FILE COMMAND [ARGS...]: a probe that writes FILE (its last argument, as a Windows
# path). A Wine process that could not start on a loaded machine leaves no file: try again.
probe_into() {
    local file=$1 try
    shift
    for try in 1 2 3; do
        rm -f "$file"
        probe "$@" "$(winpath "$file")" || true  # its file says whether it ran
        [ -e "$file" ] && return 0
    done
    return 1
}
# The fresh prefix runs a program of ours before the script goes on: on a loaded machine the
# first start in a copied prefix has been seen to fail ("ShellExecuteEx 失败").
first_start() {
    rm -f "$WORK/ready.txt"
    w "$BIN/e2e_probe.exe" keystate "$(winpath "$WORK/ready.txt")" || true
    [ -e "$WORK/ready.txt" ]
}
wait_for 30 first_start ||
    { echo "the Wine prefix runs no program: $(tail -n 5 "$WORK/wine.log")" >&2; exit 1; }
probe_server || true  # the script's own, before its scenarios' subshells
# Facts of the bar into $WORK/bar.txt; `fact KEY` reads one.
probe_bar() { probe_into "$WORK/bar.txt" bar; }
fact() { sed -n "s/^$1=//p" "${2:-$WORK/bar.txt}" | head -n 1; }

bar_up() { probe_bar && [ "$(fact found)" = 1 ] && [ "$(fact visible)" = 1 ]; }
bar_gone() { probe_bar && [ "$(fact count)" = 0 ]; }
# The bar shows before the rest of its start-up: it makes its tooltips once it has read its
# folders and replies, just before it takes its hotkey.
bar_started() { probe_bar && [ "$(fact tips)" -ge 1 ] 2>/dev/null; }

# Spots on the bar's face, from its top-left corner, where a person puts the pointer:
# `on_bar $REPLY_BUTTON click 1`.
SHOW_DESKTOP_BUTTON="16 15"
HOME_BUTTON="39 15"
LAUNCHER_BUTTON="59 15"
REPLY_BUTTON="87 15"  # left: the reply panel; right: the reply editor
DRAG_STRIP="71 24"    # between the launcher and reply buttons; right: the settings dialog
on_bar() {  # on_bar X Y [xdotool commands]: the pointer onto the face of the bar at $bx,$by
    local x=$1 y=$2
    shift 2
    xdo mousemove $((bx + x)) $((by + y)) "$@"
}

BAR_PID=""
launch_bar() {  # launch_bar [NAME=VALUE ...]: the bar, with these in its environment
    env LC_ALL=zh_CN.UTF-8 "$@" wine "$BIN/ReplyBar.exe" </dev/null >>"$WORK/wine.log" 2>&1 &
    BAR_PID=$!
    PIDS+=("$BAR_PID")
    echo "$BAR_PID" >"$WORK/bar.pid"
}
start_bar() {  # start_bar [NAME=VALUE ...]: launch_bar, and wait until the bar shows
    launch_bar "$@"
    wait_for 30 bar_up || fail "the bar did not appear"
}
close_bar() {
    probe close
    wait_for 15 bar_gone || fail "the bar did not close on WM_CLOSE"
    # Until the process has ended it holds the one-instance mutex, and a start would end at
    # once. A bar started by an earlier scenario (another subshell) is no child of this one:
    # its process id comes from the file launch_bar wrote.
    local pid=${BAR_PID:-$(cat "$WORK/bar.pid" 2>/dev/null || true)}
    [ -z "$pid" ] || wait_for 15 eval "! kill -0 $pid 2>/dev/null" || fail "the bar's process did not end"
    [ -z "$BAR_PID" ] || wait "$BAR_PID" 2>/dev/null || true
    BAR_PID=""
}
# The bar an earlier scenario left running, or a new one; bx, by: its face's top-left corner.
need_bar() {
    bar_up || start_bar
    bx=$(fact x); by=$(fact y)
}
stop_bar() { probe_bar; [ "$(fact count)" = 0 ] || close_bar; }

CHAT_LOG="$WORK/chat.log"
start_chat() {  # start_chat X Y [OPTIONS]: the user's chat window, focused (e2e_chat.cpp)
    w_bg "$BIN/e2e_chat.exe" "$(winpath "$CHAT_LOG")" "${1:-300}" "${2:-200}" "${3:-}"
    wait_for 20 test -f "$CHAT_LOG" || fail "the chat window did not start"
}
# The messages the chat sent: how many so far, and whether those after the first N are exactly
# these, one argument each (a line break inside a message as \\n).
sent_count() { cat "$CHAT_LOG.sent" 2>/dev/null | wc -l; }
sent_after() {  # sent_after N MESSAGE...
    local n=$1; shift
    [ "$(tail -n +$((n + 1)) "$CHAT_LOG.sent" 2>/dev/null)" = "$(if [ $# -gt 0 ]; then printf '%s\n' "$@"; fi)" ]
}
sent_since() { tail -n +$(($1 + 1)) "$CHAT_LOG.sent" 2>/dev/null | tr '\n' '|'; }
chat_text() { cat "$CHAT_LOG.text" 2>/dev/null || true; }
# The chat holds exactly this text (printf's escapes), byte for byte, line breaks included.
chat_is() {
    [ "$(od -An -tx1 "$CHAT_LOG.text" 2>/dev/null | tr -d ' \n')" = "$(printf "$1" | od -An -tx1 | tr -d ' \n')" ]
}
chat_clear() { probe chatclear; wait_for 5 chat_is '' || fail "the chat was not emptied"; }
# Every key sent to the chat so far has reached it: a mark sent to the window in front after
# them has. A send key too many from the bar would have arrived by then. (The chat must be in
# front.)
chat_caught_up() {
    local marks; marks=$(fact marks "$CHAT_LOG")
    probe mark || return 1
    wait_for 5 eval '[ "$(fact marks "$CHAT_LOG")" -gt '"${marks:-0}"' ]'
}
# The bar rewrites history.txt once a pick is over, its keys sent: `noted=$(picks_noted)` before
# the pick, `pick_over "$noted"` after it, and nothing more of that pick can come.
picks_noted() { cksum <"$APPDATA/history.txt" 2>/dev/null || echo none; }
pick_over() {  # pick_over NOTED: the pick noted, and whatever it sent has reached the chat
    local noted=$1
    wait_for 5 eval '[ "$(picks_noted)" != "$noted" ]' || fail "the pick never ended: history.txt is as before"
    chat_caught_up || fail "the chat did not catch up with the keys sent to it"
}

reg_get() { probe_into "$WORK/reg.txt" regget; }
reg_set() { printf '%s' "$1" >"$WORK/regin.txt"; probe regset "$(winpath "$WORK/regin.txt")"; }
reset_state() {
    probe regdel
    rm -f "$APPDATA"/[0-9]*.txt "$APPDATA/bmpk.txt" "$APPDATA/n.txt" "$APPDATA/history.txt"
}

# A reply file as the store writes it: GBK, the text given with backslash escapes.
put_reply() { gbk "$2" >"$APPDATA/$1"; }

# The reply panel of a bar whose face is at $bx,$by.
open_panel() {
    on_bar $REPLY_BUTTON click 1
    wait_for 5 eval 'probe_bar; [ "$(fact h)" != 29 ]' || fail "the panel did not open"
}
# Row r's text in screen pixels while the panel is open: text tops 30, 345, 630, 900, 1185,
# 1470 twips.
REPLY_TEXT_TOPS=(2 23 42 60 79 98)
row_y() { echo $(( $(fact y) + ${REPLY_TEXT_TOPS[$1]} + 6 )); }
# The highlight band behind the row under the pointer, RGB(182, 189, 210) as the bar paints it.
BAND='#B6BDD2'
band_in() {  # band_in GEOMETRY: some of the band shows in that part of the screen
    # (grep reads to the end: under pipefail an early exit would fail the pipe.)
    import -window root -crop "$1" +repage -depth 8 miff:- 2>/dev/null |
        convert - -unique-colors -depth 8 txt:- | grep -F "$BAND" >/dev/null
}
band_on() {  # band_on X Y: the band on the screen's line Y, around X
    band_in "120x1+$(( $1 > 60 ? $1 - 60 : 0 ))+$2"
}
# The pointer onto a row of the open panel at X,Y: once its band shows there, the panel knows
# the pointer is on it.
hover() {  # hover X Y
    xdo mousemove "$1" "$2"
    wait_for 5 band_on "$1" "$2" || fail "the row at $1,$2 shows no highlight under the pointer"
}
hover_row() {
    open_panel
    hover $((bx + 60)) "$(row_y "$1")"
}
# Keyboard mode listens once its panel is painted, the highlight on its first row: the bar then
# notes which keys are still down from before, and a key typed earlier is taken for one of them.
keyboard_panel_painted() {
    probe_bar && [ "$(fact h)" != 29 ] && band_in "$(fact w)x$(fact h)+$(fact x)+$(fact y)"
}
# The user presses the hotkey (Ctrl+Alt+R unless given) and keyboard mode opens. The bar takes its
# hotkey at the end of its start-up; a second press would close a panel still on its way, so
# the press is made again only once nothing has come of it for a while.
press_hotkey() {  # press_hotkey [COMBINATION]
    wait_for 10 bar_started || fail "the bar did not finish starting"
    local tries=0
    until xdo key "${1:-ctrl+alt+r}" && wait_for 5 keyboard_panel_painted; do
        [ "$(fact h)" = 29 ] || fail "keyboard mode shows no highlight: $(fact w) x $(fact h)"
        tries=$((tries + 1))
        [ $tries -lt 3 ] || fail "${1:-ctrl+alt+r} did not open the panel"
    done
    # The bar paints the panel and notes the keys still down in one go, on its thread; on a busy
    # machine the paint can show before the rest is done. A message sent to the bar (WM_NULL)
    # is answered once its thread is back at its message loop, with the keys noted.
    probe send 0 0
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
# shot_window NAME: the window last found (find_window, window_up), as it is on the screen.
shot_window() {
    shot "$1" "$(fact w "$WORK/win.txt")x$(fact h "$WORK/win.txt")+$(fact x "$WORK/win.txt")+$(fact y "$WORK/win.txt")"
}
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }
screen_pixel() {  # screen_pixel X Y: that pixel of the screen now, as #RRGGBB
    import -window root -crop "1x1+$1+$2" +repage -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}'
}
# The part of the screen shows more than one colour and looks the same twice in a row, but for
# a blinking caret (at most 64 pixels at 192 DPI): whatever was asked of the windows there is
# painted.
screen_settled() {  # screen_settled GEOMETRY
    local geometry=$1 a="$WORK/settle-a.png" b="$WORK/settle-b.png"
    import -window root -crop "$geometry" +repage "$a"
    wait_for 8 eval 'import -window root -crop "$geometry" +repage "$b" &&
        [ "$(compare -metric AE "$a" "$b" null: 2>&1 | cut -d" " -f1)" -le 64 ] 2>/dev/null &&
        [ "$(convert "$b" -format "%k" info:)" -gt 1 ] || { mv "$b" "$a"; false; }'
}
shot_settled() {  # shot_settled NAME GEOMETRY: the shot once that part of the screen is painted
    screen_settled "$2" || fail "the screen at $2 kept changing"
    shot "$1" "$2"
}


# Dialogs have no window manager here: keys go to the X window under the pointer.
find_window() {  # find_window CLASS TITLE: facts into $WORK/win.txt; true when found
    probe_into "$WORK/win.txt" find "$1" "$2"
    [ "$(fact found "$WORK/win.txt")" = 1 ]
}
window_up() { find_window "$@" && [ "$(fact visible "$WORK/win.txt")" = 1 ]; }
window_gone() { ! find_window "$@" || [ "$(fact visible "$WORK/win.txt")" = 0 ]; }
BOX_OK=1
BOX_YES=6
answer_box() {  # answer_box TITLE ID: click the message box's button ID ($BOX_OK, $BOX_YES)
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
controls_of() { probe_into "$WORK/ctl.txt" controls "$1"; }
editor_controls() { controls_of ReplyBar.ReplyEditor; }
ctl() { sed -n "s/^ctl$1=//p" "$WORK/ctl.txt"; }
ctl_field() { ctl "$1" | cut -d'|' -f"$2"; }
click_ctl() {  # click_ctl ID [button]
    local r; r=$(ctl_field "$1" 4)
    IFS=, read -r l t rr b <<<"$r"
    xdo mousemove $(( (l + rr) / 2 )) $(( (t + b) / 2 )) click "${2:-1}"
}

# The controls of the settings dialog and of the reply editor, by id.
SETTINGS_CONFIRM=1            # 确定 返回, also Enter
SETTINGS_DEFAULT_FOLDER=1003  # 默认, beside the folder
SETTINGS_EXIT=1004            # 退出本程序
SETTINGS_ADD_REPLIES=1005     # 添加快捷回复信息
SETTINGS_SET_HOME_PAGE=1006   # 设置: unlocks the home page
SETTINGS_HOME_PAGE=1102       # the home page's text box
SETTINGS_FOLDER_FRAME=1202
SETTINGS_WEB_SITE_LINK=1301
SETTINGS_HOTKEY=1103             # the hotkey field
SETTINGS_SEND_ENTER=1009         # auto-send presses Enter
SETTINGS_START_WITH_WINDOWS=1010 # "开机时自动启动快捷回复条"
SETTINGS_START_NOTE=1403         # beside it: why an entry there is not ticked
SETTINGS_TEAM_LIBRARY=1104       # the team library's location
SETTINGS_CHOOSE_TEAM_LIBRARY=1011  # 选择… beside it
SETTINGS_TEAM_STATUS=1405
FOLDER_TEXT=100               # the folder box's own children: its text and 打开文件夹
FOLDER_BROWSE=101
EDITOR_LIST=101               # the probe reports the list as combo101=COUNT|SELECTED
EDITOR_CHOOSE_ICON=106        # 选择图标
EDITOR_TEXT=110
EDITOR_ADD=121                # 添加
EDITOR_DELETE=122             # 删除
EDITOR_CONFIRM=123            # 修改确定
EDITOR_EXIT=125               # 退出本程序
EDITOR_CANCEL_ADD=128         # 取消添加
EDITOR_AUTO_SEND=131          # 自动发送（发送Ctrl+Enter）
EDITOR_EXPORT=132             # 导出…
EDITOR_IMPORT=133             # 导入…
EDITOR_RETURN=2               # 返回, also Esc
editor_list() { sed -n "s/^combo$EDITOR_LIST=//p" "$WORK/ctl.txt"; }
editor_up() { editor_controls && [ -n "$(ctl $EDITOR_TEXT)" ]; }
# The editor fills its controls before it shows and takes the foreground once it is shown.
editor_shown() { editor_up && probe_bar && [ "$(fact foreground)" = ReplyBar.ReplyEditor ]; }
wait_editor() {
    wait_for 10 editor_shown || fail "the editor did not open"
    editor_controls
}
open_editor() { on_bar $REPLY_BUTTON click 3; wait_editor; }  # a right click on the reply button
close_editor() {  # Esc, with the pointer on the editor
    IFS=, read -r cx cy <<<"$(fact client "$WORK/ctl.txt")"
    xdo mousemove $((cx + 100)) $((cy + 60)) key Escape
    wait_for 10 window_gone ReplyBar.ReplyEditor '' || fail "the editor did not close"
}

# The open popup menu, if any: its window's rectangle in $WORK/menu.txt.
menu_open() { rm -f "$WORK/menu.txt"; probe find '#32768' '' "$(winpath "$WORK/menu.txt")"; [ "$(fact found "$WORK/menu.txt")" = 1 ] && [ "$(fact visible "$WORK/menu.txt")" = 1 ]; }
menu_closed() { ! menu_open; }
# The launcher menu opened by a click on its button. The bar builds the menu off its thread after
# it starts and after the folder changes; until it is there a click shows nothing, and the click
# is made again. LAUNCHER_CLICKED: when the click that opened it was made.
open_launcher() {  # open_launcher [SECONDS]
    local end=$(( SECONDS + ${1:-15} ))
    until LAUNCHER_CLICKED=$(now) && on_bar $LAUNCHER_BUTTON click 1 && wait_for 3 menu_open; do
        [ $SECONDS -lt $end ] || return 1
    done
}
now() { date +%s.%N; }
seconds_since() { awk -v a="$(now)" -v b="$1" 'BEGIN { printf "%.2f", a - b }'; }
between() { awk -v x="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(x >= lo && x <= hi) }'; }

# "The shell opened X": files of these types open the logger, which appends its command line to
# $OPENED, beside its copy in $WORK; addresses go to a browser script appending to $WORK/urls.log.
OPENED="$WORK/opened.log"
log_shell_opens() {
    local logger t
    cp "$BIN/e2e_logger.exe" "$WORK/e2e_logger.exe"
    logger=$(winpath "$WORK/e2e_logger.exe")
    for t in "$@"; do
        w reg add "HKLM\\Software\\Classes\\$t\\shell\\open\\command" /ve /d "\"$logger\" \"%1\"" /f
    done
    rm -f "$OPENED"
}
log_browser() {
    printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$WORK/urls.log" >"$WORK/browser.sh"
    chmod +x "$WORK/browser.sh"
    w reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$WORK/browser.sh" /f
    rm -f "$WORK/urls.log"
}
opened_count() { grep -cF "$1" "$OPENED" 2>/dev/null || true; }
# Days from today to the next given weekday (1 Monday ... 7 Sunday), for faketime.
days_until() { echo $(( ($1 - $(date +%u) + 7) % 7 )); }
on_day() {  # on_day WEEKDAY: the environment that makes the bar live on that day
    echo "LD_PRELOAD=$(ls /usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1)" \
         "FAKETIME=+$(days_until "$1")d" FAKETIME_DONT_FAKE_MONOTONIC=1
}

# After a failed scenario: no button or key left down, and no bar left with whatever the
# scenario had open in it (its panel, menus and dialogs end with it). The next scenario starts
# the bar it needs.
recover() {
    xdo mouseup 1 >/dev/null 2>&1 || true
    xdo mouseup 3 >/dev/null 2>&1 || true
    xdo keyup shift ctrl alt >/dev/null 2>&1 || true
    probe_bar 2>/dev/null || return 0
    [ "$(fact count)" != 0 ] || return 0
    probe close || true
    wait_for 15 bar_gone && return 0
    # Ended by its process id, and only if that process is still the bar this script started.
    local pid; pid=$(cat "$WORK/bar.pid" 2>/dev/null || true)
    if [ -n "$pid" ] && grep -qa 'ReplyBar' "/proc/$pid/cmdline" 2>/dev/null; then kill "$pid" || true; fi
    wait_for 5 bar_gone || echo "  ! a bar is still running after the failure" >&2
}

# A team library's places: $SHARE, reached by the bar as \\teamserver\share through Wine's unc
# folder, and $WORK/site, served by `start_server` on 127.0.0.1 at $SITE until the scenario ends.
team_places() {
    SHARE="$WORK/share"
    mkdir -p "$SHARE" "$WORK/site" "$WINEPREFIX/dosdevices/unc/teamserver"
    ln -sfn "$SHARE" "$WINEPREFIX/dosdevices/unc/teamserver/share"
}
start_server() {
    rm -f "$WORK/port"
    python3 "$SRC/tests/e2e/team_server.py" "$WORK/site" "$WORK/port" >"$WORK/server.log" 2>&1 &
    SERVER=$!
    trap 'kill "$SERVER" 2>/dev/null || true' EXIT  # also when the scenario fails
    wait_for 10 test -s "$WORK/port" || fail "the web server did not start"
    SITE="http://127.0.0.1:$(cat "$WORK/port")"
}
stop_server() { kill "$SERVER" 2>/dev/null || true; wait "$SERVER" 2>/dev/null || true; }

# small_screen W H: the rest of the scenario on a screen of that size, an Xvfb of its own with
# a copy of the prefix (a wineserver of its own), both gone when the scenario ends.
small_screen() {
    local prefix="$WORK/prefix-small-$1x$2" screens=${#SCREENS[@]}
    start_screen "$1" "$2"
    copy_prefix "$WINEPREFIX" "$prefix"
    trap 'end_prefix "'"$prefix"'"; rm -rf "'"$prefix"'"; end_screen '"${SCREENS[$screens]}" EXIT
    export WINEPREFIX=$prefix
    APPDATA="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
}

# A command that failed without a reason of its own (the ERR trap): which one, and the line of
# the scenario it came from.
command_failed() {  # command_failed STATUS COMMAND LINE
    [ ! -e "$WORK/failure" ] || return 0
    local i line=$3
    for ((i = 1; i < ${#FUNCNAME[@]}; i++)); do
        if [ "${FUNCNAME[i]}" = "$SCENARIO" ]; then line=${BASH_LINENO[i - 1]}; break; fi
    done
    printf '%s line %s: %s exited %s\n' "$(basename "$0")" "$line" "$2" "$1" >"$WORK/failure"
}

# run_scenarios NAME...: each function in turn, in a subshell of its own so that a failure
# ends only that scenario; one PASS or FAIL line each, then a summary. A scenario undoes what
# must not outlive it with `trap '...' EXIT`; variables it sets end with it.
run_scenarios() {
    local name rc passed=0 failed=() started=$SECONDS began
    for name in "$@"; do
        rm -f "$WORK/failure"
        began=$SECONDS
        set +e
        (
            set -eE
            SCENARIO=$name
            trap 'command_failed "$?" "$BASH_COMMAND" "$LINENO"' ERR
            "$name"
        )
        rc=$?
        set -e
        if [ "$rc" = 0 ]; then
            echo "PASS $name ($((SECONDS - began)) s)"
            passed=$((passed + 1))
        else
            echo "FAIL $name: $(cat "$WORK/failure" 2>/dev/null || echo "exit status $rc")"
            failed+=("$name")
            recover
        fi
    done
    echo "$(basename "$0" .sh): $passed of $# scenarios passed in $((SECONDS - started)) s${failed[*]:+; failed: ${failed[*]}}"
    [ ${#failed[@]} = 0 ]
}
