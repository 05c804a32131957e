#!/usr/bin/env bash
# The Show Desktop and home page buttons, their pictures, and the right click that opens the
# settings dialog from every button and the drag strip.
. "$(dirname "$0")/lib.sh"
reset_state
QL="$APPDATA/Microsoft/Internet Explorer/Quick Launch"
rm -rf "$QL" "$APPDATA/显示桌面.scf"
mkdir -p "$QL" "$WORK/targets"
printf 'x' >"$WORK/targets/desktop.txt"
log_shell_opens scffile txtfile
w reg add 'HKLM\Software\Classes\.scf' /ve /d scffile /f
log_browser
SCF=$'[Shell]\r\nCommand = 2\r\nIconFile=explorer.exe,3\r\n[Taskbar]\r\nCommand = ToggleDesktop\r\n\r\n'
DATAW='C:\users\'"$(id -un)"'\AppData\Roaming\'
QLW="${DATAW}"'Microsoft\Internet Explorer\Quick Launch\'

start_chat 300 120
start_bar
bx=$(fact x); by=$(fact y)
at() {  # at X Y [xdotool commands]: the pointer onto the bar's pixel X, Y
    local x=$1 y=$2
    shift 2
    xdo mousemove $((bx + x)) $((by + y)) "$@"
}
desktop() { at 16 15 click 1; }
home() { at 39 15 click 1; }

# Hover pictures appear only after a press on the drag strip; a left press shows the pressed one.
at 71 24 click 1
at 39 15
sleep 0.4
shot bar_hover "103x29+$bx+$by"
at 16 15 mousedown 1
sleep 0.4
shot bar_pressed "103x29+$bx+$by"
convert "$SHOTS/bar_hover.png" "$SHOTS/bar_pressed.png" -scale 400% -append "$SHOTS/bar_pictures_4x.png"
# Each shot shows the other button normal: the home button's raised edge, Show Desktop's sunken.
[ "$(pixel "$SHOTS/bar_hover.png" 29 5)" != "$(pixel "$SHOTS/bar_pressed.png" 29 5)" ] \
    || fail "no hover picture on the home button"
[ "$(pixel "$SHOTS/bar_hover.png" 6 5)" != "$(pixel "$SHOTS/bar_pressed.png" 6 5)" ] \
    || fail "no pressed picture on the Show Desktop button"

# Windows 7 and later with no Show Desktop shortcut: the shell's toggle fails under Wine, so the
# command file goes into the data folder, never into Quick Launch, and is opened.
xdo mouseup 1
wait_for 10 test -s "$BIN/opened.log" || fail "Show Desktop opened nothing"
cmp -s <(printf '%s' "$SCF") "$APPDATA/显示桌面.scf" || fail "the data folder's command file differs"
[ ! -e "$QL/显示桌面.scf" ] || fail "a command file was written into Quick Launch"
grep -qF "${DATAW}显示桌面.scf" "$BIN/opened.log" || fail "opened: $(cat "$BIN/opened.log")"
note "Show Desktop without shortcuts wrote and opened ${DATAW}显示桌面.scf"

# The user's own shortcut in Quick Launch comes first.
probe mklnk "${QLW}显示桌面.lnk" "$(winpath "$WORK/targets/desktop.txt")" || fail "no shortcut made"
desktop
wait_for 10 grep -qF 'desktop.txt' "$BIN/opened.log" || fail "the shortcut was not opened"
note "with 显示桌面.lnk in Quick Launch, Show Desktop opened it"

# The home page: the default one at first start.
home
wait_for 10 test -s "$WORK/urls.log" || fail "the home page button opened nothing"
[ "$(cat "$WORK/urls.log")" = 'https://www.example.com/?from=replybar' ] \
    || fail "opened $(cat "$WORK/urls.log")"
note "the home page button opened the default home page"

# Right clicks on the three buttons and on the drag strip open the settings dialog; Esc closes it.
for spot in "16 15" "39 15" "59 15" "71 24"; do
    at $spot click 3
    wait_for 10 window_up ReplyBar.Settings '' || fail "no settings dialog after a right click at $spot"
    xdo mousemove "$(( $(fact x "$WORK/win.txt") + 200 ))" "$(( $(fact y "$WORK/win.txt") + 100 ))"
    xdo key Escape
    wait_for 10 window_gone ReplyBar.Settings '' || fail "Esc did not close the dialog"
done
note "a right click on each button and on the drag strip opened the settings dialog"
close_bar

# A portal home page gives way to the default one at weekends: the bar lives on a Wednesday,
# then on a Saturday.
reg_set "2385,11565,${QLW},https://www.example.com/?from=elsewhere"
for day in 3 6; do
    rm -f "$WORK/urls.log"
    # shellcheck disable=SC2046
    start_bar $(on_day $day)
    home
    wait_for 10 test -s "$WORK/urls.log" || fail "the home page button opened nothing on day $day"
    close_bar
    case "$day:$(cat "$WORK/urls.log")" in
    3:https://www.example.com/?from=elsewhere | 6:https://www.example.com/?from=replybar) ;;
    *) fail "day $day opened $(cat "$WORK/urls.log")" ;;
    esac
done
note "a portal home page opened as configured on a Wednesday and as the default on a Saturday"

# Windows XP: the command file in Quick Launch, written by the first click only.
w reg add 'HKCU\Software\Wine\AppDefaults\ReplyBar.exe' /v Version /d winxp /f
rm -f "$BIN/opened.log"
start_bar
desktop
wait_for 10 test -e "$QL/显示桌面.scf" || fail "no command file in Quick Launch on Windows XP"
cmp -s <(printf '%s' "$SCF") "$QL/显示桌面.scf" || fail "the Quick Launch command file's bytes differ"
written=$(stat -c %i.%Y "$QL/显示桌面.scf")
sleep 1.1
desktop
wait_for 10 [ "$(opened_count "${QLW}显示桌面.scf")" = 2 ] || fail "the command file was not opened twice"
[ "$(stat -c %i.%Y "$QL/显示桌面.scf")" = "$written" ] || fail "the second click rewrote the file"
close_bar
w reg delete 'HKCU\Software\Wine\AppDefaults\ReplyBar.exe' /f
note "on Windows XP the first click wrote ${QLW}显示桌面.scf, both clicks opened it"
echo "bar buttons: all checks passed"
