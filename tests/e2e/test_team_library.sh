#!/usr/bin/env bash
# A team's replies beside the user's own: read from a share (\\teamserver\share, through Wine's
# unc folder) and from a web server on 127.0.0.1 that this script starts and stops. Tabs show
# the groups; team replies are picked by mouse and by key exactly; a version the lead saves
# reaches the bar without a restart, in each encoding Excel saves; a faulty file keeps the
# last good version and says where it is wrong; with the server gone the local copy is used;
# a source that never finishes answering leaves the bar answering clicks.
. "$(dirname "$0")/lib.sh"
reset_state
put_reply 0.txt '我的回复\r\n'
# Only pasted: the send key is not what this script is about, and a word why one was kept back
# would stand between its steps.
put_reply n.txt '不要自动发送信息\r\n'
team_places
rm -rf "$(dirname "$APPDATA")/Local/ReplyBar"  # no local copy from an earlier run
SETTINGS_KEY='HKCU\Software\DAZ\Registry'
set_library() {  # set_library LOCATION: the team library the bar reads at its next start
    w reg add "$SETTINGS_KEY" /v TeamLibrary /t REG_SZ /d "$1" /f  # a Chinese file name
    w reg add "$SETTINGS_KEY" /v TeamLibraryCheckSeconds /t REG_DWORD /d 2 /f
}
# The library of version $1: 售前 with two replies (the first names the version; the second has
# a comma, quotes and a line break) and 物流 with 50, as UTF-8 text with comma separators.
library_text() {
    printf '分组,回复,图标\r\n'
    printf '售前,版本 %s：您好，欢迎光临,1\r\n' "$1"
    printf '售前,"价格, ""含税""\r\n第二行",2\r\n'
    for i in $(seq 50); do printf '物流,物流 第 %s 条,\r\n' "$i"; done
}
as_gbk() { iconv -f UTF-8 -t GBK; }
as_utf8_bom() { printf '\xEF\xBB\xBF'; cat; }
as_utf16_tabs() {  # Excel's "Unicode 文本": UTF-16 with its mark, tab-separated
    printf '\xFF\xFE'
    sed -e 's/^售前,"/售前\t"/' -e 's/^第二行",2/第二行"\t2/' -e 's/^\([^,"]*\),\([^,]*\),\([0-9]*\)\r$/\1\t\2\t\3\r/' \
        -e 's/^分组,回复,图标/分组\t回复\t图标/' | iconv -f UTF-8 -t UTF-16LE
}
publish() {  # publish FILE VERSION ENCODER: written beside, then moved in, as editors save
    library_text "$2" | $3 >"$1.part"
    mv "$1.part" "$1"
}
TAB_Y=11              # the tab strip's middle, from the panel's top
TAB_X=(20 60 100)     # 我的, 售前, 物流: 40 px each
team_row_y() { echo $(( $(fact y) + 22 + ${REPLY_TEXT_TOPS[$1]} + 6 )); }
show_tab() {  # show_tab N: the panel open, tab N clicked, its group laid out
    open_panel
    local before; before="$(fact y),$(fact h)"
    xdo mousemove $((bx + ${TAB_X[$1]})) $(( $(fact y) + TAB_Y )) click 1
    # Another group changes the panel's height; the same one (or one of as many rows) does not.
    wait_for 1 eval 'probe_bar; [ "$(fact y),$(fact h)" != "$before" ]' || true
}
pick_team_row() {  # pick_team_row TAB ROW; false when there is no such row (yet)
    show_tab "$1"
    [ "$(fact h)" != 29 ] || return 1  # no such tab: the click picked a row of the user's own
    xdo mousemove $((bx + 80)) "$(team_row_y "$2")"
    wait_for 5 band_on $((bx + 80)) "$(team_row_y "$2")" || return 1
    xdo click 1
    wait_for 5 eval 'probe_bar; [ "$(fact h)" = 29 ]' || fail "the panel did not close after a pick"
}
version_shown() {  # the first reply of 售前, picked, is that of version $1
    chat_clear
    pick_team_row 1 0
    wait_for 3 chat_is "版本 $1：您好，欢迎光临"
}
settings_status() {
    on_bar $DRAG_STRIP click 3
    wait_for 10 window_up ReplyBar.Settings '' || fail "the settings dialog did not open"
    local dx dy
    dx=$(fact x "$WORK/win.txt"); dy=$(fact y "$WORK/win.txt")
    controls_of ReplyBar.Settings
    STATUS=$(ctl_field $SETTINGS_TEAM_STATUS 5)
    IFS=, read -r cx cy <<<"$(sed -n 's/^client=//p' "$WORK/ctl.txt")"
    [ -z "${1:-}" ] || shot "$1" "541x130+$cx+$((cy + 383))"
    xdo mousemove $((dx + 270)) $((dy + 60)) key Escape
    wait_for 10 window_gone ReplyBar.Settings '' || fail "the settings dialog did not close"
}
status_says() { settings_status "${2:-}"; [ "$STATUS" = "$1" ]; }  # status_says TEXT [SHOT]
# A file saved on the share is read once it has stayed the same for 12 s, at the next check
# (every 2 s here) after that.
SAVED_FILE_ARRIVES=30
start_chat 300 150

