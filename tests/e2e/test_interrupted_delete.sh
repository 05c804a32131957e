#!/usr/bin/env bash
# A delete stopped by a later reply file that another program holds open: the user is told, no
# reply is lost, and once the file is free the replies come back in order and new ones are
# added after them, never over them.
. "$(dirname "$0")/lib.sh"
reset_state
for i in 0 1 2 3 4; do printf 'r%s\r\n' "$i" >"$APPDATA/$i.txt"; done
printf '01234\r\n' >"$APPDATA/bmpk.txt"
start_chat 300 120
start_bar
bx=$(fact x); by=$(fact y)
wait_editor() {
    wait_for 10 eval 'editor_controls && [ -n "$(ctl 110)" ]' || fail "the editor did not open"
    sleep 0.3
    editor_controls
}
add_reply() {  # "添加", the text, "修改确定"
    click_ctl 121
    editor_controls
    click_ctl 110
    xdo type --delay 40 "$1"
    sleep 0.3
    click_ctl 123
    sleep 0.5
    editor_controls
}

# Reply 2 opened from its row, 3.txt held open by another program while it is deleted.
xdo mousemove $((bx + 87)) $((by + 15)) click 1
wait_for 5 eval 'probe_bar && [ "$(fact h)" != 29 ]' || fail "the panel did not open"
xdo mousemove $((bx + 60)) $(( $(fact y) + 23 + 6 )) click 3
wait_editor
[ "$(ctl_field 110 5)" = r1 ] || fail "the editor shows '$(ctl_field 110 5)', not reply 2 (r1)"
# Held for longer than the store's retries of about a second at each step, through the reload
# and the refused add.
w_bg "$BIN/e2e_probe.exe" hold "$(winpath "$APPDATA/3.txt")" 14
HOLDER=$!
sleep 1
click_ctl 122
answer_box '删除确认' 6
wait_for 10 window_up '#32770' '快捷回复条' || fail "the failed renumbering was not reported"
shot interrupted_delete_message "$(fact w "$WORK/win.txt")x$(fact h "$WORK/win.txt")+$(fact x "$WORK/win.txt")+$(fact y "$WORK/win.txt")"
answer_box '快捷回复条' 1
list_count() { editor_controls && sed -n 's/^combo101=//p' "$WORK/ctl.txt" | cut -d'|' -f1; }
wait_for 10 eval '[ "$(list_count)" = 2 ]' || fail "the list holds $(list_count) replies, not 2"
for f in 0 1 3 4; do [ -f "$APPDATA/$f.txt" ] || fail "$f.txt is gone"; done
note "the stopped delete was reported; r0 and r2 are shown, r3 and r4 wait on disk"

# Adding now would put the new reply before r3 and r4: it is refused, and says why.
click_ctl 121
wait_for 10 window_up '#32770' '提示' || fail "adding while replies are hidden was not refused"
shot refused_add_message "$(fact w "$WORK/win.txt")x$(fact h "$WORK/win.txt")+$(fact x "$WORK/win.txt")+$(fact y "$WORK/win.txt")"
answer_box '提示' 1
[ ! -e "$APPDATA/2.txt" ] || fail "a reply was added into the gap before r3 and r4"
[ "$(list_count)" = 2 ] || fail "the list holds $(list_count) replies after the refused add"
[ "$(tr -d '\r\n' <"$APPDATA/bmpk.txt")" = 0234 ] || fail "bmpk.txt holds '$(tr -d '\r\n' <"$APPDATA/bmpk.txt")'"
note "adding was refused while r3 and r4 were hidden; their icon codes are kept"

wait "$HOLDER" || true  # the other program lets go
add_reply A
add_reply B
expected=(r0 r2 r3 r4 A B)
for i in 0 1 2 3 4 5; do
    [ "$(tr -d '\r\n' <"$APPDATA/$i.txt")" = "${expected[$i]}" ] \
        || fail "$i.txt holds '$(tr -d '\r\n' <"$APPDATA/$i.txt")', not ${expected[$i]}"
done
[ ! -e "$APPDATA/6.txt" ] || fail "there is a 6.txt"
[ "$(tr -d '\r\n' <"$APPDATA/bmpk.txt")" = 023400 ] \
    || fail "bmpk.txt holds '$(tr -d '\r\n' <"$APPDATA/bmpk.txt")', not 023400"
IFS=, read -r cx cy <<<"$(fact client "$WORK/ctl.txt")"
xdo mousemove $((cx + 100)) $((cy + 60)) key Escape
wait_for 10 window_gone ReplyBar.ReplyEditor '' || fail "the editor did not close"
xdo mousemove $((bx + 87)) $((by + 15)) click 1
wait_for 5 eval 'probe_bar && [ "$(fact h)" != 29 ]' || fail "the panel did not open"
shot interrupted_delete_panel "$(fact w)x$(fact h)+$(fact x)+$(fact y)"
[ $(( $(fact h) - 29 )) = 114 ] || fail "the panel is $(( $(fact h) - 29 )) px high, not six rows (114)"
close_bar
note "after the file was free every reply came back in order and A and B were added after them"
echo "interrupted delete: all checks passed"
