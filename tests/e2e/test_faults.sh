#!/usr/bin/env bash
# Bad days: a read-only data folder, a reply file another program holds, a 1 MB reply, more reply
# files than rows, a launch folder of 10,000 files with 255-character names, settings values
# that no bar wrote, and the bar killed in the middle of saving, 50 times. Each time: no crash,
# a Chinese message where the user must act, and no reply lost or changed behind their back.
. "$(dirname "$0")/lib.sh"
reset_state
# The reply files (history.txt, which every pick writes, is not one of them).
snapshot() { (cd "$APPDATA" && find . -maxdepth 1 -type f -name '*.txt' ! -name history.txt -print0 | sort -z | xargs -0 -r sha1sum); }
set_text() {
    local want=$1
    click_ctl $EDITOR_TEXT
    xdo key ctrl+a
    xdo type --delay 30 "$want"
    wait_for 5 eval 'editor_controls && [ "$(ctl_field $EDITOR_TEXT 5)" = "$want" ]' ||
        fail "the text box holds '$(ctl_field $EDITOR_TEXT 5)', not '$want'"
}
error_box() {  # error_box WHAT: the store's box appears, names the problem, and is answered
    wait_for 10 window_up '#32770' '快捷回复条' || fail "no message for $1"
    answer_box '快捷回复条' $BOX_OK
}
for i in 0 1 2; do printf 'reply %s\r\n' "$i" >"$APPDATA/$i.txt"; done
printf '012\r\n' >"$APPDATA/bmpk.txt"
start_chat 300 120

# A data folder that refuses every change: adding, changing and deleting each say so, and the
# folder is as it was.
read_only_data_folder_reports_every_change() {
    need_bar
    if ! chattr +i "$APPDATA" 2>/dev/null; then
        note "read-only data folder: skipped, this file system cannot make a folder read-only"
        return 0
    fi
    trap 'chattr -i "$APPDATA" || true' EXIT
    before=$(snapshot)
    open_editor
    set_text 'changed'
    click_ctl $EDITOR_CONFIRM
    error_box "a change in a read-only folder"
    wait_editor
    click_ctl $EDITOR_ADD
    editor_controls
    set_text 'added'
    click_ctl $EDITOR_CONFIRM
    error_box "an add in a read-only folder"
    wait_editor
    click_ctl $EDITOR_CANCEL_ADD
    editor_controls
    click_ctl $EDITOR_DELETE
    answer_box '删除确认' $BOX_YES
    error_box "a delete in a read-only folder"
    wait_editor
    close_editor
    chattr -i "$APPDATA"
    [ "$(snapshot)" = "$before" ] || fail "the read-only folder changed"
    note "read-only data folder: add, change and delete each reported, nothing changed"
}

# A reply file another program holds open without sharing: the save is reported, the file kept.
held_reply_file_is_reported_and_kept() {
    need_bar
    before=$(snapshot)
    open_editor
    rm -f "$WORK/held"
    w_bg "$BIN/e2e_probe.exe" hold "$(winpath "$APPDATA/0.txt")" 5 "$(winpath "$WORK/held")"
    wait_for 10 test -f "$WORK/held" || fail "the reply file could not be held"
    set_text 'not while it is held'
    click_ctl $EDITOR_CONFIRM
    error_box "a reply file held by another program"
    wait_editor
    close_editor
    [ "$(snapshot)" = "$before" ] || fail "the held reply file changed"
    note "a reply file held open: the save was reported and the file kept"
    close_bar
}

# A reply of 1 MB and 45 reply files: the bar starts, the panel shows 41 rows (two columns),
# a pick pastes, and the files beyond the rows are left alone.
huge_reply_and_surplus_files_are_left_alone() {
    stop_bar
    head -c 1048576 /dev/zero | tr '\0' 'x' >"$APPDATA/0.txt"
    for i in $(seq 1 44); do printf 'reply %s\r\n' "$i" >"$APPDATA/$i.txt"; done
    before=$(snapshot)
    start_bar
    bx=$(fact x); by=$(fact y)
    on_bar $REPLY_BUTTON click 1
    wait_for 5 eval 'probe_bar && [ "$(fact h)" -gt 29 ]' || fail "no panel with a 1 MB reply and 45 files"
    [ "$(fact w)" = 774 ] || fail "45 files: the panel is $(fact w) px wide, not two columns"
    shot faults_45_replies "$(fact w)x$(fact h)+$(fact x)+$(fact y)"
    xdo mousemove $((bx + 60)) $(( $(fact y) + 2 + 23 + 6 )) click 1
    wait_for 5 eval 'chat_text | grep -q "reply 1"' || fail "the pick did not paste"
    # The editor opens on the 1 MB reply: it says the reply is too long for its box.
    on_bar $REPLY_BUTTON click 3
    wait_for 10 window_up '#32770' '提示' || fail "no word that the 1 MB reply is too long to edit"
    answer_box '提示' $BOX_OK
    wait_editor
    close_editor
    close_bar
    [ "$(snapshot)" = "$before" ] || fail "the reply files changed"
    note "a 1 MB reply and 45 files: 41 rows in two columns, a pick pasted, no file touched"
}