# From the share: the tabs, a team reply with a comma, quotes and a line break picked by mouse,
# one of the 50 物流 replies by key; the chat keeps the foreground and its focus.
share_groups_are_tabs_and_picks_land_exactly() {
    publish "$SHARE/团队回复.csv" 1 as_gbk
    set_library '\\teamserver\share\团队回复.csv'
    stop_bar
    need_bar
    wait_for $SAVED_FILE_ARRIVES version_shown 1 ||
        fail "the share's library did not reach the panel: $(chat_text)"
    chat_clear
    pick_team_row 1 1
    wait_for 3 chat_is '价格, "含税"\r\n第二行' || fail "the second 售前 reply: $(chat_text | od -c | head -3)"
    show_tab 1
    hover $((bx + 80)) "$(team_row_y 0)"
    shot team_panel_group "$(fact w)x$(fact h)+$(fact x)+$(fact y)"
    show_tab 2
    hover $((bx + 80)) "$(team_row_y 2)"
    shot team_panel_tabs "$(fact w)x$(fact h)+$(fact x)+$(fact y)"
    xdo mousemove 1000 100
    wait_for 5 eval 'probe_bar; [ "$(fact h)" = 29 ]' || fail "the panel did not close"
    chat_clear
    xdo mousemove 600 300
    press_hotkey
    xdo key Left Left Left 3  # from 物流, which the panel remembers: 售前, 我的, round to 物流
    wait_for 3 chat_is '物流 第 3 条' || fail "by key: $(chat_text)"
    probe_bar
    [ "$(fact foreground)" = E2EChat ] && [ "$(fact focus)" = Edit ] || fail "focus left the chat"
    xdo type x
    wait_for 3 chat_is '物流 第 3 条x' || fail "letters typed after the pick did not reach the chat"
    note "tabs from the share; mouse and key picks exact; the chat kept its focus"
}

# Saved again in each of Excel's encodings, the new version reaches the open bar; then a file
# with an unclosed quote on line 5 is refused and the last version stays.
saved_versions_arrive_in_every_encoding_and_a_faulty_one_is_refused() {
    need_bar
    local v=2 enc
    for enc in as_utf8_bom as_utf16_tabs as_gbk; do
        publish "$SHARE/团队回复.csv" $v $enc
        wait_for $SAVED_FILE_ARRIVES version_shown $v ||
            fail "version $v ($enc) did not arrive: $(chat_text)"
        v=$((v + 1))
    done
    note "versions 2-4 (UTF-8 with a mark, UTF-16 tabs, GBK) arrived without a restart"
    { library_text 9 | sed -n 1,4p; printf '售前,"未闭合\r\n'; } | as_gbk >"$SHARE/团队回复.csv"
    wait_for $SAVED_FILE_ARRIVES status_says '文件有错误（第 5 行）· 仍使用上一版' team_library_faulty ||
        fail "status: $STATUS"
    version_shown 4 || fail "the last good version was not kept: $(chat_text)"
    note "faulty file: '$STATUS'"
}

# The bar started afresh on the web server's library of seven groups, once it shows.
bar_on_web_library() {
    start_server
    library_text 7 | as_utf8_bom >"$WORK/site/team.csv"
    set_library "$SITE/team.csv"
    stop_bar
    need_bar
    wait_for 15 version_shown 7 || fail "the web server's library did not arrive: $(chat_text)"
}

# From a web server; stopped, the next start shows the local copy and says it is offline; a
# server that never finishes its answer leaves the bar answering.
web_server_then_offline_then_a_hanging_answer() {
    bar_on_web_library
    settings_status team_library_settings
    case "$STATUS" in '团队回复 52 条 · 今天 '*' 更新') ;; *) fail "status: $STATUS" ;; esac
    stop_server
    stop_bar
    need_bar
    version_shown 7 || fail "the local copy was not shown: $(chat_text)"
    wait_for 15 status_says '离线（无法连接服务器）· 使用 今天 的副本' team_library_offline ||
        fail "offline status: $STATUS"
    start_server
    set_library "$SITE/slow"
    stop_bar
    need_bar
    local t; t=$(now)
    chat_clear
    pick_row 0  # the user's own reply: the slow source has no local copy
    wait_for 3 chat_is '我的回复' || fail "the bar did not answer while the source hung: $(chat_text)"
    between "$(seconds_since "$t")" 0 5 || fail "a pick took $(seconds_since "$t") s"
    settings_status
    [ "$STATUS" = 正在读取… ] || fail "status while the answer hangs: $STATUS"
    stop_server
    note "web: read, offline from the copy; a hanging answer left picks at $(seconds_since "$t") s"
}

