#!/usr/bin/env bash
# The settings dialog: its layout, confirming a folder and a home page (the registry at once,
# the launcher menu rebuilt), every other way out discarding, browsing for a folder, the reply
# editor from the dialog, exiting with the bar's own values, and the start box beside a logon
# entry that starts another copy or that Task Manager holds back, and the team library's location.
. "$(dirname "$0")/lib.sh"
reset_state
rm -rf "$QUICK_LAUNCH" && mkdir -p "$QUICK_LAUNCH" "$WORK/other"
printf 'a' >"$QUICK_LAUNCH/a.txt"
printf 'b' >"$QUICK_LAUNCH/b.txt"
printf 'c' >"$WORK/other/c.txt"
OTHER_W="$(winpath "$WORK/other")\\"
reg_set "2385,11565,${OTHER_W},about:blank"
start_chat 300 120

menu_rows() {  # the launcher menu's item count, from its height
    open_launcher || fail "the launcher menu did not open"
    echo $(( ($(fact h "$WORK/menu.txt") - 6) / 19 ))
    xdo mousemove $((bx + 300)) $((by - 300))
    wait_for 4 menu_closed || fail "the launcher menu did not close"
}
open_settings() {
    on_bar $DRAG_STRIP click 3
    wait_for 10 window_up ReplyBar.Settings '' || fail "the settings dialog did not open"
    dx=$(fact x "$WORK/win.txt"); dy=$(fact y "$WORK/win.txt")
    xdo mousemove $((dx + 270)) $((dy + 60))  # keys go to the window under the pointer
    controls_of ReplyBar.Settings
}
dialog_gone() { wait_for 10 window_gone ReplyBar.Settings '' || fail "the dialog did not close: $1"; }
value() { reg_get; fact value "$WORK/reg.txt"; }
type_home() {  # "设置" unlocks the home page; its text is replaced by $1
    local want=$1
    click_ctl $SETTINGS_SET_HOME_PAGE
    xdo key End shift+Home BackSpace
    [ -z "$want" ] || xdo type --delay 30 "$want"
    wait_for 5 eval 'controls_of ReplyBar.Settings && [ "$(ctl_field $SETTINGS_HOME_PAGE 5)" = "$want" ]' ||
        fail "the home page holds '$(ctl_field $SETTINGS_HOME_PAGE 5)', not '$want'"
}

# The layout: caption, frame texts, the buttons where they belong; links in blue. Tab goes top
# to bottom (the hotkey field shows no text), round to the top; the locked home page is skipped.
dialog_shows_its_layout_and_tab_order() {
    need_bar
    open_settings
    probe find ReplyBar.Settings ' 软件信息 及 设置' "$(winpath "$WORK/title.txt")"
    [ "$(fact found "$WORK/title.txt")" = 1 ] || fail "the dialog's caption is not ' 软件信息 及 设置'"
    [ "$(ctl_field $SETTINGS_FOLDER_FRAME 5)" = '设置快速启动栏的文件夹地址                 ' ] \
        || fail "folder frame: '$(ctl_field $SETTINGS_FOLDER_FRAME 5)'"
    IFS=, read -r cx cy <<<"$(sed -n 's/^client=//p' "$WORK/ctl.txt")"
    IFS=, read -r l t r b <<<"$(ctl_field $SETTINGS_CONFIRM 4)"
    [ "$((l - cx)),$((t - cy)),$((r - cx)),$((b - cy))" = 428,483,531,506 ] || fail "确定 返回 at $l,$t"
    [ "$(ctl_field $SETTINGS_HOME_PAGE 3)" = 0 ] || fail "the home page is not locked when the dialog opens"
    [ "$(ctl_field $FOLDER_TEXT 5)" = "$OTHER_W" ] || fail "folder shown: $(ctl_field $FOLDER_TEXT 5)"
    shot settings_dialog "541x513+$cx+$cy"  # the client area: no window manager draws a frame
    IFS=, read -r l t r b <<<"$(ctl_field $SETTINGS_WEB_SITE_LINK 4)"
    blue=$(convert "$SHOTS/settings_dialog.png" +repage -crop "$((r - l))x$((b - t))+$((l - cx))+$((t - cy))" \
        -fx 'b > 0.7 && r < 0.35 && g < 0.35' -format '%[fx:mean]' info:)
    awk -v m="$blue" 'BEGIN { exit !(m > 0.02) }' || fail "the web site link is not blue ($blue)"

    order=""
    local focused=""
    probe_bar
    for _ in $(seq 15); do
        focused="$(fact focus)|$(fact focustext)|$(fact focusid)"
        xdo key Tab
        wait_for 3 eval 'probe_bar && [ "$(fact focus)|$(fact focustext)|$(fact focusid)" != "$focused" ]' || true
        order+="$(fact focustext)|"
    done
    [ "$order" = "设置|默认|设置|默认||Ctrl+Enter|开机时自动启动快捷回复条|||选择…|退出本程序|添加快捷回复信息|确定 返回|打开文件夹|$OTHER_W|" ] \
        || fail "tab order: $order"
    xdo mousemove $((dx + 270)) $((dy + 60)) key Escape
    dialog_gone "Esc"
}

