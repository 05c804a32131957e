#!/usr/bin/env bash
# The bar closed by Windows or another program while one of its dialogs is open: the dialog
# ends, the settings are saved, and the process exits cleanly.
. "$(dirname "$0")/lib.sh"
reset_state
put_reply 0.txt '好的\r\n'
start_chat 300 120

open_settings() {
    on_bar $DRAG_STRIP click 3
    wait_for 10 window_up ReplyBar.Settings '' || fail "the settings dialog did not open"
}
# A bar of its own, started from no saved settings: `closed_by` waits for its exit code.
fresh_bar() {
    stop_bar
    probe regdel
    start_bar
    bx=$(fact x); by=$(fact y)
}
# closed_by WHAT: the bar leaves within 15 s with exit code 0 and its place saved.
closed_by() {
    wait_for 15 bar_gone || fail "$1: the bar did not close"
    local code=0
    wait "$BAR_PID" || code=$?
    BAR_PID=""
    [ "$code" = 0 ] || fail "$1: the bar exited with $code"
    reg_get
    [ "$(fact value "$WORK/reg.txt" | cut -d, -f1,2)" = "$((bx * 15)),$((by * 15))" ] \
        || fail "$1: the settings hold '$(fact value "$WORK/reg.txt")'"
    wait_for 5 window_gone '#32770' '' || fail "$1: a message box is left"
}

wm_close_under_the_editor_saves_and_exits() {
    fresh_bar
    open_editor
    probe close
    closed_by "WM_CLOSE under the editor"
    note "WM_CLOSE with the editor open: the editor ended, the settings saved, exit code 0"
}

wm_close_under_the_settings_saves_and_exits() {
    fresh_bar
    open_settings
    probe close
    closed_by "WM_CLOSE under the settings dialog"
    note "WM_CLOSE with the settings dialog open: ended, saved, exit code 0"
}

session_end_under_the_settings_saves_and_exits() {
    fresh_bar
    open_settings
    probe send 0x11 0              # WM_QUERYENDSESSION
    probe send 0x16 1              # WM_ENDSESSION, the session ends
    closed_by "the end of the session under the settings dialog"
    note "the session ended with the settings dialog open: saved, exit code 0"
}

restart_manager_under_the_editor_saves_and_exits() {
    fresh_bar
    open_editor
    probe send 0x11 0 1            # ENDSESSION_CLOSEAPP: the restart manager
    probe send 0x16 1 1
    closed_by "the restart manager under the editor"
    note "the restart manager closed the bar with the editor open: saved, exit code 0"
}

run_scenarios wm_close_under_the_editor_saves_and_exits wm_close_under_the_settings_saves_and_exits \
    session_end_under_the_settings_saves_and_exits restart_manager_under_the_editor_saves_and_exits
