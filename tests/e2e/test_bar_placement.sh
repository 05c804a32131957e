#!/usr/bin/env bash
# The bar stays where the user can see it: a saved place off every monitor or beyond 32 bits is
# mended, a display change mends it again, a move from outside is followed, and a drag ends
# when another window takes the mouse.
. "$(dirname "$0")/lib.sh"
reset_state
printf 'one\r\n' >"$APPDATA/0.txt"
printf 'two\r\n' >"$APPDATA/1.txt"
printf 'n' >"$APPDATA/n.txt"  # picks paste only, no Ctrl+Enter
at_place() { probe_bar && [ "$(fact x),$(fact y)" = "$1" ]; }
panel_open() { probe_bar && [ "$(fact h)" -gt 29 ]; }
# The bar moved by the probe, as another program would, to X,Y; bx, by follow it.
move_bar() {
    probe move "$1" "$2"
    wait_for 5 at_place "$1,$2" || fail "the bar did not move to $1,$2"
    bx=$1 by=$2
}

# 1280 x 800: the nearest place on the one monitor, whatever the saved numbers.
# A face half off the left edge can still be grabbed: it stays exactly where the user left it.
saved_places_off_the_screen_are_mended() {
    for saved in '99999999999999,-99999999999999:1177,0' '-45000,600000:0,771' '3000,4500:200,300' \
                 '-750,4500:-50,300'; do
        reg_set "${saved%%:*},${QUICK_LAUNCH_W},about:blank"
        start_bar
        at_place "${saved##*:}" || fail "saved ${saved%%:*}: the bar is at $(fact x),$(fact y)"
        close_bar
    done
    note "saved places off the screen were mended; one on it, or half on it, was used as stored"
}

# Moved by something else: the panel opens over the bar where it is now, and a drag starts there.
panel_and_drag_follow_an_outside_move() {
    need_bar
    probe move 600 400
    bx=600 by=400
    on_bar $REPLY_BUTTON click 1
    wait_for 5 panel_open || fail "the reply panel did not open"
    [ "$(fact x)" = 600 ] && [ $(( $(fact y) + $(fact h) )) = 429 ] \
        || fail "the panel opened at $(fact x),$(fact y) $(fact w)x$(fact h), not over the bar at 600,400"
    shot panel_after_outside_move "$(fact w)x$(fact h)+600+$(fact y)"
    xdo mousemove 300 100
    wait_for 5 at_place 600,400 || fail "the panel did not close back onto the bar"
    on_bar $DRAG_STRIP mousedown 1 mousemove 700 430 mousemove 721 434 mouseup 1
    wait_for 5 at_place 650,410 || fail "the drag moved the bar to $(fact x),$(fact y), not 650,410"
    note "after an outside move the panel and a drag both started where the bar was"
}

# The capture goes to another window in the middle of a drag: the drag ends there.
drag_ends_when_the_capture_is_taken() {
    need_bar
    move_bar 650 410
    on_bar $DRAG_STRIP mousedown 1 mousemove 730 434
    wait_for 5 eval 'probe_bar && [ "$(fact x),$(fact y)" != 650,410 ]' || fail "the drag did not move the bar"
    before="$(fact x),$(fact y)"
    probe send 0x1F 0  # WM_CANCELMODE
    xdo mousemove 800 500
    # Nothing shows that the bar has had the move and let it be: a moment for it to go wrong.
    sleep 0.5
    at_place "$before" || fail "the bar kept following the pointer: $(fact x),$(fact y)"
    xdo mouseup 1
    note "a drag ended when the capture was taken"
}

# A display change finds the bar off every monitor: it comes back onto the screen.
display_change_brings_the_bar_back() {
    need_bar
    probe move 5000 5000
    probe send 0x7E 24  # WM_DISPLAYCHANGE
    wait_for 5 at_place 1177,771 || fail "after a display change the bar is at $(fact x),$(fact y)"
    probe move -500 300
    probe send 0x1A 0x2F  # WM_SETTINGCHANGE, SPI_SETWORKAREA
    wait_for 5 at_place 0,300 || fail "after a work-area change the bar is at $(fact x),$(fact y)"
    shot bar_mended "200x60+0+280"
    close_bar
}

