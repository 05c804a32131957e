#!/usr/bin/env bash
# What a pick sends is the reply or nothing: the reply as typed, a busy clipboard, modifiers the
# user still holds, auto-send after the data folder went away, the formats that keep a reply out
# of the clipboard history, and a click slid off a button.
. "$(dirname "$0")/lib.sh"
reset_state
put_reply 0.txt '好的\r\n'
put_reply 1.txt '第一行\r\n第二行\r\n'
put_reply 2.txt '末尾换行\r\n\r\n'     # typed with a line break at its end
put_reply 3.txt '没有换行'             # saved by hand without one
log_shell_opens scffile txtfile
w reg add 'HKLM\Software\Classes\.scf' /ve /d scffile /f
start_chat 300 120

sends() { fact ctrl_enter "$CHAT_LOG"; }
# pick_is ROW TEXT: the pick pastes exactly TEXT, then one Ctrl+Enter.
pick_is() {
    local before; before=$(sends)
    chat_clear
    pick_row "$1"
    wait_for 5 chat_is "$2" || fail "row $1 pasted: $(od -c "$CHAT_LOG.text" | head -3)"
    wait_for 5 eval '[ "$(sends)" = $((before + 1)) ]' || fail "row $1: $(sends) Ctrl+Enter, not $((before + 1))"
}
hold_clipboard() {  # hold_clipboard MS: held from now on, by a window titled 剪贴板助手
    rm -f "$WORK/held"
    w_bg "$BIN/e2e_probe.exe" holdclip "$1" 剪贴板助手 "$(winpath "$WORK/held")"
    HOLDER=$!
    wait_for 10 test -f "$WORK/held" || fail "the clipboard could not be held"
}

# Each reply pastes as typed: the line break the store appends to every file is not part of it.
replies_paste_as_typed() {
    need_bar
    pick_is 0 '好的'
    pick_is 1 '第一行\r\n第二行'
    pick_is 2 '末尾换行\r\n'
    pick_is 3 '没有换行'
    note "replies paste as typed: no extra line break, a typed final one kept"
}

# ... and so after an unchanged save in the editor: the file is written as before.
unchanged_save_pastes_the_same_text() {
    need_bar
    hover_row 2
    xdo click 3
    wait_editor
    click_ctl $EDITOR_CONFIRM
    wait_for 5 eval 'cmp -s "$APPDATA/2.txt" <(gbk "末尾换行\r\n\r\n")' \
        || fail "the save changed 2.txt: $(od -c "$APPDATA/2.txt")"
    xdo key Escape
    wait_for 5 window_gone ReplyBar.ReplyEditor '' || fail "the editor did not close"
    pick_is 2 '末尾换行\r\n'
    note "after an unchanged save in the editor the same text pastes"
}

# The pasted clip carries the formats that keep it out of the clipboard history and the cloud,
# and its language for programs that paste ANSI text.
clip_stays_out_of_history_and_cloud() {
    need_bar
    pick_is 2 '末尾换行\r\n'
    rm -f "$WORK/clip.txt"
    probe clipinfo "$(winpath "$WORK/clip.txt")"
    [ "$(fact history "$WORK/clip.txt")" = 0x0 ] && [ "$(fact cloud "$WORK/clip.txt")" = 0x0 ] \
        && [ "$(fact locale "$WORK/clip.txt")" = 0x804 ] && [ "$(fact owner "$WORK/clip.txt")" = ReplyBar.Bar ] \
        || fail "clipboard: $(cat "$WORK/clip.txt")"
    note "the clip: CanIncludeInClipboardHistory 0, CanUploadToCloudClipboard 0, CF_LOCALE 0x804"
}

# Another program holding the clipboard: a short hold just before the click still pastes once;
# a long one sends nothing, and the user is told who holds it.
short_clipboard_hold_still_pastes_once() {
    need_bar
    before=$(sends)
    chat_clear
    hover_row 0
    hold_clipboard 300
    xdo click 1
    wait_for 5 chat_is '好的' || fail "after a 0.3 s hold: $(od -c "$CHAT_LOG.text" | head -3)"
    wait_for 5 eval '[ "$(sends)" = $((before + 1)) ]' || fail "after a 0.3 s hold: $(sends) Ctrl+Enter"
    wait "$HOLDER" || true
    note "a 0.3 s hold before the click: pasted once, one Ctrl+Enter"
}

long_clipboard_hold_sends_nothing_and_names_the_holder() {
    need_bar
    before=$(sends)
    chat_clear
    hover_row 1
    hold_clipboard 8000
    xdo click 1
    wait_for 5 find_window '#32770' '快捷回复条' || fail "no message while the clipboard is held"
    controls_of '#32770'
    grep -q '剪贴板助手' "$WORK/ctl.txt" && grep -q '没有粘贴' "$WORK/ctl.txt" || fail "message: $(cat "$WORK/ctl.txt")"
    find_window '#32770' '快捷回复条'
    shot_window clipboard_busy_message
    answer_box '快捷回复条' $BOX_OK
    # Without a window manager the closed box stays foreground for a moment.
    wait_for 5 eval 'probe_bar; [ "$(fact foreground)" = E2EChat ]' || fail "the foreground is $(fact foreground), not the chat"
    [ "$(fact h)" = 29 ] || fail "the panel stayed open"
    chat_is '' && [ "$(sends)" = "$before" ] || fail "something was sent with the clipboard held: $(chat_text) / $(sends)"
    wait "$HOLDER" || true
    pick_is 1 '第一行\r\n第二行'
    note "an 8 s hold: nothing pasted or sent, one message naming the holder; freed, the next pick pastes"
}

