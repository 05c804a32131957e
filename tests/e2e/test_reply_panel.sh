#!/usr/bin/env bash
# The reply panel: opening above the bar, pasting into the chat window, auto-send, closing when
# the pointer leaves, dragging the bar.
. "$(dirname "$0")/lib.sh"
reset_state
put_reply 0.txt '你好，在吗？\r\n'
put_reply 1.txt '第一行\r\n第二行\r\n'
printf '\xef\xbb\xbf收到👍\r\n' >"$APPDATA/2.txt"   # as the store writes a reply GBK cannot hold
put_reply bmpk.txt '3 0\r\n'
start_chat 300 150
sends() { fact ctrl_enter "$CHAT_LOG"; }

# Three replies: 870 twips = 58 px of panel above the bar face.
panel_opens_above_the_bar() {
    need_bar
    [ "$(fact h)" = 29 ] || fail "bar height $(fact h)"
    open_panel
    [ "$(fact w)x$(fact h)" = 387x87 ] || fail "open window is $(fact w)x$(fact h), not 387x87"
    [ "$(fact y)" = $((by - 58)) ] || fail "window top $(fact y), not $((by - 58))"
    [ "$(fact x)" = "$bx" ] || fail "window left moved"
    [ "$(fact region)" = "0,0,387,58;0,58,103,101" ] || fail "region $(fact region)"
    note "panel opens upward: 387x87, region panel + face"
    hover $((bx + 60)) "$(row_y 1)"
    xdo mousemove $((bx + 62)) "$(row_y 1)"
    wait_for 5 window_up tooltips_class32 '' || fail "no tip over row 1"
    shot_settled reply_panel_tooltip "420x160+$((bx - 10))+$(( $(fact y) - 60 ))"
    xdo mousemove 1000 100
    wait_for 5 eval 'probe_bar; [ "$(fact h)" = 29 ]' || fail "the panel did not close when the pointer left"
    note "the panel closed when the pointer left"
}

# Picks paste exactly the reply, then Ctrl+Enter (n.txt absent); the chat keeps the focus.
pick_pastes_and_auto_sends() {
    need_bar
    chat_clear
    local sent; sent=$(sends)
    pick_row 0
    wait_for 5 eval '[ "$(chat_text)" = "你好，在吗？" ]' || fail "row 0 pasted: $(chat_text | od -c | head -3)"
    wait_for 5 eval '[ "$(sends)" = $((sent + 1)) ]' || fail "no Ctrl+Enter after the pick"
    pick_row 1
    wait_for 5 eval '[ "$(chat_text)" = "$(printf "你好，在吗？第一行\r\n第二行")" ]' || fail "row 1 pasted: $(chat_text | od -c | head -5)"
    wait_for 5 eval '[ "$(sends)" = $((sent + 2)) ]' || fail "ctrl_enter $(sends), not $((sent + 2))"
    probe_bar
    [ "$(fact foreground)" = E2EChat ] && [ "$(fact focus)" = Edit ] || fail "focus left the chat: $(fact foreground)/$(fact focus)"
    [ "$(fact deactivated "$CHAT_LOG")" = 0 ] && [ "$(fact focus_lost "$CHAT_LOG")" = 0 ] || fail "the chat lost focus"
    if grep -q 'V .*shift=1\|V .*alt=1' "$CHAT_LOG.keys"; then fail "V arrived with other modifiers"; fi
    note "rows 0 and 1 pasted with one Ctrl+Enter each; the chat kept foreground and focus"
}

# A return within one poll keeps the panel open.
quick_return_keeps_the_panel() {
    need_bar
    open_panel
    # The panel's screenshot, with the band on row 1.
    hover $((bx + 200)) "$(row_y 1)"
    shot_settled reply_panel "400x100+$((bx - 5))+$(( $(fact y) - 5 ))"
    # Away for less than one poll, then back: the panel must stay open for longer than it
    # takes to close after the pointer has left.
    xdo mousemove 1000 100
    sleep 0.25
    xdo mousemove $((bx + 50)) "$(row_y 0)"
    local end=$(( ${EPOCHREALTIME/./} + 1300000 ))
    while [ "${EPOCHREALTIME/./}" -lt "$end" ]; do
        probe_bar
        [ "$(fact h)" = 87 ] || fail "the panel closed although the pointer came back"
    done
    xdo mousemove 1000 100
    wait_for 5 eval 'probe_bar; [ "$(fact h)" = 29 ]' || fail "the panel did not close"
    note "a quick return keeps the panel; staying away closes it"
}

# n.txt switches auto-send off at the next start: the emoji reply, no Ctrl+Enter.
n_txt_turns_auto_send_off() {
    stop_bar
    gbk '不要自动发送信息\r\n' >"$APPDATA/n.txt"
    start_bar
    bx=$(fact x); by=$(fact y)
    local sent noted; sent=$(sends) noted=$(picks_noted)
    pick_row 2
    wait_for 5 eval 'chat_text | grep -q "收到👍"' || fail "the emoji reply was not pasted intact: $(chat_text | od -c | tail -3)"
    pick_over "$noted"
    [ "$(sends)" = "$sent" ] || fail "Ctrl+Enter sent although n.txt exists"
    note "with n.txt: the emoji reply pasted intact, no Ctrl+Enter"
}

# A left drag on the drag strip moves the bar by the pointer's distance.
drag_strip_moves_the_bar() {
    need_bar
    on_bar 2 14 mousedown 1
    on_bar 52 -16
    on_bar 102 -46
    xdo mouseup 1
    wait_for 5 eval 'probe_bar && [ "$(fact x),$(fact y)" = "$((bx + 100)),$((by - 60))" ] && [ -z "$(fact capture)" ]' ||
        fail "drag ended at $(fact x),$(fact y)"
    note "drag moved the bar by (100, -60)"
    close_bar
}

run_scenarios panel_opens_above_the_bar pick_pastes_and_auto_sends quick_return_keeps_the_panel \
    n_txt_turns_auto_send_off drag_strip_moves_the_bar
