#!/usr/bin/env bash
# First start, placement, styles, focus, single instance and the settings round trip.
. "$(dirname "$0")/lib.sh"
reset_state
start_chat 300 200

first_start_sits_on_the_work_area_bottom() {
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
}

# A click on the bar leaves foreground and focus where they were.
clicks_leave_the_chat_focused() {
    need_bar
    on_bar 2 27 click 1
    on_bar 40 27 click 1
    # Nothing shows that the bar has had the clicks and left the focus be: a moment for a wrong
    # activation to happen.
    sleep 0.5
    probe_bar
    [ "$(fact foreground)" = E2EChat ] || fail "a click on the bar took the foreground: $(fact foreground)"
    [ "$(fact focus)" = Edit ] || fail "a click on the bar moved the focus: $(fact focus)"
    [ "$(fact deactivated "$CHAT_LOG")" = 0 ] || fail "the chat window was deactivated"
    note "clicks leave the chat window active and focused"
}

# A second instance ends at once; the first stays.
second_instance_ends_at_once() {
    need_bar
    timeout 30 env LC_ALL=zh_CN.UTF-8 wine "$BIN/ReplyBar.exe" </dev/null >>"$WORK/wine.log" 2>&1 \
        || fail "the second instance did not end by itself"
    probe_bar
    [ "$(fact count)" = 1 ] || fail "$(fact count) bars after a second start"
    note "second instance ended at once"
}

# WM_CLOSE writes Left,Top,launchFolder,homePage in twips; the next start uses it.
closing_saves_the_place_for_the_next_start() {
    need_bar
    local x=$bx y=$by value bytes chars
    close_bar
    reg_get
    [ "$(fact type "$WORK/reg.txt")" = 1 ] || fail "String3 is not REG_SZ"
    value=$(fact value "$WORK/reg.txt")
    case "$value" in
    "2385,$((y * 15)),$QUICK_LAUNCH_W,"http*) ;;
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
}

# Launch folders with Chinese characters and with commas survive the round trip.
folders_with_chinese_and_commas_survive() {
    stop_bar
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
}

# An error box at start-up (a folder named like a reply file): once it is dismissed the user's
# window has the foreground again, not the bar, and the first click on the reply button opens the
# panel. (Without a window manager Wine holds the bar's thread for about two seconds while the
# box goes away; clicks in that time are handled after it, none is lost.)
start_up_error_box_gives_the_chat_back() {
    stop_bar
    probe regdel
    printf 'zero\r\n' >"$APPDATA/0.txt"
    mkdir -p "$APPDATA/1.txt"
    trap 'rmdir "$APPDATA/1.txt" || true' EXIT
    xdo mousemove 400 220 click 1  # the chat window, focused again
    launch_bar
    wait_for 20 window_up '#32770' '快捷回复条' || fail "no error box at start-up"
    answer_box '快捷回复条' $BOX_OK
    wait_for 10 eval 'probe_bar; [ "$(fact foreground)" = E2EChat ]' \
        || fail "after the box the foreground is $(fact foreground), not the chat window"
    bx=$(fact x); by=$(fact y)
    on_bar $REPLY_BUTTON click 1
    wait_for 5 eval 'probe_bar; [ "$(fact h)" != 29 ]' || fail "the first click after the box did nothing"
    [ "$(fact foreground)" = E2EChat ] || fail "the click made $(fact foreground) the foreground"
    close_bar
    note "after a start-up error box the chat window kept the foreground and the first click opened the panel"
}

run_scenarios first_start_sits_on_the_work_area_bottom clicks_leave_the_chat_focused \
    second_instance_ends_at_once closing_saves_the_place_for_the_next_start \
    folders_with_chinese_and_commas_survive start_up_error_box_gives_the_chat_back