# A launch folder of 10,000 files with names of 255 characters.
huge_launch_folder_opens_and_closes() {
    stop_bar
    reset_state
    printf 'reply 0\r\n' >"$APPDATA/0.txt"
    big="$WORK/big folder"
    mkdir -p "$big"
    long=$(printf 'n%.0s' $(seq 250))  # with the five digits: 255 characters
    (cd "$big" && for i in $(seq -w 1 10000); do : >"$i$long"; done)
    reg_set "2385,11565,$(winpath "$big")\\,about:blank"
    start_bar
    bx=$(fact x); by=$(fact y)
    open_launcher 60 || fail "no launcher menu for 10,000 files"
    shot faults_big_launch_folder "700x200+$((bx - 10))+$(fact y "$WORK/menu.txt")"
    [ $(( $(fact x "$WORK/menu.txt") + $(fact w "$WORK/menu.txt") )) -le 1280 ] \
        || fail "the menu is wider than the screen: $(cat "$WORK/menu.txt")"
    # Off the menu, whose columns take most of the screen beside the bar.
    local mx my mw mh
    mx=$(fact x "$WORK/menu.txt"); my=$(fact y "$WORK/menu.txt")
    mw=$(fact w "$WORK/menu.txt"); mh=$(fact h "$WORK/menu.txt")
    if [ "$mx" -gt 4 ]; then xdo mousemove $((mx / 2)) 300
    elif [ "$my" -gt 4 ]; then xdo mousemove 600 $((my / 2))
    else xdo mousemove $(( (mx + mw + 1280) / 2 )) $(( (my + mh + 800) / 2 )); fi
    wait_for 5 menu_closed || fail "the menu did not close"
    bar_up || fail "the bar is gone after the big launch folder"
    close_bar
    note "10,000 files of 255-character names: the menu opened and closed"
}

# Settings values that no bar wrote: the bar starts on the screen each time.
foreign_settings_values_start_on_the_screen() {
    stop_bar
    probe regdword
    start_bar
    close_bar
    for value in '' 'no commas at all' ',,,,,,,,,,,,,,,,,,,,' "$(head -c 102400 /dev/zero | tr '\0' 'z'),1,2,3"; do
        reg_set "$value"
        start_bar
        [ "$(fact x)" -ge 0 ] && [ "$(fact y)" -ge 0 ] && [ $(( $(fact x) + 103 )) -le 1280 ] \
            || fail "with the value '${value:0:30}' the bar is at $(fact x),$(fact y)"
        close_bar
    done
    note "settings of the wrong type, empty, without commas, with 20 commas and 100 KB long: the bar started on the screen"
}

# Killed at a random moment of a save, 50 times: the reply is the old text or the new one, never
# empty or half, and the next start shows it.
killed_while_saving_keeps_the_old_or_the_new_text() {
    stop_bar
    reset_state
    printf 'reply 0\r\n' >"$APPDATA/0.txt"
    printf 'reply 1\r\n' >"$APPDATA/1.txt"
    old='reply 0'
    kept=0 saved=0
    for i in $(seq 1 50); do
        new="saved $i $(printf 'x%.0s' $(seq $(( (i * 37) % 200 ))))"
        start_bar
        if ! probe savekill "$new" $(( (i * 7919) % 3000 )); then
            shot "faults_kill_round_$i"
            probe list "$(winpath "$WORK/list.txt")"
            grep -v 'visible=0' "$WORK/list.txt" | grep -iv 'tooltips\|IME\|#32769' >&2 || true
            probe_bar
            fail "round $i: the editor could not be driven ($(tr '\n' ' ' <"$WORK/bar.txt"))"
        fi
        wait_for 10 bar_gone || fail "round $i: the bar was not ended"
        got=$(tr -d '\r\n' <"$APPDATA/0.txt")
        case "$got" in
        "$old") kept=$((kept + 1)) ;;
        "$new") old=$new saved=$((saved + 1)) ;;
        *) fail "round $i: 0.txt holds '${got:0:40}'" ;;
        esac
        [ "$(tr -d '\r\n' <"$APPDATA/1.txt")" = 'reply 1' ] || fail "round $i: 1.txt changed"
    done
    start_bar
    bx=$(fact x); by=$(fact y)
    on_bar $REPLY_BUTTON click 1
    wait_for 5 eval 'probe_bar && [ "$(fact h)" = $((29 + 39)) ]' || fail "after the kills the panel does not show both replies"
    close_bar
    note "killed 50 times while saving ($saved after the save, $kept before it): 0.txt was always the old or the new text; the last start showed both replies"
}

run_scenarios read_only_data_folder_reports_every_change held_reply_file_is_reported_and_kept \
    huge_reply_and_surplus_files_are_left_alone huge_launch_folder_opens_and_closes \
    foreign_settings_values_start_on_the_screen killed_while_saving_keeps_the_old_or_the_new_text
