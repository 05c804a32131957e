#!/usr/bin/env bash
# The settings dialog: its layout, confirming a folder and a home page (the registry at once,
# the launcher menu rebuilt), every other way out discarding, browsing for a folder, the reply
# editor from the dialog, and exiting with the bar's own values.
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
    # The menu is built off the bar's thread: until it is there, a click shows nothing.
    local tries=0
    until on_bar $LAUNCHER_BUTTON click 1 && wait_for 1 menu_open; do
        tries=$((tries + 1))
        [ $tries -lt 8 ] || fail "the launcher menu did not open"
    done
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
    click_ctl $SETTINGS_SET_HOME_PAGE
    xdo key End shift+Home BackSpace
    [ -z "$1" ] || xdo type --delay 30 "$1"
    sleep 0.3
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
    [ "$((l - cx)),$((t - cy)),$((r - cx)),$((b - cy))" = 428,320,531,343 ] || fail "确定 返回 at $l,$t"
    [ "$(ctl_field $SETTINGS_HOME_PAGE 3)" = 0 ] || fail "the home page is not locked when the dialog opens"
    [ "$(ctl_field $FOLDER_TEXT 5)" = "$OTHER_W" ] || fail "folder shown: $(ctl_field $FOLDER_TEXT 5)"
    shot settings_dialog "541x350+$cx+$cy"  # the client area: no window manager draws a frame
    IFS=, read -r l t r b <<<"$(ctl_field $SETTINGS_WEB_SITE_LINK 4)"
    blue=$(convert "$SHOTS/settings_dialog.png" +repage -crop "$((r - l))x$((b - t))+$((l - cx))+$((t - cy))" \
        -fx 'b > 0.7 && r < 0.35 && g < 0.35' -format '%[fx:mean]' info:)
    awk -v m="$blue" 'BEGIN { exit !(m > 0.02) }' || fail "the web site link is not blue ($blue)"

    order=""
    for _ in 1 2 3 4 5 6 7 8 9 10 11 12; do
        xdo key Tab
        sleep 0.15
        probe_bar
        order+="$(fact focustext)|"
    done
    [ "$order" = "设置|默认|设置|默认||Ctrl+Enter|开机时自动启动快捷回复条|退出本程序|添加快捷回复信息|确定 返回|打开文件夹|$OTHER_W|" ] \
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
    xdo key Down
    sleep 0.5
    xdo key Return
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

run_scenarios dialog_shows_its_layout_and_tab_order confirm_saves_the_folder_and_rebuilds_the_menu \
    home_page_is_stored_escaped close_box_and_esc_discard_changes browsing_gives_a_folder \
    add_replies_opens_the_editor exit_saves_the_bars_values_not_unconfirmed_ones
