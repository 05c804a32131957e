#!/usr/bin/env bash
# The reply editor driven as a person would: adding with icons, changing, deleting, auto-send,
# and exiting the program from it.
. "$(dirname "$0")/lib.sh"
reset_state
start_chat 300 120
texts=('第一条：你好' '第二条：马上到' '第三条：收到，谢谢' '第四条：再见')

file_holds() {  # file_holds NAME TEXT: the store's file holds TEXT in GBK and CR LF
    [ "$(od -An -tx1 "$APPDATA/$1" 2>/dev/null)" = "$(gbk "$2\r\n" | od -An -tx1)" ]
}
# The dialog writes on its own thread's time: give it a moment before judging.
file_is() { wait_for 5 file_holds "$@" || fail "$1 holds $(od -c "$APPDATA/$1" | head -3)"; }
# have_replies CODES TEXT...: the bar up with exactly these replies and icon codes. A scenario
# before left them so when it passed; otherwise they are written here and the bar restarted.
have_replies() {
    local codes=$1 i=0 text
    shift
    local same=1
    [ "$(find "$APPDATA" -maxdepth 1 -name '[0-9]*.txt' | wc -l)" = $# ] && file_holds bmpk.txt "$codes" || same=0
    for text in "$@"; do file_holds "$i.txt" "$text" || same=0; i=$((i + 1)); done
    if [ $same = 0 ]; then
        stop_bar
        rm -f "$APPDATA"/[0-9]*.txt
        i=0
        for text in "$@"; do gbk "$text\r\n" >"$APPDATA/$i.txt"; i=$((i + 1)); done
        gbk "$codes\r\n" >"$APPDATA/bmpk.txt"
        note "(the replies written directly: the scenario that makes them did not)"
    fi
    need_bar
}
# The text box's text as the probe tells it (CR as "^", LF as "~"), cut into what one key
# typed: a character, or a line break "^~".
box_text() { editor_controls && ctl_field $EDITOR_TEXT 5; }
units_of() {  # units_of TEXT: into UNITS
    local LC_ALL=C.UTF-8
    local s=$1 i
    UNITS=()
    for ((i = 0; i < ${#s}; i++)); do
        if [ "${s:i:2}" = '^~' ]; then UNITS+=('^~'); i=$((i + 1)); else UNITS+=("${s:i:1}"); fi
    done
}
# Replaces the text box's content. xdotool maps a character the keyboard lacks to a spare key
# for its press and takes the key back --delay / 2 after it; a busy Wine that reads the key later
# loses the character. So once the box stops changing short of the text, it is taken back to
# where it first differs and typed on a character at a time, each given half a second and seen
# in the box before the next.
type_text() {
    local LC_ALL=C.UTF-8
    local text=${1//$'\n'/^~} want got prev k n same tries=0
    units_of "$text"
    local units=("${UNITS[@]}")
    want=$(printf '%s' "${units[@]}")
    click_ctl $EDITOR_TEXT
    xdo key ctrl+a
    xdo type --delay 100 "$1"
    got=$(box_text)
    until [ "$got" = "$want" ]; do
        # Short of the text: it has stopped changing once it reads the same three times running.
        same=0
        while [ $same -lt 2 ] && [ "$got" != "$want" ]; do
            prev=$got
            got=$(box_text)
            if [ "$got" = "$prev" ]; then same=$((same + 1)); else same=0; fi
        done
        [ "$got" != "$want" ] || break
        tries=$((tries + 1))
        [ $tries -le $((2 * ${#units[@]} + 3)) ] || fail "the text box holds '$got' instead of '$want'"
        units_of "$got"
        for ((k = 0; k < ${#UNITS[@]} && k < ${#units[@]}; k++)); do
            [ "${UNITS[k]}" = "${units[k]}" ] || break
        done
        n=$(( ${#UNITS[@]} - k ))
        xdo key ctrl+End  # no selection left: each BackSpace takes one
        [ $n = 0 ] || xdo key --repeat "$n" BackSpace
        if [ $k -lt ${#units[@]} ]; then
            if [ "${units[k]}" = '^~' ]; then xdo key Return; else xdo type --delay 1000 "${units[k]}"; fi
        fi
        got=$(box_text)
    done
}
strip_shown() { editor_controls && grep -q '=ReplyBar.IconStrip|1|' "$WORK/ctl.txt"; }
pick_icon() {  # pick_icon I [SHOT]: "选择图标", then icon I of the strip, which closes
    click_ctl $EDITOR_CHOOSE_ICON
    wait_for 5 strip_shown || fail "选择图标 showed no icons"
    IFS=, read -r cx cy <<<"$(fact client "$WORK/ctl.txt")"
    xdo mousemove $((cx + 194 + 4 + 23 * ($1 % 5) + 8)) $((cy + 23 + ($1 < 5 ? 4 : 26) + 8))
    [ -n "${2:-}" ] && shot_settled "$2" "670x200+$((cx - 10))+$((cy - 10))"
    xdo click 1
    wait_for 5 eval '! strip_shown' || fail "the icon strip stayed open after icon $1"
}
esc_closes_the_editor() {  # Esc is 返回
    click_ctl $EDITOR_TEXT
    xdo key Escape
    wait_for 5 eval '! editor_up' || fail "the editor did not close"
}
editor_shot() {  # editor_shot NAME: the editor's client area and a margin
    IFS=, read -r cx cy <<<"$(fact client "$WORK/ctl.txt")"
    shot "$1" "670x200+$((cx - 10))+$((cy - 10))"
}

# No replies: the notice, then the editor in adding state; four replies added with icons.
adding_replies_to_an_empty_list() {
    need_bar
    on_bar $REPLY_BUTTON click 1
    answer_box '提示' $BOX_OK
    wait_editor
    [ "$(ctl_field $EDITOR_CANCEL_ADD 2)" = 1 ] && [ "$(ctl_field $EDITOR_ADD 2)" = 0 ] \
        || fail "not in adding state: $(ctl $EDITOR_CANCEL_ADD)"
    [ "$(ctl_field $EDITOR_DELETE 3)" = 0 ] || fail "删除 is enabled with no replies"
    [ "$(editor_list)" = "1|0" ] || fail "list: $(editor_list)"
    editor_shot editor_adding
    note "no replies: the editor opens in adding state"

    for i in 0 1 2 3; do
        [ $i = 0 ] || { click_ctl $EDITOR_ADD; editor_controls; }
        if [ $i = 1 ]; then pick_icon 1 editor_icon_strip; else pick_icon $i; fi
        type_text "${texts[$i]}"
        click_ctl $EDITOR_CONFIRM
        wait_for 5 test -f "$APPDATA/$i.txt" || fail "reply $((i + 1)) was not written"
    done
    file_is 1.txt "${texts[1]}"
    file_is bmpk.txt 0123
    note "four replies added with icons 0 to 3: bmpk.txt = 0123"
    esc_closes_the_editor
}

# The panel shows them at once; a pick pastes the edited text (no final line break).
panel_shows_new_replies_at_once() {
    have_replies 0123 "${texts[@]}"
    chat_clear
    on_bar $REPLY_BUTTON click 1
    wait_for 5 eval 'probe_bar; [ "$(fact h)" != 29 ]' || fail "the panel did not open"
    py=$(fact y)
    shot editor_panel_after_adding "400x110+$((bx - 5))+$((py - 5))"
    xdo mousemove $((bx + 60)) $((py + 23 + 6)) click 1
    wait_for 5 eval '[ "$(chat_text)" = "${texts[1]}" ]' || fail "row 1 pasted '$(chat_text)'"
    note "the panel shows the new replies; row 2 pastes its text"
}

# A right click on a row closes the panel and opens the editor on that reply.
right_click_on_a_row_edits_that_reply() {
    have_replies 0123 "${texts[@]}"
    on_bar $REPLY_BUTTON click 1
    wait_for 5 eval 'probe_bar; [ "$(fact h)" != 29 ]' || fail "the panel did not open"
    xdo mousemove $((bx + 60)) $(( $(fact y) + 42 + 6 )) click 3
    wait_editor
    [ "$(editor_list)" = "4|2" ] || fail "right click on row 3 opened $(editor_list)"
    [ "$(ctl_field $EDITOR_TEXT 5)" = "${texts[2]}" ] || fail "the editor shows '$(ctl_field $EDITOR_TEXT 5)'"
    probe_bar
    [ "$(fact h)" = 29 ] || fail "the panel stayed open"
    esc_closes_the_editor
    note "a right click on row 3 opens the editor on reply 3"
}

# A right click on the reply button opens the editor on reply 1; a change of text alone saves
# it, and so does typing after an icon pick, without the icon.
changing_a_reply_saves_its_text() {
    have_replies 0123 "${texts[@]}"
    open_editor
    [ "$(ctl_field $EDITOR_TEXT 5)" = "${texts[0]}" ] || fail "the editor opened on '$(ctl_field $EDITOR_TEXT 5)'"
    [ "$(editor_list)" = "4|0" ] || fail "list is not on reply 1"
    editor_shot editor_modifying
    type_text "$(printf '第一条：改过了\n第二行')"  # Enter: a line break, not a button
    click_ctl $EDITOR_CONFIRM
    file_is 0.txt "$(printf '第一条：改过了\r\n第二行')"
    editor_controls  # answered once the editor is done with the save
    file_is bmpk.txt 0123
    pick_icon 7
    type_text '第一条：图标后再打字'
    click_ctl $EDITOR_CONFIRM
    file_is 0.txt '第一条：图标后再打字'
    editor_controls
    file_is bmpk.txt 0123
    note "text changes alone; an icon pick followed by typing saves only the text"
    esc_closes_the_editor
}

# Delete reply 2 of 4.
deleting_a_reply_renumbers_the_rest() {
    have_replies 0123 '第一条：图标后再打字' "${texts[1]}" "${texts[2]}" "${texts[3]}"
    open_editor
    click_ctl $EDITOR_LIST
    xdo key Down Return
    wait_for 5 eval 'editor_controls && [ "$(ctl_field $EDITOR_TEXT 5)" = "${texts[1]}" ]' ||
        fail "reply 2 not shown: $(ctl_field $EDITOR_TEXT 5)"
    click_ctl $EDITOR_DELETE
    answer_box '删除确认' $BOX_YES
    wait_for 5 eval '[ ! -f "$APPDATA/3.txt" ]' || fail "3.txt still there"
    file_is 1.txt "${texts[2]}"
    file_is 2.txt "${texts[3]}"
    file_is bmpk.txt 023
    editor_controls
    [ "$(editor_list)" = "3|1" ] || fail "list after deleting: $(editor_list)"
    [ "$(ctl_field $EDITOR_TEXT 5)" = "${texts[2]}" ] || fail "the former reply 3 is not shown as 2"
    note "deleting reply 2 of 4 renumbers the files, codes 0123 -> 023"
    esc_closes_the_editor
}

# Auto-send off: the marker file, and the next pick sends no Ctrl+Enter.
auto_send_off_writes_n_txt() {
    have_replies 023 '第一条：图标后再打字' "${texts[2]}" "${texts[3]}"
    open_editor
    click_ctl $EDITOR_AUTO_SEND
    wait_for 5 test -f "$APPDATA/n.txt" || fail "n.txt was not written"
    [ "$(od -An -tx1 "$APPDATA/n.txt")" = "$(gbk '不要自动发送信息\r\n' | od -An -tx1)" ] || fail "n.txt content"
    click_ctl $EDITOR_RETURN
    wait_for 5 eval '! editor_up' || fail "the editor did not close"
    sent=$(fact ctrl_enter "$CHAT_LOG")
    noted=$(picks_noted)
    on_bar $REPLY_BUTTON click 1
    wait_for 5 eval 'probe_bar; [ "$(fact h)" != 29 ]' || fail "the panel did not open"
    py=$(fact y)
    xdo mousemove $((bx + 60)) $((py + 2 + 6)) click 1
    wait_for 5 eval 'chat_text | grep -q 图标后再打字' || fail "row 0 was not pasted"
    pick_over "$noted"
    [ "$(fact ctrl_enter "$CHAT_LOG")" = "$sent" ] || fail "Ctrl+Enter sent with auto-send off"
    note "auto-send off: n.txt written, no Ctrl+Enter"
}

# choose_file PATH: PATH typed into the open or save dialog that comes up, and a notice after it.
choose_file() {
    wait_for 10 window_up '#32770' '' || fail "no file dialog came up"
    shot_window "editor_file_dialog"
    wait_for 5 probe filename "$(winpath "$1")" || fail "no name box in the file dialog"
    answer_box '提示' $BOX_OK
}

# Exported, the data folder emptied, imported: the same replies in the same order, same icons.
export_then_import_into_an_empty_folder() {
    local mine=('第一条：你好' '第二条：两行\r\n第二行' '第三条,带逗号和"引号"') i
    stop_bar
    reset_state
    for i in 0 1 2; do put_reply $i.txt "${mine[$i]}\r\n"; done
    put_reply bmpk.txt '5 9\r\n'
    need_bar
    open_editor
    click_ctl $EDITOR_EXPORT
    choose_file "$WORK/mine.csv"
    close_editor
    stop_bar
    reset_state
    need_bar
    on_bar $REPLY_BUTTON click 3  # no replies: a notice, then the editor in adding state
    answer_box '提示' $BOX_OK
    wait_editor
    click_ctl $EDITOR_IMPORT
    choose_file "$WORK/mine.csv"
    for i in 0 1 2; do file_is $i.txt "${mine[$i]}"; done
    file_is bmpk.txt '5 9'
    close_editor
    note "exported, the data folder emptied, imported: 0.txt to 2.txt and bmpk.txt came back"
}

# Replies that Excel would open as formulas, exported, opened in Excel and saved again as
# "Unicode 文本" (Excel keeps a cell that begins with an apostrophe as text and saves it so),
# then imported into an empty folder: each comes back as it was.
replies_excel_would_compute_survive_export_excel_and_import() {
    local mine=('=SUM(A1:A3) 不是公式' '-送运费险' '+86 400 800 1234' '@客服小王 请跟进') i
    stop_bar
    reset_state
    for i in 0 1 2 3; do put_reply $i.txt "${mine[$i]}\r\n"; done
    need_bar
    open_editor
    click_ctl $EDITOR_EXPORT
    choose_file "$WORK/formulas.csv"
    close_editor
    python3 - "$WORK/formulas.csv" "$WORK/formulas.txt" <<'EXCEL' || fail "the export is open to Excel's formulas"
import csv, sys
rows = list(csv.reader(open(sys.argv[1], encoding="utf-8-sig", newline="")))
if any(cell[:1] in "=+-@" and cell for row in rows for cell in row):
    sys.exit(1)
with open(sys.argv[2], "w", encoding="utf-16", newline="") as f:  # Excel's "Unicode 文本"
    csv.writer(f, dialect="excel-tab").writerows(rows)
EXCEL
    stop_bar
    reset_state
    need_bar
    on_bar $REPLY_BUTTON click 3  # no replies: a notice, then the editor in adding state
    answer_box '提示' $BOX_OK
    wait_editor
    click_ctl $EDITOR_IMPORT
    choose_file "$WORK/formulas.txt"
    for i in 0 1 2 3; do file_is $i.txt "${mine[$i]}"; done
    close_editor
    note "=, -, + and @ replies: exported, saved by Excel as Unicode text, imported unchanged"
}

# "退出本程序" ends the program and saves the settings string.
exit_from_the_editor_saves_the_settings() {
    need_bar
    open_editor
    click_ctl $EDITOR_EXIT
    wait_for 10 bar_gone || fail "the program did not end"
    reg_get
    case "$(fact value "$WORK/reg.txt")" in
    "$((bx * 15)),$((by * 15)),"*) ;;
    *) fail "String3 not saved: $(fact value "$WORK/reg.txt")" ;;
    esac
    note "退出本程序 saved String3 and ended the program"
}

run_scenarios adding_replies_to_an_empty_list panel_shows_new_replies_at_once \
    right_click_on_a_row_edits_that_reply changing_a_reply_saves_its_text \
    deleting_a_reply_renumbers_the_rest auto_send_off_writes_n_txt \
    export_then_import_into_an_empty_folder \
    replies_excel_would_compute_survive_export_excel_and_import \
    exit_from_the_editor_saves_the_settings
