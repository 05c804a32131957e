#!/usr/bin/env bash
# The reply pressed is the reply sent, and nothing else reaches the chat: the pointer may rest
# anywhere on the panel (the search line, the tab strip between its tabs); a digit no row
# answers and letters typed in capitals stay the bar's; a team version that lands between the
# press and the release does not change what is pasted; a hundred and twenty long group names
# fit a 1024 x 768 screen, every group reachable by mouse and by key.
. "$(dirname "$0")/lib.sh"
reset_state
put_reply 0.txt '欢迎光临，很高兴为您服务！\r\n'
put_reply 1.txt 'OK的，马上为您处理\r\n'
put_reply 2.txt '稍等，我查一下\r\n'
# Only pasted: the send key is not what this script is about.
put_reply n.txt '不要自动发送信息\r\n'
team_places
rm -rf "$(dirname "$APPDATA")/Local/ReplyBar"
SETTINGS_KEY='HKCU\Software\DAZ\Registry'
SHARE_W='\\teamserver\share\'
team_copy() { echo "$(dirname "$APPDATA")/Local/ReplyBar/team-library.cache"; }
set_library() {  # set_library LOCATION: the team library, checked every 2 s
    w reg add "$SETTINGS_KEY" /v TeamLibrary /t REG_SZ /d "$1" /f
    w reg add "$SETTINGS_KEY" /v TeamLibraryCheckSeconds /t REG_DWORD /d 2 /f
}
team_file() {  # team_file GROUP N PREFIX: N replies of one group, UTF-8 with a mark
    printf '\xEF\xBB\xBF分组,回复\r\n'
    for i in $(seq "$3"); do printf '%s,%s第%s行\r\n' "$1" "$2" "$i"; done
}
panel_open() { probe_bar && [ "$(fact h)" != 29 ]; }
panel_closed() { probe_bar && [ "$(fact h)" = 29 ]; }
HOTKEY_AT="600 400"  # over the chat, where X sends the keys
hotkey() {  # the chat in front, Ctrl+Alt+R: the panel opens with its keys taken
    xdo mousemove $HOTKEY_AT
    press_hotkey
}
bar_alive() { [ -n "$BAR_PID" ] && kill -0 "$BAR_PID" 2>/dev/null && bar_up; }
rest_at() {  # rest_at X Y: the pointer rests there past the poll's tab delay; the bar lives
    xdo mousemove "$1" "$2"
    sleep 1.2  # resting is what is tried: two of the poll's half-seconds past the tab delay
    bar_alive || fail "the bar is gone after the pointer rested at $1,$2"
}
start_chat 300 150

# The search line and the strip between and after the tabs: the 500 ms pointer poll once read
# a tab that is not there.
pointer_rests_on_the_search_line_and_the_strip() {
    team_file 售前 '售前回复' 3 >"$SHARE/团队回复.csv"
    set_library "$SHARE_W"'团队回复.csv'
    stop_bar
    rm -f "$(team_copy)"
    start_bar
    bx=$(fact x); by=$(fact y)
    wait_for 30 test -f "$(team_copy)" || fail "the team library was not read"
    hotkey
    xdo key h
    wait_for 3 eval 'probe_bar; [ "$(fact h)" != 29 ]' || fail "the search did not show"
    probe_bar
    rest_at $((bx + 20)) $(( $(fact y) + 10 ))   # the search line, the letters
    rest_at $((bx + 300)) $(( $(fact y) + 10 ))  # its right end, the hint
    xdo mousemove 1000 700
    wait_for 5 panel_closed || fail "the panel did not close"
    open_panel
    probe_bar
    rest_at $((bx + 200)) $(( $(fact y) + 11 ))  # the strip after the last tab
    rest_at $((bx + 2)) $(( $(fact y) + 1 ))     # its corner
    xdo mousemove 1000 700
    note "the pointer rested on the search line and the strip; the bar lives"
}

# A digit that no row answers, and capitals, never reach the chat; the reply picked after them
# lands alone.
stray_digits_and_capitals_never_reach_the_chat() {
    need_bar
    chat_clear
    hotkey
    xdo key 5 9 KP_7  # three replies: no fifth, ninth or seventh row
    xdo key h y g l 5  # one result: no fifth
    xdo key BackSpace BackSpace BackSpace BackSpace
    xdo key shift+o shift+k 1  # "OK" in capitals searches; 1 picks its one result
    wait_for 5 chat_is 'OK的，马上为您处理' || fail "the chat holds '$(chat_text)'"
    wait_for 5 panel_closed || fail "the panel stayed open after the pick"
    chat_clear
    hotkey
    xdo key x q z 3  # a search with no result: 3 does nothing
    xdo key Escape Escape
    wait_for 3 panel_closed || fail "Esc twice did not close the panel"
    chat_caught_up || fail "the chat did not catch up with its keys"
    chat_is '' || fail "keys reached the chat: '$(chat_text)'"
    # Another program holds 2: the panel names it, and a 2 goes to that program.
    w_bg "$BIN/e2e_probe.exe" holdhotkey 0 50 6000 "$(winpath "$WORK/held.txt")"
    wait_for 10 test -s "$WORK/held.txt" || fail "the probe did not take its key"
    hotkey
    probe_bar
    shot keys_held_elsewhere "$(fact w)x$(fact h)+$(fact x)+$(fact y)"
    xdo key 2 Escape
    wait_for 3 panel_closed || fail "Esc did not close the panel"
    chat_is '' || fail "keys reached the chat: '$(chat_text)'"
    xdo mousemove 600 400
    xdo type ok
    wait_for 3 chat_is ok || fail "letters after the panel closed: '$(chat_text)'"
    note "5, 9, Num 7, a search's 5 and 3 stayed the bar's; OK searched; a held 2 was named"
}

