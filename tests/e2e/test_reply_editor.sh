#!/usr/bin/env bash
# The reply editor driven as a person would: adding with icons, changing, deleting, auto-send,
# and exiting the program from it.
. "$(dirname "$0")/lib.sh"
reset_state
gbk_of() { printf '%s' "$1" | iconv -f UTF-8 -t GBK; }
file_holds() {  # file_holds NAME TEXT: the store's file holds TEXT in GBK and CR LF
    [ "$(od -An -tx1 "$APPDATA/$1")" = "$(printf '%s\r\n' "$2" | iconv -f UTF-8 -t GBK | od -An -tx1)" ]
}
# The dialog writes on its own thread's time: give it a moment before judging.
file_is() { wait_for 5 file_holds "$@" || fail "$1 holds $(od -c "$APPDATA/$1" | head -3)"; }

start_chat 300 120
start_bar
bx=$(fact x); by=$(fact y)
reply_button() { xdo mousemove $((bx + 87)) $((by + 15)) click "${1:-1}"; }
editor_up() { editor_controls && [ "$(fact found "$WORK/ctl.txt")" = 1 ] && [ -n "$(ctl 110)" ]; }
wait_editor() { wait_for 10 editor_up || fail "the editor did not open"; sleep 0.3; editor_controls; }
type_text() {  # replaces the text box's content; xdotool can drop a remapped Chinese key
    local want=${1//$'\n'/^~}   # the probe reports CR as "^" and LF as "~"
    for _ in 1 2 3; do
        click_ctl 110
        xdo key ctrl+a
        xdo type --delay 40 "$1"
        sleep 0.3
        editor_controls
        [ "$(ctl_field 110 5)" = "$want" ] && return 0
    done
    fail "the text box holds '$(ctl_field 110 5)' instead of '$1'"
}
pick_icon() {  # pick_icon I: "选择图标", then icon I of the strip
    click_ctl 106
    editor_controls
    IFS=, read -r cx cy <<<"$(fact client "$WORK/ctl.txt")"
    xdo mousemove $((cx + 194 + 4 + 23 * ($1 % 5) + 8)) $((cy + 23 + ($1 < 5 ? 4 : 26) + 8))
    sleep 0.2
    [ -n "${2:-}" ] && shot "$2" "560x200+$((cx - 10))+$((cy - 10))"
    xdo click 1
    sleep 0.3
}

# No replies: the notice, then the editor in adding state.
reply_button
answer_box '提示' 1
wait_editor
[ "$(ctl_field 128 2)" = 1 ] && [ "$(ctl_field 121 2)" = 0 ] || fail "not in adding state: $(ctl 128)"
[ "$(ctl_field 122 3)" = 0 ] || fail "删除 is enabled with no replies"
[ "$(sed -n 's/^combo101=//p' "$WORK/ctl.txt")" = "1|0" ] || fail "list: $(sed -n 's/^combo101=//p' "$WORK/ctl.txt")"
IFS=, read -r cx cy <<<"$(fact client "$WORK/ctl.txt")"
shot editor_adding "560x200+$((cx - 10))+$((cy - 10))"
note "no replies: the editor opens in adding state"

texts=('第一条：你好' '第二条：马上到' '第三条：收到，谢谢' '第四条：再见')
for i in 0 1 2 3; do
    [ $i = 0 ] || { click_ctl 121; editor_controls; }
    if [ $i = 1 ]; then pick_icon 1 editor_icon_strip; else pick_icon $i; fi
    type_text "${texts[$i]}"
    click_ctl 123
    wait_for 5 test -f "$APPDATA/$i.txt" || fail "reply $((i + 1)) was not written"
done
file_is 1.txt "${texts[1]}"
file_is bmpk.txt 0123
note "four replies added with icons 0 to 3: bmpk.txt = 0123"
click_ctl 110
xdo key Escape   # Esc is 返回
wait_for 5 eval '! editor_up' || fail "the editor did not close"

# The panel shows them at once; a pick pastes the edited text (no final line break).
xdo mousemove $((bx + 87)) $((by + 15)) click 1
wait_for 5 eval 'probe_bar; [ "$(fact h)" != 29 ]' || fail "the panel did not open"
py=$(fact y)
shot editor_panel_after_adding "400x110+$((bx - 5))+$((py - 5))"
xdo mousemove $((bx + 60)) $((py + 23 + 6)) click 1
wait_for 5 eval '[ "$(chat_text)" = "${texts[1]}" ]' || fail "row 1 pasted '$(chat_text)'"
note "the panel shows the new replies; row 2 pastes its text"

# A right click on a row closes the panel and opens the editor on that reply.
xdo mousemove $((bx + 87)) $((by + 15)) click 1
wait_for 5 eval 'probe_bar; [ "$(fact h)" != 29 ]' || fail "the panel did not open"
xdo mousemove $((bx + 60)) $(( $(fact y) + 42 + 6 )) click 3
wait_editor
[ "$(sed -n 's/^combo101=//p' "$WORK/ctl.txt")" = "4|2" ] || fail "right click on row 3 opened $(sed -n 's/^combo101=//p' "$WORK/ctl.txt")"
[ "$(ctl_field 110 5)" = "${texts[2]}" ] || fail "the editor shows '$(ctl_field 110 5)'"
probe_bar
[ "$(fact h)" = 29 ] || fail "the panel stayed open"
click_ctl 110
xdo key Escape
wait_for 5 eval '! editor_up' || fail "the editor did not close"
note "a right click on row 3 opens the editor on reply 3"

# A right click on the reply button opens the editor on reply 1.
reply_button 3
wait_editor
[ "$(ctl_field 110 5)" = "${texts[0]}" ] || fail "the editor opened on '$(ctl_field 110 5)'"
[ "$(sed -n 's/^combo101=//p' "$WORK/ctl.txt")" = "4|0" ] || fail "list is not on reply 1"
shot editor_modifying "560x200+$((cx - 10))+$((cy - 10))"
type_text "$(printf '第一条：改过了\n第二行')"  # Enter: a line break, not a button
click_ctl 123
file_is 0.txt "$(printf '第一条：改过了\r\n第二行')"
file_is bmpk.txt 0123
pick_icon 7
type_text '第一条：图标后再打字'
click_ctl 123
sleep 0.5
file_is 0.txt '第一条：图标后再打字'
file_is bmpk.txt 0123
note "text changes alone; an icon pick followed by typing saves only the text"

# Delete reply 2 of 4.
click_ctl 101
xdo key Down Return
sleep 0.3
editor_controls
[ "$(ctl_field 110 5)" = "${texts[1]}" ] || fail "reply 2 not shown: $(ctl_field 110 5)"
click_ctl 122
answer_box '删除确认' 6
wait_for 5 eval '[ ! -f "$APPDATA/3.txt" ]' || fail "3.txt still there"
file_is 1.txt "${texts[2]}"
file_is 2.txt "${texts[3]}"
file_is bmpk.txt 023
editor_controls
[ "$(sed -n 's/^combo101=//p' "$WORK/ctl.txt")" = "3|1" ] || fail "list after deleting: $(sed -n 's/^combo101=//p' "$WORK/ctl.txt")"
[ "$(ctl_field 110 5)" = "${texts[2]}" ] || fail "the former reply 3 is not shown as 2"
note "deleting reply 2 of 4 renumbers the files, codes 0123 -> 023"

# Auto-send off: the marker file, and the next pick sends no Ctrl+Enter.
click_ctl 131
wait_for 5 test -f "$APPDATA/n.txt" || fail "n.txt was not written"
[ "$(od -An -tx1 "$APPDATA/n.txt")" = "$(printf '不要自动发送信息\r\n' | iconv -f UTF-8 -t GBK | od -An -tx1)" ] || fail "n.txt content"
click_ctl 2
wait_for 5 eval '! editor_up' || fail "the editor did not close"
sent=$(fact ctrl_enter "$CHAT_LOG")
xdo mousemove $((bx + 87)) $((by + 15)) click 1
wait_for 5 eval 'probe_bar; [ "$(fact h)" != 29 ]' || fail "the panel did not open"
py=$(fact y)
xdo mousemove $((bx + 60)) $((py + 2 + 6)) click 1
wait_for 5 eval 'chat_text | grep -q 图标后再打字' || fail "row 0 was not pasted"
sleep 0.5
[ "$(fact ctrl_enter "$CHAT_LOG")" = "$sent" ] || fail "Ctrl+Enter sent with auto-send off"
note "auto-send off: n.txt written, no Ctrl+Enter"

# "退出本程序" ends the program and saves the settings string.
reply_button 3
wait_editor
click_ctl 125
wait_for 10 bar_gone || fail "the program did not end"
reg_get
case "$(fact value "$WORK/reg.txt")" in "$((bx * 15)),$((by * 15)),"*) ;; *) fail "String3 not saved: $(fact value "$WORK/reg.txt")" ;; esac
note "退出本程序 saved String3 and ended the program"
echo "reply editor: all checks passed"