# Every reply can be reached: at the top edge of the screen the panel opens below the bar, and
# 41 replies (814 px of panel, more than the screen has above the bar) open in two columns.
need_chat() { find_window E2EChat '' || start_chat 700 300; }
pick() {  # pick X Y TEXT: a click on the row at X, Y pastes TEXT into the emptied chat window
    chat_clear
    hover "$1" "$2"
    xdo click 1
    wait_for 5 chat_is "$3" || fail "picked '$(chat_text)', not '$3'"
}

panel_opens_below_the_bar_at_the_top_edge() {
    stop_bar
    need_chat
    reg_set "3000,0,${QUICK_LAUNCH_W},about:blank"
    start_bar
    bx=200 by=0
    on_bar $REPLY_BUTTON click 1
    wait_for 5 panel_open || fail "the panel did not open at the top edge"
    [ "$(fact x),$(fact y)" = 200,0 ] && [ "$(fact h)" = 68 ] \
        || fail "at the top edge the window is $(fact x),$(fact y) $(fact w)x$(fact h)"
    shot panel_below_bar "400x80+190+0"
    pick 260 $((29 + 23 + 6)) two
    close_bar
    note "at the top edge the panel opened below the bar and a pick pasted"
}

forty_one_replies_open_in_two_columns() {
    stop_bar
    need_chat
    for i in $(seq 0 40); do printf 'reply %s\r\n' "$i" >"$APPDATA/$i.txt"; done
    reg_set "2385,11565,${QUICK_LAUNCH_W},about:blank"
    start_bar
    bx=159 by=771
    on_bar $REPLY_BUTTON click 1
    wait_for 5 panel_open || fail "the panel of 41 replies did not open"
    [ "$(fact w)x$(fact h)" = 774x425 ] && [ "$(fact y)" = 375 ] \
        || fail "41 replies: the window is $(fact x),$(fact y) $(fact w)x$(fact h)"
    shot panel_two_columns "790x440+150+370"
    pick 620 $((375 + 361 + 6)) 'reply 40'
    on_bar $REPLY_BUTTON click 1
    wait_for 5 panel_open || fail "the panel did not open again"
    pick 220 $((375 + 2 + 6)) 'reply 0'
    note "41 replies opened in two columns on the screen; the first and the last were picked"
}

# Along the top edge, with few and many replies, the panel opens below and shifted left; once it
# closed the bar is whole where it was, and a click on it opens the panel again.
whole_at() {  # whole_at X: the bar alone at X,0, its face not cut away
    probe_bar && [ "$(fact x),$(fact y) $(fact w)x$(fact h)" = "$1,0 103x29" ] && [ -z "$(fact region)" ]
}
top_edge() {  # top_edge X
    probe move "$1" 0
    wait_for 5 whole_at "$1" || fail "the bar did not move to $1,0"
    bx=$1 by=0
    on_bar $REPLY_BUTTON click 1
    wait_for 5 panel_open || fail "no panel at $1,0"
    xdo mousemove 600 600
    wait_for 5 whole_at "$1" || fail "after the panel at $1,0 the bar is $(fact x),$(fact y) $(fact w)x$(fact h) region '$(fact region)'"
    on_bar $REPLY_BUTTON click 1
    wait_for 5 panel_open || fail "the bar at $1,0 does not take a click"
    xdo mousemove 600 600
    wait_for 5 whole_at "$1" || fail "the bar at $1,0 did not close back"
}
bar_is_whole_after_panels_at_the_top_edge() {
    [ -f "$APPDATA/40.txt" ] || for i in $(seq 0 40); do printf 'reply %s\r\n' "$i" >"$APPDATA/$i.txt"; done
    need_bar
    for x in 1177 1130 930; do top_edge "$x"; done
    shot bar_top_right_after_panel "200x40+1080+0"
    close_bar
    for i in $(seq 1 40); do rm -f "$APPDATA/$i.txt"; done
    start_bar
    for x in 1177 930; do top_edge "$x"; done
    close_bar
    note "along the top edge, with 1 and 41 replies, the bar is whole and clickable after each panel"
}

run_scenarios saved_places_off_the_screen_are_mended panel_and_drag_follow_an_outside_move \
    drag_ends_when_the_capture_is_taken display_change_brings_the_bar_back \
    panel_opens_below_the_bar_at_the_top_edge forty_one_replies_open_in_two_columns \
    bar_is_whole_after_panels_at_the_top_edge
