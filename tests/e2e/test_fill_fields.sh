#!/usr/bin/env bash
# Replies that fill themselves in: the order number the user just copied, a date three days out
# and the agent's name, picked by mouse and by key; a team reply greeting with the agent's own
# name; blanks typed into the bar's box and pasted into the chat that had the focus, and Esc in
# the box sending nothing. history.txt keeps the replies as written, never an order number.
. "$(dirname "$0")/lib.sh"
reset_state
put_reply 0.txt '您好，我是{客服}。订单{剪贴板}预计{日期+3}发货\r\n'
put_reply 1.txt '{填写:客户称呼}您好，您的快递单号是{填写:快递单号}\r\n'
put_reply n.txt '不要自动发送信息\r\n'  # pasted only: the text is what is checked
SETTINGS_KEY='HKCU\Software\DAZ\Registry'
w reg add "$SETTINGS_KEY" /v AgentName /t REG_SZ /d '小王' /f
# The team's library as the bar kept it from an earlier run; its share is out of reach now, so
# the bar goes by this copy from its start.
team_places
TEAM_COPY="$(dirname "$APPDATA")/Local/ReplyBar/team-library.cache"
mkdir -p "$(dirname "$TEAM_COPY")"
printf '%s\r\n2026-12-09 09:30\r\n分组,回复\r\n团队,"您好，我是{客服}，很高兴为您服务"\r\n' \
    '\\teamserver\share\团队回复.csv' >"$TEAM_COPY"
w reg add "$SETTINGS_KEY" /v TeamLibrary /t REG_SZ /d '\\teamserver\share\团队回复.csv' /f
HISTORY="$APPDATA/history.txt"
ORDER=DD20261209-0042
IN_THREE_DAYS=$(date -d '+3 days' '+%-m月%-d日')
FILLED="您好，我是小王。订单${ORDER}预计${IN_THREE_DAYS}发货"
start_chat 300 150

copy_order() {  # the user copies the order number, typed into the chat's box for it
    chat_clear
    xdo mousemove 600 300 type "$ORDER"
    xdo key shift+Home ctrl+c
    wait_for 5 eval 'probe_into "$WORK/clip.txt" clipinfo && [ "$(fact text "$WORK/clip.txt")" = "$ORDER" ]' ||
        fail "the order number was not copied: $(cat "$WORK/clip.txt")"
    chat_clear
}
BLANKS=ReplyBar.Blanks
BLANK_FIRST=1100  # the box's first field; the next ones follow
box_up() { window_up $BLANKS '' && controls_of $BLANKS && [ "$(fact active "$WORK/ctl.txt")" = 1 ]; }
onto_box() {  # keys go to the X window under the pointer: onto the box's first field
    wait_for 10 box_up || fail "the box for the blanks did not come up in front"
    click_ctl $BLANK_FIRST
}
# With the team's group the panel has tabs (我的, 团队, 40 px each) above the rows.
pick_tab_row() {  # pick_tab_row TAB ROW [switches]: "switches" when the panel showed the other group
    open_panel
    local before; before="$(fact y),$(fact h)"
    xdo mousemove $((bx + 20 + 40 * $1)) $(( $(fact y) + 11 )) click 1
    # Another group has another number of rows: the panel lays itself out again, and the row is
    # found where it is then.
    if [ "${3:-}" = switches ]; then
        wait_for 5 eval 'probe_bar; [ "$(fact y),$(fact h)" != "$before" ]' ||
            fail "the panel did not show tab $1's group"
    else
        wait_for 1.5 eval 'probe_bar; [ "$(fact y),$(fact h)" != "$before" ]' || true
    fi
    hover $((bx + 80)) $(( $(fact y) + 22 + ${REPLY_TEXT_TOPS[$2]} + 6 ))
    xdo click 1
    wait_for 5 eval 'probe_bar; [ "$(fact h)" = 29 ]' || fail "the panel did not close after a pick"
}
chat_in_front() { probe_bar && [ "$(fact foreground)" = E2EChat ] && [ "$(fact focus)" = Edit ]; }

clipboard_date_and_name_fill_in_by_mouse_and_by_key() {
    need_bar
    copy_order
    noted=$(picks_noted)
    pick_tab_row 0 0
    wait_for 5 chat_is "$FILLED" || fail "by mouse the chat got '$(chat_text)'"
    pick_over "$noted"
    chat_clear
    xdo mousemove 600 300
    noted=$(picks_noted)
    press_hotkey
    xdo key 1  # the clipboard holds the reply picked last: the order number is still the clip
    wait_for 5 chat_is "$FILLED" || fail "by key the chat got '$(chat_text)'"
    pick_over "$noted"
    grep -qF '{剪贴板}' "$HISTORY" || fail "history.txt lacks the reply as written: $(cat "$HISTORY")"
    ! grep -qF "$ORDER" "$HISTORY" || fail "history.txt holds the order number"

    chat_clear
    pick_tab_row 1 0 switches
    wait_for 5 chat_is '您好，我是小王，很高兴为您服务' || fail "the team reply pasted '$(chat_text)'"
    note "mouse and key picks pasted '$FILLED'; the team's greeting carries 小王"
}

blanks_are_typed_into_the_box_and_esc_sends_nothing() {
    need_bar
    chat_clear
    pick_tab_row 0 1
    onto_box
    # The client area: no window manager draws a frame around it here.
    local x y cx cy
    x=$(fact x "$WORK/win.txt"); y=$(fact y "$WORK/win.txt")
    IFS=, read -r cx cy <<<"$(fact client "$WORK/ctl.txt")"
    shot_settled fill_box "$(( $(fact w "$WORK/win.txt") - 2 * (cx - x) ))x$(( $(fact h "$WORK/win.txt") - (cy - y) - (cx - x) ))+$cx+$cy"
    xdo type Zhang
    xdo key Tab
    xdo type SF1234
    xdo key Return
    wait_for 5 chat_is 'Zhang您好，您的快递单号是SF1234' || fail "the chat got '$(chat_text)'"
    wait_for 5 chat_in_front || fail "the chat did not get the keyboard back"

    chat_clear
    xdo mousemove 600 300
    press_hotkey
    xdo key 2  # the panel shows the group picked from last
    onto_box
    [ "$(ctl_field $BLANK_FIRST 5)" = Zhang ] && [ "$(ctl_field $((BLANK_FIRST + 1)) 5)" = SF1234 ] ||
        fail "the last answers were not offered: $(ctl $BLANK_FIRST) / $(ctl $((BLANK_FIRST + 1)))"
    xdo key Escape
    wait_for 5 window_gone $BLANKS '' || fail "Esc did not close the box"
    wait_for 5 chat_in_front || fail "the chat did not get the keyboard back after Esc"
    chat_caught_up || fail "the chat did not catch up"
    chat_is '' || fail "Esc sent '$(chat_text)'"
    pick_tab_row 0 1
    wait_for 10 box_up || fail "the box did not come up again"
    close_bar  # as Windows asks at shutdown: the box ends as Esc would, then the bar
    chat_is '' || fail "the close sent '$(chat_text)'"
    note "answers typed in the box reached the chat; offered again; Esc and a close sent nothing"
}

run_scenarios clipboard_date_and_name_fill_in_by_mouse_and_by_key \
    blanks_are_typed_into_the_box_and_esc_sends_nothing
