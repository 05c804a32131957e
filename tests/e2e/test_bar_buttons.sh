#!/usr/bin/env bash
# The Show Desktop and home page buttons, their pictures, and the right click that opens the
# settings dialog from every button and the drag strip.
. "$(dirname "$0")/lib.sh"
reset_state
rm -rf "$QUICK_LAUNCH" "$APPDATA/显示桌面.scf"
mkdir -p "$QUICK_LAUNCH" "$WORK/targets"
printf 'x' >"$WORK/targets/desktop.txt"
log_shell_opens scffile txtfile
w reg add 'HKLM\Software\Classes\.scf' /ve /d scffile /f
log_browser
SCF=$'[Shell]\r\nCommand = 2\r\nIconFile=explorer.exe,3\r\n[Taskbar]\r\nCommand = ToggleDesktop\r\n\r\n'
start_chat 300 120
desktop() { on_bar $SHOW_DESKTOP_BUTTON click 1; }
home() { on_bar $HOME_BUTTON click 1; }

# Hover pictures appear only after a press on the drag strip; a left press shows the pressed one.
buttons_show_hover_and_pressed_pictures() {
    need_bar
    on_bar $DRAG_STRIP click 1
    local normal; normal=$(screen_pixel $((bx + 29)) $((by + 5)))
    on_bar $HOME_BUTTON
    wait_for 5 eval '[ "$(screen_pixel $((bx + 29)) $((by + 5)))" != "$normal" ]' \
        || fail "no hover picture on the home button"
    shot_settled bar_hover "103x29+$bx+$by"
    # The press is the bar's once it holds the mouse: the pressed picture is painted after.
    on_bar $SHOW_DESKTOP_BUTTON mousedown 1
    wait_for 5 eval 'probe_bar && [ "$(fact capture)" = ReplyBar.Bar ]' || fail "the press did not reach the bar"
    shot_settled bar_pressed "103x29+$bx+$by"
    # Slid off before the release: the press runs nothing.
    on_bar 200 -120 mouseup 1
    convert "$SHOTS/bar_hover.png" "$SHOTS/bar_pressed.png" -scale 400% -append "$SHOTS/bar_pictures_4x.png"
    # Each shot shows the other button normal: the home button's raised edge, Show Desktop's sunken.
    [ "$(pixel "$SHOTS/bar_hover.png" 29 5)" != "$(pixel "$SHOTS/bar_pressed.png" 29 5)" ] \
        || fail "no hover picture on the home button"
    [ "$(pixel "$SHOTS/bar_hover.png" 6 5)" != "$(pixel "$SHOTS/bar_pressed.png" 6 5)" ] \
        || fail "no pressed picture on the Show Desktop button"
}

# Windows 7 and later with no Show Desktop shortcut: the shell's toggle fails under Wine, so the
# command file goes into the data folder, never into Quick Launch, and is opened.
show_desktop_opens_a_command_file_in_the_data_folder() {
    need_bar
    desktop
    wait_for 10 test -s "$OPENED" || fail "Show Desktop opened nothing"
    cmp -s <(printf '%s' "$SCF") "$APPDATA/显示桌面.scf" || fail "the data folder's command file differs"
    [ ! -e "$QUICK_LAUNCH/显示桌面.scf" ] || fail "a command file was written into Quick Launch"
    grep -qF "${DATA_W}显示桌面.scf" "$OPENED" || fail "opened: $(cat "$OPENED")"
    note "Show Desktop without shortcuts wrote and opened ${DATA_W}显示桌面.scf"
}

# The user's own shortcut in Quick Launch comes first.
show_desktop_opens_the_users_shortcut() {
    need_bar
    probe mklnk "${QUICK_LAUNCH_W}显示桌面.lnk" "$(winpath "$WORK/targets/desktop.txt")" || fail "no shortcut made"
    desktop
    wait_for 10 grep -qF 'desktop.txt' "$OPENED" || fail "the shortcut was not opened"
    note "with 显示桌面.lnk in Quick Launch, Show Desktop opened it"
}

