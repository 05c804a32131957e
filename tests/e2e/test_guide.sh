#!/usr/bin/env bash
# The user guide's pictures, taken as a user would see them: sample replies with their icons,
# the launch folder in the user's own profile with a few shortcuts. Each picture is checked for
# what it must show; docs/screenshots/ holds copies of them.
. "$(dirname "$0")/lib.sh"

setup() {
    reset_state
    local i=0 reply
    for reply in '你好，在吗？' '好的，收到，马上处理。' '稍等，我查一下再回复您。' \
        '这个问题我明天上午给您答复。' '谢谢！' '不客气，有事随时找我。'; do
        put_reply "$i.txt" "$reply\r\n"
        i=$((i + 1))
    done
    put_reply bmpk.txt '0 1 2 3 4\r\n'  # one code per reply: a digit, or a space for none
    rm -rf "$QUICK_LAUNCH" && mkdir -p "$QUICK_LAUNCH"
    probe mklnk "$(winpath "$QUICK_LAUNCH")\\记事本.lnk" 'C:\windows\notepad.exe'
    probe mklnk "$(winpath "$QUICK_LAUNCH")\\写字板.lnk" 'C:\Program Files\Windows NT\Accessories\wordpad.exe'
    probe mklnk "$(winpath "$QUICK_LAUNCH")\\命令提示符.lnk" 'C:\windows\system32\cmd.exe'
    start_chat 300 120
}

panel_shot() {  # panel_shot NAME: the open panel and the bar, a few pixels around them
    probe_bar
    shot_settled "$1" "$(( $(fact w) + 10 ))x$(( $(fact h) + 10 ))+$(( $(fact x) - 5 ))+$(( $(fact y) - 5 ))"
}

reply_panel_with_its_highlight() {
    need_bar
    open_panel
    hover_row 1
    hover $((bx + 10)) "$(row_y 1)"  # onto the row's icon: the band stays, no tip
    panel_shot guide_reply_panel
    xdo mousemove 1000 100
    wait_for 5 eval 'probe_bar; [ "$(fact h)" = 29 ]' || fail "the panel did not close"
}

keyboard_mode_with_its_keys() {
    need_bar
    xdo mousemove 400 200  # X gives the keys to the window under the pointer: the chat
    press_hotkey
    panel_shot guide_keyboard_mode
    xdo key Escape
    wait_for 5 eval 'probe_bar; [ "$(fact h)" = 29 ]' || fail "Esc did not close the panel"
}

launcher_menu_of_the_users_shortcuts() {
    need_bar
    open_launcher || fail "the launcher menu did not open"
    shot_settled guide_launcher_menu "$(( $(fact w "$WORK/menu.txt") + 110 ))x$(( $(fact h "$WORK/menu.txt") + 40 ))+$((bx - 5))+$(( $(fact y "$WORK/menu.txt") - 5 ))"
    xdo mousemove 1000 100
    wait_for 5 menu_closed || fail "the launcher menu did not close"
}

settings_dialog_in_the_users_profile() {
    need_bar
    on_bar $SHOW_DESKTOP_BUTTON click 3
    wait_for 10 window_up ReplyBar.Settings '' || fail "the settings dialog did not open"
    controls_of ReplyBar.Settings
    [ "$(ctl_field $FOLDER_TEXT 5)" = "$QUICK_LAUNCH_W" ] || fail "folder shown: $(ctl_field $FOLDER_TEXT 5)"
    IFS=, read -r cx cy <<<"$(fact client "$WORK/ctl.txt")"
    shot guide_settings_dialog "541x513+$cx+$cy"
    xdo mousemove $((cx + 270)) $((cy + 60)) key Escape
    wait_for 10 window_gone ReplyBar.Settings '' || fail "Esc did not close the dialog"
}

setup
run_scenarios reply_panel_with_its_highlight keyboard_mode_with_its_keys \
    launcher_menu_of_the_users_shortcuts settings_dialog_in_the_users_profile