# The settings dialog left open: its status line follows a new version of the web server's
# file, then the server's outage, without being opened again.
settings_status_follows_while_open() {
    bar_on_web_library
    on_bar $DRAG_STRIP click 3
    wait_for 10 window_up ReplyBar.Settings '' || fail "the settings dialog did not open"
    local dx dy
    dx=$(fact x "$WORK/win.txt"); dy=$(fact y "$WORK/win.txt")
    status_is() { controls_of ReplyBar.Settings && STATUS=$(ctl_field $SETTINGS_TEAM_STATUS 5) && [[ "$STATUS" == $1 ]]; }
    wait_for 5 status_is '团队回复 52 条 · 今天 * 更新' || fail "status as it opened: $STATUS"
    { library_text 8; printf '物流,物流 第 51 条,\r\n'; } | as_utf8_bom >"$WORK/site/team.csv.part"
    mv "$WORK/site/team.csv.part" "$WORK/site/team.csv"
    wait_for 15 status_is '团队回复 53 条 · 今天 * 更新' || fail "the new version was not followed: $STATUS"
    stop_server
    wait_for 15 status_is '离线（无法连接服务器）· 使用 今天 的副本' ||
        fail "the outage was not followed: $STATUS"
    xdo mousemove $((dx + 270)) $((dy + 60)) key Escape
    wait_for 10 window_gone ReplyBar.Settings '' || fail "the settings dialog did not close"
    note "the open dialog's status followed a new version and an outage"
}

# The user's Internet settings name a proxy on 127.0.0.1 (the binary value Internet Options
# writes, which WinHTTP reads): the library's address has a name only that proxy knows, so the
# file comes through it or not at all, and asks every cache on the way for a fresh answer. With
# the proxy gone, the status names it.
CONNECTIONS='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Connections'
use_proxy() {  # use_proxy HOST:PORT BYPASS: a fixed proxy, as Internet Options saves one
    le32() { printf '%02x%02x0000' $(($1 & 255)) $(($1 >> 8)); }
    hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }
    # Version, a counter, flags (direct, and a proxy), the proxy, the bypass list, no PAC address.
    w reg add "$CONNECTIONS" /v DefaultConnectionSettings /t REG_BINARY /f /d \
        "460000000100000003000000$(le32 ${#1})$(hex "$1")$(le32 ${#2})$(hex "$2")00000000"
}
library_comes_through_the_proxy_the_internet_settings_name() {
    start_server
    library_text 8 | as_utf8_bom >"$WORK/site/team.csv"
    rm -f "$WORK/proxy.port" "$WORK/proxy.log"
    python3 "$SRC/tests/e2e/team_proxy.py" "$WORK/proxy.port" "$WORK/proxy.log" \
        "teamhost.invalid=127.0.0.1:${SITE##*:}" &
    PROXY_PID=$!  # not local: the trap runs after the scenario's function has returned
    trap 'kill "$SERVER" "$PROXY_PID" 2>/dev/null || true
          w reg delete "$CONNECTIONS" /v DefaultConnectionSettings /f || true' EXIT
    wait_for 10 test -s "$WORK/proxy.port" || fail "the proxy did not start"
    local proxy
    proxy="127.0.0.1:$(cat "$WORK/proxy.port")"
    use_proxy "$proxy" '<local>'
    set_library 'http://teamhost.invalid/team.csv'
    stop_bar
    need_bar
    wait_for 20 version_shown 8 || fail "the library did not come through the proxy: $(chat_text)"
    grep -Eq '^GET http://teamhost\.invalid(:80)?/team\.csv ' "$WORK/proxy.log" ||
        fail "the proxy logged: $(cat "$WORK/proxy.log")"
    grep -q '"GET /team.csv .* cache=no-cache pragma=no-cache$' "$WORK/server.log" ||
        fail "the server saw: $(cat "$WORK/server.log")"
    kill "$PROXY_PID"
    wait_for 20 status_says "离线（代理服务器 $proxy 连不上）· 使用 今天 的副本" team_library_proxy_gone ||
        fail "with the proxy gone: $STATUS"
    note "through $proxy: $(head -n 1 "$WORK/proxy.log"); then '$STATUS'"
}

run_scenarios share_groups_are_tabs_and_picks_land_exactly \
    saved_versions_arrive_in_every_encoding_and_a_faulty_one_is_refused \
    web_server_then_offline_then_a_hanging_answer settings_status_follows_while_open \
    library_comes_through_the_proxy_the_internet_settings_name