show_team_row() {  # show_team_row ROW: the panel open on 售后, the pointer on that row
    open_panel
    xdo mousemove $((bx + 60)) $(( $(fact y) + 11 )) click 1  # the 售后 tab, beside 我的
    probe_bar
    hover $((bx + 80)) $(( $(fact y) + 22 + ${REPLY_TEXT_TOPS[$1]} + 6 ))
}

# The lead publishes a new version while the user's button is down on a team row: the reply
# pressed is the one pasted, and the new version shows once the pick is over.
a_team_version_between_press_and_release_changes_nothing() {
    start_server
    team_file 售后 '旧' 3 >"$WORK/site/team.csv"
    set_library "$SITE/team.csv"
    stop_bar
    start_bar
    bx=$(fact x); by=$(fact y)
    wait_for 15 test -f "$(team_copy)" || fail "the team library was not read"
    chat_clear
    show_team_row 2
    xdo mousedown 1
    local gets; gets=$(grep -c '"GET /team.csv' "$WORK/server.log" || true)
    team_file 售后 '新' 20 >"$WORK/site/team.csv.part"
    mv "$WORK/site/team.csv.part" "$WORK/site/team.csv"
    # The bar has read the new version at least once while the button is down.
    wait_for 10 eval '[ "$(grep "\"GET /team.csv" "$WORK/server.log" | tail -n +$((gets + 1)) | grep -c " 200 ")" -ge 1 ]' ||
        { xdo mouseup 1; fail "the bar did not read the new version"; }
    # Nothing shows the news reaching the bar while the open panel holds it back: a moment.
    sleep 0.5
    xdo mouseup 1
    wait_for 5 chat_is '旧第3行' || fail "pressed 旧第3行, the chat holds '$(chat_text)'"
    chat_clear
    wait_for 5 panel_closed || fail "the panel stayed open after the pick"
    show_team_row 2
    [ "$(fact h)" -gt 300 ] || fail "the new version did not come after the pick"
    xdo click 1
    wait_for 5 chat_is '新第3行' || fail "after the pick the panel shows '$(chat_text)'"
    stop_server
    note "pressed 旧第3行 while 新 landed: 旧第3行 pasted, then 新第3行 from the new version"
}

# 120 groups of long names on a 1024 x 768 screen: the panel stays on it, "我的" and every run
# of groups are a click away, the keys go round them all.
many_long_group_names_fit_a_small_screen() {
    stop_bar
    small_screen 1024 768
    reset_state
    for i in $(seq 0 40); do put_reply "$i.txt" "我的第 $i 条\r\n"; done
    put_reply n.txt '不要自动发送信息\r\n'
    {
        printf '\xEF\xBB\xBF分组,回复\r\n'
        for g in $(seq -w 0 119); do printf '售前常见问题第%s组,第%s组的回复\r\n' "$g" "$g"; done
    } >"$SHARE/团队回复.csv"
    set_library "$SHARE_W"'团队回复.csv'
    rm -f "$(team_copy)"
    CHAT_LOG="$WORK/chat-small.log"
    start_chat 600 40
    HOTKEY_AT="800 100"
    start_bar
    bx=$(fact x); by=$(fact y)
    wait_for 30 test -f "$(team_copy)" || fail "the team library was not read"
    open_panel
    probe_bar
    local left=$(fact x) top=$(fact y)
    [ "$top" -ge 0 ] && [ $((top + $(fact h))) -le 768 ] && [ $((left + $(fact w))) -le 1024 ] ||
        fail "the panel reaches off the screen: $left,$top, $(fact w) x $(fact h)"
    shot many_groups "$(fact w)x$(fact h)+$left+$top"
    # Tabs of 售前常…002组 are 92 px after 我的's 40: three on the first line, four on the
    # second, two and « » on the third.
    tab_then_row 270 11 0 '第002组的回复'
    tab_then_row 218 55 0 '第009组的回复'  # », the next run's first group
    tab_then_row 20 11 1 '我的第 1 条'
    chat_clear
    hotkey
    xdo key Left Left 1  # round the ends: the last group, then the one before it
    wait_for 5 chat_is '第118组的回复' || fail "by key: '$(chat_text)'"
    note "120 groups: the panel within 1024x768, runs by », 我的, and the keys round the ends"
}
tab_then_row() {  # tab_then_row X Y ROW TEXT: click the strip at X,Y of the panel, pick ROW
    chat_clear
    open_panel
    probe_bar
    # The panel follows the group's rows under a face that stays where it is: the pointer goes
    # at once to just above the face, inside any panel, and from there to the row.
    xdo mousemove $(( $(fact x) + $1 )) $(( $(fact y) + $2 )) click 1 mousemove $((bx + 80)) $((by - 3))
    probe_bar
    xdo mousemove $(( $(fact x) + 80 )) $(( $(fact y) + 66 + ${REPLY_TEXT_TOPS[$3]} + 6 )) click 1
    wait_for 5 chat_is "$4" || fail "the strip at $1,$2, row $3: '$(chat_text)' rather than '$4'"
}

run_scenarios ${ONLY:-pointer_rests_on_the_search_line_and_the_strip \
    stray_digits_and_capitals_never_reach_the_chat \
    a_team_version_between_press_and_release_changes_nothing \
    many_long_group_names_fit_a_small_screen}
