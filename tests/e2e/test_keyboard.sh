#!/usr/bin/env bash
# Replies from the keyboard: the hotkey opens the panel with the chat keeping the foreground and
# the caret, row keys, arrows and Enter pick, Esc and the hotkey close, the send key follows
# the settings, a hotkey another program owns is told of, and the settings dialog changes the
# hotkey and the start with Windows.
. "$(dirname "$0")/lib.sh"

RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
SETTINGS_KEY='HKCU\Software\DAZ\Registry'
reg_value() {  # reg_value KEY NAME: the value's data as reg.exe prints it, or nothing
    LC_ALL=C wine reg query "$1" /v "$2" </dev/null 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
reg_dword() { LC_ALL=C wine reg add "$SETTINGS_KEY" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1 </dev/null; }
shot_box() { shot "$1" "$(fact w "$WORK/win.txt")x$(fact h "$WORK/win.txt")+$(fact x "$WORK/win.txt")+$(fact y "$WORK/win.txt")"; }
panel_closed() { probe_bar; [ "$(fact h)" = 29 ]; }
hotkey() { press_hotkey "${1:-}"; }  # hotkey [COMBINATION]: the user presses it, the panel opens
key_pick() {  # key_pick KEY... EXPECTED: the keys, then the chat holds EXPECTED
    local want="${*: -1}"
    chat_clear
    xdo key "${@:1:$#-1}"
    wait_for 5 chat_is "$want" || fail "keys ${*:1:$#-1} pasted '$(chat_text)', not '$want'"
    wait_for 5 panel_closed || fail "the panel stayed open after the pick"
}
# Without a window manager X gives the keyboard to the window under the pointer: keys are
# typed with the pointer over the chat, where on Windows the chat simply keeps the focus. A
# closed dialog stays in front for a moment: the click is made again until the chat is.
chat_in_front() { probe_bar && [ "$(fact foreground)" = E2EChat ] && [ "$(fact focus)" = Edit ]; }
back_to_chat() {
    local tries=0
    until xdo mousemove 400 200 click 1 && wait_for 2 chat_in_front; do
        tries=$((tries + 1))
        [ $tries -lt 5 ] || fail "the chat did not come to the front: $(fact foreground)/$(fact focus)"
    done
}
chat_has_focus() {
    probe_bar
    [ "$(fact foreground)" = E2EChat ] && [ "$(fact focus)" = Edit ] ||
        fail "the chat lost the keyboard: $(fact foreground)/$(fact focus)"
}

setup() {
    reset_state
    for i in $(seq 1 12); do put_reply "$((i - 1)).txt" "回复$i\r\n"; done
    LC_ALL=C wine reg delete "$RUN_KEY" /v ReplyBar /f >/dev/null 2>&1 </dev/null || true
    start_chat 300 120
}

hotkey_opens_the_panel_and_the_chat_keeps_the_caret() {
    need_bar
    xdo mousemove 400 200
    hotkey
    chat_has_focus
    [ "$(fact deactivated "$CHAT_LOG")" = 0 ] || fail "the chat was deactivated"
    probe_bar
    shot keyboard_mode "$(( $(fact w) + 10 ))x$(( $(fact h) + 10 ))+$(( $(fact x) - 5 ))+$(( $(fact y) - 5 ))"
    xdo key ctrl+alt+r
    wait_for 5 panel_closed || fail "the hotkey again did not close the panel"
    chat_clear
    xdo type x
    wait_for 5 chat_is x || fail "typing after the panel closed reached '$(chat_text)'"
    note "Ctrl+Alt+R opened and closed the panel; the chat kept foreground and focus"
}

row_keys_and_arrows_pick() {
    need_bar
    hotkey; key_pick 2 '回复2'
    hotkey; key_pick 0 '回复10'
    hotkey; key_pick Down Down Return '回复3'
    hotkey; key_pick Up Return '回复12'  # Up from the first row goes round to the last
    chat_has_focus
    note "2, 0, Down Down Enter and Up Enter picked rows 2, 10, 3 and 12"
}

esc_closes_with_nothing_typed() {
    need_bar
    chat_clear
    hotkey
    xdo key Escape
    wait_for 5 panel_closed || fail "Esc did not close the panel"
    xdo type 5  # the bar lets go of the panel's keys before the panel closes
    wait_for 5 chat_is 5 || fail "after Esc the chat holds '$(chat_text)'"
    note "Esc closed the panel; the row keys reach the chat again"
}

send_key_follows_the_settings() {
    need_bar
    local ctrl enter
    ctrl=$(fact ctrl_enter "$CHAT_LOG"); enter=$(fact enter "$CHAT_LOG")
    hotkey; key_pick 3 '回复3'
    wait_for 3 eval '[ "$(fact ctrl_enter "$CHAT_LOG")" = $((ctrl + 1)) ]' ||
        fail "no Ctrl+Enter after a keyboard pick"
    close_bar
    reg_dword SendKey 1
    start_bar
    hotkey; key_pick 4 '回复4'
    wait_for 3 eval '[ "$(fact enter "$CHAT_LOG")" = $((enter + 1)) ]' || fail "no Enter after a keyboard pick"
    need_bar
    chat_clear
    open_panel
    local noted; noted=$(picks_noted)
    pick_row 1
    wait_for 5 chat_is '回复2' || fail "the mouse pick pasted '$(chat_text)'"
    wait_for 3 eval '[ "$(fact enter "$CHAT_LOG")" = $((enter + 2)) ]' || fail "no Enter after a mouse pick"
    pick_over "$noted"
    [ "$(fact ctrl_enter "$CHAT_LOG")" = $((ctrl + 1)) ] && [ "$(fact enter "$CHAT_LOG")" = $((enter + 2)) ] ||
        fail "sends: ctrl_enter $(fact ctrl_enter "$CHAT_LOG"), enter $(fact enter "$CHAT_LOG")"
    open_editor
    [ "$(ctl_field $EDITOR_AUTO_SEND 5)" = '自动发送（发送Enter）' ] ||
        fail "the editor's auto-send box says '$(ctl_field $EDITOR_AUTO_SEND 5)'"
    close_editor
    reg_dword SendKey 0
    note "Ctrl+Enter once, then with SendKey 1 Enter alone once, by keyboard and by mouse; the editor names Enter"
}

a_taken_hotkey_is_told_and_the_mouse_still_picks() {
    need_bar
    close_bar
    rm -f "$WORK/held.txt"
    w_bg "$BIN/e2e_probe.exe" holdhotkey 3 82 8000 "$(winpath "$WORK/held.txt")"  # Ctrl+Alt+R
    HOLDER=$!
    wait_for 10 test -f "$WORK/held.txt" || fail "the other program did not get Ctrl+Alt+R"
    start_bar
    wait_for 15 window_up '#32770' '快捷回复条' || fail "no message about the taken hotkey"
    shot_box hotkey_taken_message
    answer_box 快捷回复条 1
    wait_for 10 bar_up || fail "the bar is not up after the message"
    need_bar
    chat_clear
    open_panel
    pick_row 0
    wait_for 5 chat_is '回复1' || fail "the mouse pick pasted '$(chat_text)'"
    note "Ctrl+Alt+R held by another program: told once, the mouse still picks"
    close_bar
    # The other program lets go of Ctrl+Alt+R after eight seconds, and ends.
    wait_for 15 eval "! kill -0 $HOLDER 2>/dev/null" || fail "the other program kept Ctrl+Alt+R"
    start_bar
}

settings_change_the_hotkey_and_the_start_with_windows() {
    need_bar
    open_keys() {
        on_bar $SHOW_DESKTOP_BUTTON click 3
        wait_for 10 window_up ReplyBar.Settings '' || fail "the settings dialog did not open"
        dx=$(fact x "$WORK/win.txt"); dy=$(fact y "$WORK/win.txt")
        controls_of ReplyBar.Settings
    }
    open_keys
    [ "$(ctl_field $SETTINGS_START_WITH_WINDOWS 5)" = '开机时自动启动快捷回复条' ] || fail "start box: '$(ctl_field $SETTINGS_START_WITH_WINDOWS 5)'"
    IFS=, read -r cx cy <<<"$(sed -n 's/^client=//p' "$WORK/ctl.txt")"
    click_ctl $SETTINGS_HOTKEY
    xdo key ctrl+shift+k
    click_ctl $SETTINGS_START_WITH_WINDOWS
    wait_for 5 eval 'controls_of ReplyBar.Settings && [ "$(sed -n "s/^hotkey$SETTINGS_HOTKEY=//p" "$WORK/ctl.txt")" = 0x34b ] &&
        [ "$(sed -n "s/^check$SETTINGS_START_WITH_WINDOWS=//p" "$WORK/ctl.txt")" = 1 ]' ||
        fail "the dialog does not show Ctrl+Shift+K and the start box ticked"
    shot_settled settings_dialog_keys "541x513+$cx+$cy"
    click_ctl $SETTINGS_CONFIRM
    wait_for 10 window_gone ReplyBar.Settings '' || fail "确定 返回 did not close the dialog"
    back_to_chat
    hotkey ctrl+shift+k
    xdo key Escape
    wait_for 5 panel_closed || fail "Esc did not close the panel"
    [ "$(reg_value "$SETTINGS_KEY" Hotkey)" = 0x34b ] || fail "Hotkey stored as '$(reg_value "$SETTINGS_KEY" Hotkey)'"
    local run; run=$(reg_value "$RUN_KEY" ReplyBar)
    case "$run" in '"'*'ReplyBar.exe"') ;; *) fail "Run value '$run'" ;; esac
    note "Ctrl+Shift+K works at once; Run value $run"

    close_bar
    start_bar
    back_to_chat
    hotkey ctrl+shift+k
    xdo key Escape
    wait_for 5 panel_closed || fail "Esc did not close the panel"
    note "Ctrl+Shift+K works after a restart"

    # A combination another program takes while the dialog is open is refused, the old one
    # kept. (Once taken, a combination never reaches the field: the system hands it to its
    # owner first.)
    open_keys
    click_ctl $SETTINGS_HOTKEY
    xdo key ctrl+alt+j
    # Typed into the field before the other program takes the combination.
    wait_for 5 eval 'controls_of ReplyBar.Settings && [ "$(sed -n "s/^hotkey$SETTINGS_HOTKEY=//p" "$WORK/ctl.txt")" = 0x64a ]' ||
        fail "Ctrl+Alt+J did not reach the hotkey field"
    rm -f "$WORK/held.txt"
    w_bg "$BIN/e2e_probe.exe" holdhotkey 3 74 6000 "$(winpath "$WORK/held.txt")"  # Ctrl+Alt+J
    wait_for 10 test -f "$WORK/held.txt" || fail "the other program did not get Ctrl+Alt+J"
    click_ctl $SETTINGS_CONFIRM
    wait_for 10 window_up '#32770' '快捷回复条' || fail "no message about the taken combination"
    shot_box hotkey_refused_message
    answer_box 快捷回复条 1
    wait_for 5 eval 'probe_bar && [ "$(fact foreground)" = ReplyBar.Settings ]' || fail "the dialog is not in front after the message"
    xdo mousemove $((dx + 270)) $((dy + 60)) key Escape
    wait_for 10 window_gone ReplyBar.Settings '' || fail "Esc did not close the dialog"
    back_to_chat
    hotkey ctrl+shift+k
    xdo key Escape
    [ "$(reg_value "$SETTINGS_KEY" Hotkey)" = 0x34b ] || fail "the refused hotkey was stored"
    note "Ctrl+Alt+J held elsewhere: refused, Ctrl+Shift+K kept"

    # The box off removes the value; a value naming this program at a path now gone is mended.
    open_keys
    click_ctl $SETTINGS_START_WITH_WINDOWS
    click_ctl $SETTINGS_CONFIRM
    wait_for 10 window_gone ReplyBar.Settings '' || fail "确定 返回 did not close the dialog"
    [ -z "$(reg_value "$RUN_KEY" ReplyBar)" ] || fail "the Run value is still there"
    close_bar
    LC_ALL=C wine reg add "$RUN_KEY" /v ReplyBar /d '"C:\old place\ReplyBar.exe"' /f >/dev/null 2>&1 </dev/null
    start_bar
    wait_for 5 eval 'case "$(reg_value "$RUN_KEY" ReplyBar)" in *"old place"*) false ;; "") false ;; *) true ;; esac' ||
        fail "the stale Run value stayed '$(reg_value "$RUN_KEY" ReplyBar)'"
    note "box off removed the Run value; a stale one was corrected to $(reg_value "$RUN_KEY" ReplyBar)"
    LC_ALL=C wine reg delete "$RUN_KEY" /v ReplyBar /f >/dev/null 2>&1 </dev/null || true
}

setup
run_scenarios hotkey_opens_the_panel_and_the_chat_keeps_the_caret row_keys_and_arrows_pick \
    esc_closes_with_nothing_typed send_key_follows_the_settings \
    a_taken_hotkey_is_told_and_the_mouse_still_picks \
    settings_change_the_hotkey_and_the_start_with_windows