# "默认" puts Quick Launch in; "确定 返回" saves at once and the menu is rebuilt from it.
confirm_saves_the_folder_and_rebuilds_the_menu() {
    need_bar
    [ "$(menu_rows)" = 1 ] || fail "the menu does not list the saved folder"
    open_settings
    click_ctl $SETTINGS_DEFAULT_FOLDER
    click_ctl $SETTINGS_CONFIRM
    dialog_gone "确定 返回"
    case "$(value)" in "2385,11565,${QUICK_LAUNCH_W},about:blank") ;; *) fail "saved: $(value)" ;; esac
    wait_for 5 eval '[ "$(menu_rows)" = 2 ]' || fail "the launcher menu was not rebuilt from Quick Launch"
    note "默认 + 确定 返回 saved ${QUICK_LAUNCH_W} at once; the menu now lists its two files"
}

# An empty home page is stored as about:blank (Enter confirms), one with a comma with it escaped.
home_page_is_stored_escaped() {
    stop_bar
    reg_set "2385,11565,${QUICK_LAUNCH_W},https://news.example.org/"
    start_bar
    bx=$(fact x); by=$(fact y)
    open_settings
    type_home ''
    xdo key Return
    dialog_gone "Enter"
    [ "$(value)" = "2385,11565,${QUICK_LAUNCH_W},about:blank" ] || fail "empty home page saved as: $(value)"
    open_settings
    type_home 'http://a.example/?x,y'
    click_ctl $SETTINGS_CONFIRM
    dialog_gone "确定 返回"
    [ "$(value)" = "2385,11565,${QUICK_LAUNCH_W},http://a.example/?x%2Cy" ] \
        || fail "home page with a comma saved as: $(value)"
    note "an empty home page became about:blank, one with a comma kept as %2C"
}

# The close box and Esc discard what was typed.
close_box_and_esc_discard_changes() {
    need_bar
    saved=$(value)
    open_settings
    type_home 'https://discarded.example/'
    probe sysclose ReplyBar.Settings
    dialog_gone "the close box"
    open_settings
    [ "$(ctl_field $SETTINGS_HOME_PAGE 5)" = "${saved##*,}" ] || fail "the close box kept a change"
    type_home 'https://discarded.example/'
    xdo key Escape
    dialog_gone "Esc"
    [ "$(value)" = "$saved" ] || fail "a discarded change was saved: $(value)"
    note "the close box and Esc discarded the typed home page"
}