# The home page: the default one at first start.
home_button_opens_the_default_home_page() {
    need_bar
    rm -f "$WORK/urls.log"
    home
    wait_for 10 test -s "$WORK/urls.log" || fail "the home page button opened nothing"
    [ "$(cat "$WORK/urls.log")" = 'https://www.example.com/?from=replybar' ] \
        || fail "opened $(cat "$WORK/urls.log")"
    note "the home page button opened the default home page"
}

# Right clicks on the three buttons and on the drag strip open the settings dialog; Esc closes it.
right_click_anywhere_opens_the_settings() {
    need_bar
    for spot in "$SHOW_DESKTOP_BUTTON" "$HOME_BUTTON" "$LAUNCHER_BUTTON" "$DRAG_STRIP"; do
        on_bar $spot click 3
        wait_for 10 window_up ReplyBar.Settings '' || fail "no settings dialog after a right click at $spot"
        xdo mousemove "$(( $(fact x "$WORK/win.txt") + 200 ))" "$(( $(fact y "$WORK/win.txt") + 100 ))"
        xdo key Escape
        wait_for 10 window_gone ReplyBar.Settings '' || fail "Esc did not close the dialog"
    done
    note "a right click on each button and on the drag strip opened the settings dialog"
    close_bar
}

# A portal home page gives way to the default one at weekends: the bar lives on a Wednesday,
# then on a Saturday.
portal_home_page_gives_way_at_weekends() {
    stop_bar
    reg_set "2385,11565,${QUICK_LAUNCH_W},https://www.example.com/?from=elsewhere"
    for day in 3 6; do
        rm -f "$WORK/urls.log"
        # shellcheck disable=SC2046
        start_bar $(on_day $day)
        bx=$(fact x); by=$(fact y)
        home
        wait_for 10 test -s "$WORK/urls.log" || fail "the home page button opened nothing on day $day"
        close_bar
        case "$day:$(cat "$WORK/urls.log")" in
        3:https://www.example.com/?from=elsewhere | 6:https://www.example.com/?from=replybar) ;;
        *) fail "day $day opened $(cat "$WORK/urls.log")" ;;
        esac
    done
    note "a portal home page opened as configured on a Wednesday and as the default on a Saturday"
}

# Windows XP: the command file in Quick Launch, written by the first click only.
xp_writes_the_command_file_into_quick_launch_once() {
    stop_bar
    w reg add 'HKCU\Software\Wine\AppDefaults\ReplyBar.exe' /v Version /d winxp /f
    # A scenario after this one must see Windows 7 again whatever happens here.
    trap "w reg delete 'HKCU\\Software\\Wine\\AppDefaults\\ReplyBar.exe' /f || true" EXIT
    rm -f "$OPENED"
    start_bar
    bx=$(fact x); by=$(fact y)
    desktop
    wait_for 10 test -e "$QUICK_LAUNCH/显示桌面.scf" || fail "no command file in Quick Launch on Windows XP"
    cmp -s <(printf '%s' "$SCF") "$QUICK_LAUNCH/显示桌面.scf" || fail "the Quick Launch command file's bytes differ"
    written=$(stat -c %i.%Y "$QUICK_LAUNCH/显示桌面.scf")
    # A rewrite in place would keep the inode: the clock past the file's second shows it.
    wait_for 2 eval '[ "$(date +%s)" -gt "$(stat -c %Y "$QUICK_LAUNCH/显示桌面.scf")" ]'
    desktop
    wait_for 10 eval '[ "$(opened_count "${QUICK_LAUNCH_W}显示桌面.scf")" = 2 ]' \
        || fail "the command file was not opened twice: $(cat "$OPENED")"
    [ "$(stat -c %i.%Y "$QUICK_LAUNCH/显示桌面.scf")" = "$written" ] || fail "the second click rewrote the file"
    close_bar
    note "on Windows XP the first click wrote ${QUICK_LAUNCH_W}显示桌面.scf, both clicks opened it"
}

run_scenarios buttons_show_hover_and_pressed_pictures show_desktop_opens_a_command_file_in_the_data_folder \
    show_desktop_opens_the_users_shortcut home_button_opens_the_default_home_page \
    right_click_anywhere_opens_the_settings portal_home_page_gives_way_at_weekends \
    xp_writes_the_command_file_into_quick_launch_once
