#!/usr/bin/env bash
# First start, placement, styles, focus, single instance and the settings round trip.
. "$(dirname "$0")/lib.sh"
reset_state

start_chat 300 200
probe_bar
[ "$(fact foreground)" = E2EChat ] || fail "the chat window is not in the foreground: $(fact foreground)"

start_bar
IFS=, read -r _ _ _ wa_bottom <<<"$(fact workarea)"
[ "$(fact x)" = 159 ] || fail "first start x is $(fact x), not 159"
[ "$(fact w)x$(fact h)" = 103x29 ] || fail "bar is $(fact w)x$(fact h)"
[ $(( $(fact y) + $(fact h) )) = "$wa_bottom" ] || fail "lower edge $(( $(fact y) + $(fact h) )) not on $wa_bottom"
for k in topmost toolwindow noactivate visible; do [ "$(fact $k)" = 1 ] || fail "$k is not set"; done
note "first start at $(fact x),$(fact y), topmost tool window, no-activate"
x=$(fact x); y=$(fact y)
shot bar_first_start "140x60+$((x - 20))+$((y - 20))"
convert "$SHOTS/bar_first_start.png" -scale 400% "$SHOTS/bar_first_start_4x.png"

# A click on the bar leaves foreground and focus where they were.
xdo mousemove $((x + 2)) $((y + 27)) click 1
xdo mousemove $((x + 40)) $((y + 27)) click 1
sleep 0.5
probe_bar
[ "$(fact foreground)" = E2EChat ] || fail "a click on the bar took the foreground: $(fact foreground)"
[ "$(fact focus)" = Edit ] || fail "a click on the bar moved the focus: $(fact focus)"
[ "$(fact deactivated "$CHAT_LOG")" = 0 ] || fail "the chat window was deactivated"
note "clicks leave the chat window active and focused"

# A second instance ends at once; the first stays.
timeout 30 env LC_ALL=zh_CN.UTF-8 wine "$BIN/ReplyBar.exe" </dev/null >>"$WORK/wine.log" 2>&1 \
    || fail "the second instance did not end by itself"
probe_bar
[ "$(fact count)" = 1 ] || fail "$(fact count) bars after a second start"
note "second instance ended at once"

# WM_CLOSE writes Left,Top,launchFolder,homePage in twips; the next start uses it.
close_bar
reg_get
[ "$(fact type "$WORK/reg.txt")" = 1 ] || fail "String3 is not REG_SZ"
value=$(fact value "$WORK/reg.txt")
ql='C:\users\'"$(id -un)"'\AppData\Roaming\Microsoft\Internet Explorer\Quick Launch\'
case "$value" in
"2385,$((y * 15)),$ql,"http*) ;;
*) fail "String3 after the first start: $value" ;;
esac
# The bar hands the value over without a terminating NUL; Wine's registry may add one.
bytes=$(fact bytes "$WORK/reg.txt")
chars=$(printf '%s' "$value" | iconv -f UTF-8 -t UTF-16LE | wc -c)
[ "$bytes" = "$chars" ] || [ "$bytes" = $((chars + 2)) ] || fail "String3 holds $bytes bytes for $chars"
note "String3 = $value"
start_bar
[ "$(fact x),$(fact y)" = "$x,$y" ] || fail "the second start is at $(fact x),$(fact y), not $x,$y"
close_bar

# Launch folders with Chinese characters and with commas survive the round trip.
for folder in 'C:\快速 启动\' 'C:\a,b\c\'; do
    reg_set "300,450,$folder,about:blank"
    start_bar
    [ "$(fact x),$(fact y)" = "20,30" ] || fail "saved position not used: $(fact x),$(fact y)"
    close_bar
    reg_get
    [ "$(fact value "$WORK/reg.txt")" = "300,450,$folder,about:blank" ] \
        || fail "folder did not survive: $(fact value "$WORK/reg.txt")"
done
note "Chinese and comma folders survive"
echo "startup: all checks passed"