# Browsing returns a folder with a trailing backslash.
browsing_gives_a_folder() {
    need_bar
    open_settings
    before=$(ctl_field $FOLDER_TEXT 5)
    click_ctl $FOLDER_BROWSE
    wait_for 10 window_up '#32770' '' || fail "no folder dialog"
    xdo mousemove $(( $(fact x "$WORK/win.txt") + 100 )) $(( $(fact y "$WORK/win.txt") + 100 ))
    shot_window folder_dialog
    xdo key Down Return  # the keys are taken in turn: the folder below, then OK
    wait_for 10 window_gone '#32770' '' || fail "the folder dialog did not close"
    controls_of ReplyBar.Settings
    chosen=$(ctl_field $FOLDER_TEXT 5)
    [ "$chosen" != "$before" ] && [ "${chosen: -1}" = '\' ] || fail "browsing gave '$chosen'"
    note "browsing gave $chosen"
    xdo mousemove $((dx + 270)) $((dy + 60)) key Escape
    dialog_gone "Esc after browsing"
}

# "添加快捷回复信息" closes the dialog and opens the reply editor.
add_replies_opens_the_editor() {
    need_bar
    open_settings
    click_ctl $SETTINGS_ADD_REPLIES
    dialog_gone "添加快捷回复信息"
    wait_for 10 window_up ReplyBar.ReplyEditor '' || fail "the reply editor did not open"
    xdo mousemove $(( $(fact x "$WORK/win.txt") + 100 )) $(( $(fact y "$WORK/win.txt") + 60 )) key Escape
    wait_for 10 window_gone ReplyBar.ReplyEditor '' || fail "the reply editor did not close"
    note "添加快捷回复信息 opened the reply editor"
}

# "退出本程序" ends the program with the bar's values, not the unconfirmed ones.
exit_saves_the_bars_values_not_unconfirmed_ones() {
    need_bar
    saved=$(value)
    open_settings
    click_ctl $SETTINGS_DEFAULT_FOLDER
    type_home 'https://unconfirmed.example/'
    click_ctl $SETTINGS_EXIT
    wait_for 15 bar_gone || fail "退出本程序 did not end the program"
    [ "$(value)" = "$saved" ] || fail "退出本程序 saved unconfirmed changes: $(value)"
    note "退出本程序 saved $saved"
}

RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
APPROVED_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
reg_value() {  # reg_value KEY NAME: the value's data as reg.exe prints it, or nothing
    LC_ALL=C wine reg query "$1" /v "$2" </dev/null 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
start_box() { sed -n "s/^check$SETTINGS_START_WITH_WINDOWS=//p" "$WORK/ctl.txt"; }
start_note() { ctl_field $SETTINGS_START_NOTE 5; }

# A Run value that starts another copy (still on disk, so start-up leaves it) shows the box
# unticked with a note naming that copy; ticking and confirming points the value here. Disabled
# in Task Manager, the box is unticked and says so, and Task Manager's switch stays as it was.
autostart_box_with_another_copys_run_value() {
    need_bar
    mkdir -p "$WINEPREFIX/drive_c/old" && : >"$WINEPREFIX/drive_c/old/ReplyBar.exe"
    LC_ALL=C wine reg add "$RUN_KEY" /v ReplyBar /d '"C:\old\ReplyBar.exe"' /f >/dev/null 2>&1 </dev/null
    open_settings
    IFS=, read -r cx cy <<<"$(sed -n 's/^client=//p' "$WORK/ctl.txt")"
    shot settings_start_another_copy "541x350+$cx+$cy"
    [ "$(start_box)" = 0 ] || fail "the start box is ticked while the Run value starts C:\old\ReplyBar.exe"
    [ "$(start_note)" = '（开机时启动的是另一个副本：C:\old\ReplyBar.exe）' ] || fail "the note says '$(start_note)'"
    click_ctl $SETTINGS_START_WITH_WINDOWS
    click_ctl $SETTINGS_CONFIRM
    dialog_gone "确定 返回"
    local run want
    run=$(reg_value "$RUN_KEY" ReplyBar)
    want="\"$(winpath "$BIN/ReplyBar.exe")\""
    [ "${run,,}" = "${want,,}" ] || fail "ticking stored the Run value '$run', not '$want'"
    note "another copy's value: unticked with its path beside; ticking stored $run"

    LC_ALL=C wine reg add "$APPROVED_KEY" /v ReplyBar /t REG_BINARY /d 030000000000000000000000 /f \
        >/dev/null 2>&1 </dev/null
    open_settings
    shot settings_start_disabled "541x350+$cx+$cy"
    [ "$(start_box)" = 0 ] || fail "the start box is ticked while Task Manager disables the entry"
    [ "$(start_note)" = '（已在任务管理器中禁用）' ] || fail "the note says '$(start_note)'"
    xdo key Escape
    dialog_gone "Esc"
    [ "$(reg_value "$APPROVED_KEY" ReplyBar)" = 030000000000000000000000 ] \
        || fail "Task Manager's switch became '$(reg_value "$APPROVED_KEY" ReplyBar)'"
    [ "$(reg_value "$RUN_KEY" ReplyBar)" = "$run" ] || fail "Esc changed the Run value"
    note "disabled in Task Manager: unticked and said so, its switch left as it was"
    LC_ALL=C wine reg delete "$APPROVED_KEY" /v ReplyBar /f >/dev/null 2>&1 </dev/null || true
    LC_ALL=C wine reg delete "$RUN_KEY" /v ReplyBar /f >/dev/null 2>&1 </dev/null || true
}

SETTINGS_KEY='HKCU\Software\DAZ\Registry'
type_team() {  # the team library's text replaced by $1
    click_ctl $SETTINGS_TEAM_LIBRARY
    xdo key End shift+Home BackSpace
    xdo type --delay 30 "$1"
}

# A location that depends on the current folder is refused with a message and nothing lost; a
# share pasted with Explorer's quotes is stored without them at "确定 返回" and shown again, with
# the bar's status, after a restart.
team_library_refused_stored_and_shown() {
    need_bar
    open_settings
    type_team 'team.csv'
    click_ctl $SETTINGS_CONFIRM
    wait_for 10 find_window '#32770' 快捷回复条 || fail "no message for a relative path"
    probe controls '#32770' "$(winpath "$WORK/box.txt")"
    grep -qF '“team.csv”不是完整的位置' "$WORK/box.txt" || fail "the message: $(cat "$WORK/box.txt")"
    answer_box 快捷回复条 $BOX_OK
    controls_of ReplyBar.Settings
    [ "$(ctl_field $SETTINGS_TEAM_LIBRARY 5)" = team.csv ] || fail "refused: $(ctl $SETTINGS_TEAM_LIBRARY)"

    type_team '"\\fs01\kefu\team.csv" '
    click_ctl $SETTINGS_CONFIRM
    dialog_gone "确定 返回"
    [ "$(reg_value "$SETTINGS_KEY" TeamLibrary)" = '\\fs01\kefu\team.csv' ] \
        || fail "stored '$(reg_value "$SETTINGS_KEY" TeamLibrary)'"
    stop_bar
    need_bar
    open_settings
    [ "$(ctl_field $SETTINGS_TEAM_LIBRARY 5)" = '\\fs01\kefu\team.csv' ] || fail "reopened: $(ctl $SETTINGS_TEAM_LIBRARY)"
    # No such share here: the status says the bar is reading it, or why it cannot.
    case "$(ctl_field $SETTINGS_TEAM_STATUS 5)" in 正在读取… | 无法读取*) ;;
        *) fail "no status: $(ctl $SETTINGS_TEAM_STATUS)" ;; esac
    IFS=, read -r cx cy <<<"$(sed -n 's/^client=//p' "$WORK/ctl.txt")"
    shot settings_team_library "541x513+$cx+$cy"
    xdo key Escape
    dialog_gone "Esc"
}