# Modifiers still held at the click: exactly the reply, nothing left down, no menu opened.
held_modifiers_leave_only_the_reply() {
    need_bar
    for mod in shift ctrl alt; do
        before=$(sends)
        chat_clear
        hover_row 0
        noted=$(picks_noted)
        xdo keydown "$mod"
        xdo click 1
        # Still held while the reply is pasted.
        wait_for 5 chat_is '好的' || fail "with $mod held: $(od -c "$CHAT_LOG.text" | head -3)"
        xdo keyup "$mod"
        wait_for 5 eval '[ "$(sends)" = $((before + 1)) ]' || fail "with $mod held: $(sends) Ctrl+Enter"
        pick_over "$noted"
        rm -f "$WORK/keys.txt"
        probe keystate "$(winpath "$WORK/keys.txt")"
        [ "$(tr '\n' ' ' <"$WORK/keys.txt")" = "shift=0 ctrl=0 alt=0 win=0 " ] || fail "after $mod: $(cat "$WORK/keys.txt")"
        [ "$(fact menu "$CHAT_LOG")" = 0 ] || fail "releasing $mod opened the chat's menu"
    done
    if tail -n 3 "$CHAT_LOG.keys" | grep -q 'shift=1\|alt=1'; then
        fail "a V or Enter arrived with the held key: $(tail -n 3 "$CHAT_LOG.keys")"
    fi
    note "Shift, Ctrl, Alt held: the exact reply, no modifier down after, no menu"
}

# Auto-send follows n.txt even after the editor met a missing data folder.
auto_send_off_survives_a_missing_data_folder() {
    stop_bar
    put_reply n.txt '不要自动发送信息\r\n'
    start_bar
    bx=$(fact x); by=$(fact y)
    # The bar is on screen before it reads its folders: the folder goes only once it has.
    wait_for 10 bar_started || fail "the bar did not finish starting"
    mv "$APPDATA" "$APPDATA.away"
    trap '[ ! -d "$APPDATA.away" ] || mv "$APPDATA.away" "$APPDATA" || true' EXIT
    on_bar $REPLY_BUTTON click 3
    wait_editor
    shot editor_without_data_folder
    [ "$(ctl_field $EDITOR_AUTO_SEND 5)" = '自动发送（发送Ctrl+Enter）' ] || fail "auto-send box: $(ctl $EDITOR_AUTO_SEND)"
    rm -f "$WORK/chk.txt"
    probe checked ReplyBar.ReplyEditor $EDITOR_AUTO_SEND "$(winpath "$WORK/chk.txt")"
    [ "$(fact checked "$WORK/chk.txt")" = 0 ] || fail "the auto-send box shows checked without the folder"
    click_ctl $EDITOR_RETURN
    wait_for 5 window_gone ReplyBar.ReplyEditor '' || fail "the editor did not close"
    mv "$APPDATA.away" "$APPDATA"
    # The bar lists no replies since the editor found none: the notice first, then the editor,
    # which reloads them.
    on_bar $REPLY_BUTTON click 3
    answer_box '提示' $BOX_OK
    wait_editor
    click_ctl $EDITOR_RETURN
    wait_for 5 window_gone ReplyBar.ReplyEditor '' || fail "the editor did not close"
    before=$(sends)
    chat_clear
    noted=$(picks_noted)
    pick_row 0
    wait_for 5 chat_is '好的' || fail "no paste after the folder came back"
    pick_over "$noted"
    [ "$(sends)" = "$before" ] || fail "Ctrl+Enter sent although n.txt is there"
    note "the editor met a missing folder: the box unchecked, and no send key afterwards"
}

# A left press on Show Desktop slid off the bar before the release: nothing written or opened.
press_slid_off_show_desktop_does_nothing() {
    need_bar
    rm -f "$APPDATA/显示桌面.scf" "$OPENED"
    on_bar $SHOW_DESKTOP_BUTTON mousedown 1
    wait_for 5 eval 'probe_bar && [ "$(fact capture)" = ReplyBar.Bar ]' || fail "the press did not reach the bar"
    on_bar 16 -80
    on_bar 200 -120 mouseup 1
    # The bar lets go of the mouse as it takes the release, and a message sent to it is answered
    # once it has done with the release: had it run the button, the command file would be there.
    wait_for 5 eval 'probe_bar && [ -z "$(fact capture)" ]' || fail "the bar kept the mouse after the release"
    probe send 0 0  # WM_NULL
    [ ! -e "$APPDATA/显示桌面.scf" ] && [ ! -s "$OPENED" ] || fail "a click slid off Show Desktop ran it"
    on_bar $SHOW_DESKTOP_BUTTON click 1
    wait_for 10 test -s "$OPENED" || fail "a click on Show Desktop opened nothing"
    note "a press slid off Show Desktop does nothing; a click still runs it"
    close_bar
}

run_scenarios replies_paste_as_typed unchanged_save_pastes_the_same_text clip_stays_out_of_history_and_cloud \
    short_clipboard_hold_still_pastes_once long_clipboard_hold_sends_nothing_and_names_the_holder \
    held_modifiers_leave_only_the_reply auto_send_off_survives_a_missing_data_folder \
    press_slid_off_show_desktop_does_nothing
