#!/usr/bin/env bash
# A delete stopped by a later reply file that another program holds open: the user is told, no
# reply is lost, and once the file is free the replies come back in order and new ones are
# added after them, never over them. One story in one editor, so one scenario. Then what a kill
# in the middle of a save or a delete leaves is cleaned at the next start, no reply lost.
. "$(dirname "$0")/lib.sh"
reset_state
for i in 0 1 2 3 4; do printf 'r%s\r\n' "$i" >"$APPDATA/$i.txt"; done
printf '01234\r\n' >"$APPDATA/bmpk.txt"
start_chat 300 120
reply_files() { find "$APPDATA" -maxdepth 1 -name '[0-9]*.txt' | wc -l; }
add_reply() {  # "添加", the text, "修改确定": one reply file more, the editor out of adding
    local want=$1 files; files=$(reply_files)
    click_ctl $EDITOR_ADD
    editor_controls
    click_ctl $EDITOR_TEXT
    xdo type --delay 40 "$want"
    wait_for 5 eval 'editor_controls && [ "$(ctl_field $EDITOR_TEXT 5)" = "$want" ]' ||
        fail "the text box holds '$(ctl_field $EDITOR_TEXT 5)', not '$want'"
    click_ctl $EDITOR_CONFIRM
    wait_for 5 eval '[ "$(reply_files)" -gt '"$files"' ] && editor_controls && [ "$(ctl_field $EDITOR_ADD 2)" = 1 ]' ||
        fail "adding $want wrote no reply file"
}
list_count() { editor_controls && editor_list | cut -d'|' -f1; }

interrupted_delete_loses_no_reply() {
    need_bar
    # Reply 2 opened from its row, 3.txt held open by another program while it is deleted.
    on_bar $REPLY_BUTTON click 1
    wait_for 5 eval 'probe_bar && [ "$(fact h)" != 29 ]' || fail "the panel did not open"
    xdo mousemove $((bx + 60)) $(( $(fact y) + 23 + 6 )) click 3
    wait_editor
    [ "$(ctl_field $EDITOR_TEXT 5)" = r1 ] || fail "the editor shows '$(ctl_field $EDITOR_TEXT 5)', not reply 2 (r1)"
    # Held for longer than the store's retries of about a second at each step, through the reload
    # and the refused add.
    w_bg "$BIN/e2e_probe.exe" hold "$(winpath "$APPDATA/3.txt")" 14 "$(winpath "$WORK/held")"
    HOLDER=$!
    wait_for 10 test -f "$WORK/held" || fail "3.txt could not be held"
    click_ctl $EDITOR_DELETE
    answer_box '删除确认' $BOX_YES
    wait_for 10 window_up '#32770' '快捷回复条' || fail "the failed renumbering was not reported"
    shot_window interrupted_delete_message
    answer_box '快捷回复条' $BOX_OK
    wait_for 10 eval '[ "$(list_count)" = 2 ]' || fail "the list holds $(list_count) replies, not 2"
    for f in 0 1 3 4; do [ -f "$APPDATA/$f.txt" ] || fail "$f.txt is gone"; done
    note "the stopped delete was reported; r0 and r2 are shown, r3 and r4 wait on disk"

    # Adding now would put the new reply before r3 and r4: it is refused, and says why.
    click_ctl $EDITOR_ADD
    wait_for 10 window_up '#32770' '提示' || fail "adding while replies are hidden was not refused"
    shot_window refused_add_message
    answer_box '提示' $BOX_OK
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
    close_editor
    on_bar $REPLY_BUTTON click 1
    wait_for 5 eval 'probe_bar && [ "$(fact h)" != 29 ]' || fail "the panel did not open"
    shot interrupted_delete_panel "$(fact w)x$(fact h)+$(fact x)+$(fact y)"
    [ $(( $(fact h) - 29 )) = 114 ] || fail "the panel is $(( $(fact h) - 29 )) px high, not six rows (114)"
    close_bar
    note "after the file was free every reply came back in order and A and B were added after them"
}

# Left by a kill: a new reply's temporary file not yet in place, a rewrite of bmpk.txt not yet
# moved over it, a reply renamed to be deleted. At start the first goes into place, the other
# two go; a file of the same kind of name that is not the store's stays.
leftovers_of_a_kill_are_cleaned_at_start() {
    stop_bar
    rm -f "$APPDATA"/*.txt "$APPDATA"/*.tmp "$APPDATA"/*.replybar-deleted
    printf 'r0\r\n' >"$APPDATA/0.txt"
    printf 'r1\r\n' >"$APPDATA/1.txt"
    printf 'new\r\n' >"$APPDATA/2.txt.tmp"
    printf '000\r\n' >"$APPDATA/bmpk.txt"
    printf '00\r\n' >"$APPDATA/bmpk.txt.tmp"
    printf 'gone\r\n' >"$APPDATA/3.txt.4242-1.replybar-deleted"
    printf 'mine' >"$APPDATA/notes.txt.tmp"
    start_bar
    bx=$(fact x); by=$(fact y)
    on_bar $REPLY_BUTTON click 1
    wait_for 5 eval 'probe_bar && [ "$(fact h)" != 29 ]' || fail "the panel did not open"
    shot leftovers_cleaned_panel "$(fact w)x$(fact h)+$(fact x)+$(fact y)"
    [ $(( $(fact h) - 29 )) = 58 ] || fail "the panel is $(( $(fact h) - 29 )) px high, not three rows (58)"
    [ "$(cat "$APPDATA/2.txt" 2>/dev/null)" = $'new\r' ] || fail "2.txt holds '$(cat "$APPDATA/2.txt" 2>/dev/null)'"
    [ ! -e "$APPDATA/2.txt.tmp" ] && [ ! -e "$APPDATA/bmpk.txt.tmp" ] || fail "a temporary file is left"
    [ "$(tr -d '\r\n' <"$APPDATA/bmpk.txt")" = 000 ] || fail "bmpk.txt holds '$(tr -d '\r\n' <"$APPDATA/bmpk.txt")'"
    [ ! -e "$APPDATA/3.txt.4242-1.replybar-deleted" ] || fail "the deleted reply is still there"
    [ "$(cat "$APPDATA/notes.txt.tmp")" = mine ] || fail "notes.txt.tmp was touched"
    close_bar
    note "the unsaved new reply is row 3, the stale bmpk.txt.tmp and the deleted reply are gone"
}

run_scenarios interrupted_delete_loses_no_reply leftovers_of_a_kill_are_cleaned_at_start