# "选择…" opens the system's file dialog; the file chosen there lands in the field.
team_library_file_chosen() {
    need_bar
    : >"$WORK/team.csv"
    open_settings
    click_ctl $SETTINGS_CHOOSE_TEAM_LIBRARY
    wait_for 10 window_up '#32770' '' || fail "no file dialog"
    xdo mousemove $(( $(fact x "$WORK/win.txt") + 100 )) $(( $(fact y "$WORK/win.txt") + 60 ))
    shot_window team_library_file_dialog
    xdo type --delay 30 "$(winpath "$WORK")\team.csv"
    xdo key Return
    wait_for 10 window_gone '#32770' '' || fail "the file dialog did not close"
    controls_of ReplyBar.Settings
    [ "$(ctl_field $SETTINGS_TEAM_LIBRARY 5)" = "$(winpath "$WORK")\team.csv" ] || fail "chosen: $(ctl $SETTINGS_TEAM_LIBRARY)"
    xdo mousemove $((dx + 270)) $((dy + 60)) key Escape
    dialog_gone "Esc after choosing"
}

run_scenarios dialog_shows_its_layout_and_tab_order confirm_saves_the_folder_and_rebuilds_the_menu \
    home_page_is_stored_escaped close_box_and_esc_discard_changes browsing_gives_a_folder \
    add_replies_opens_the_editor autostart_box_with_another_copys_run_value \
    team_library_refused_stored_and_shown team_library_file_chosen \
    exit_saves_the_bars_values_not_unconfirmed_ones
