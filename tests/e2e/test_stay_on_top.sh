#!/usr/bin/env bash
# The bar stays on top: another always-on-top window activated over it, and the bar is above it
# again within a second; a full-screen program in front is never covered, and once the user is
# back in another window the bar is on top again. A maximised chat is no full-screen program,
# even where no taskbar leaves room (Xvfb has none); a window put full-screen in place (F11) and
# back hides and shows the bar within a second, with no change of the window in front.
. "$(dirname "$0")/lib.sh"
reset_state
put_reply 0.txt '好的\r\n'
start_chat 300 120
zorder() { rm -f "$WORK/z.txt"; probe zorder "$(winpath "$WORK/z.txt")"; }
# above A B: window class A comes before B, front to back
above() { zorder && fact zorder "$WORK/z.txt" | tr ',' '\n' | grep -nxE "$1|$2" | head -n 1 | grep -qx "[0-9]*:$1"; }
cover() {  # cover X Y W H TOPMOST MS, in the background
    w_bg "$BIN/e2e_probe.exe" cover "$@"
    COVER=$!
    wait_for 10 eval 'zorder && fact zorder "$WORK/z.txt" | grep -q E2ECover' || fail "no cover window"
}

bar_rises_above_another_topmost_window() {
    need_bar
    cover $((bx + 20)) $((by - 10)) 200 40 1 4000
    wait_for 3 above ReplyBar.Bar E2ECover || fail "the bar stayed under another always-on-top window: $(fact zorder "$WORK/z.txt")"
    # (Without a window manager Wine does not restack the X windows after the fact, so what shows
    # on the screen does not follow the z-order the system keeps; the z-order is what is checked.)
    wait "$COVER" || true
    note "an always-on-top window activated over the bar: the bar is above it again"
}

full_screen_program_is_not_covered() {
    need_bar
    cover 0 0 1280 800 0 3000
    wait_for 1.5 eval 'probe_bar && [ "$(fact visible)" = 0 ]' \
        || fail "the bar covers a full-screen program: visible $(fact visible)"
    wait "$COVER" || true
    probe find E2EChat '' "$(winpath "$WORK/win.txt")"
    xdo mousemove 500 300 click 1   # the user goes back to the chat
    wait_for 3 eval 'probe_bar && [ "$(fact visible)" = 1 ] && [ "$(fact topmost)" = 1 ]' \
        || fail "the bar did not come back on top: visible $(fact visible), topmost $(fact topmost)"
    above ReplyBar.Bar E2EChat || fail "the bar is under the chat: $(fact zorder "$WORK/z.txt")"
    note "a full-screen program in front is not covered; after it the bar is on top again"
    close_bar
}

chat_facts() { find_window E2EChat ''; }
chat_covers_screen() {
    chat_facts && [ "$(fact x "$WORK/win.txt")" -le 0 ] && [ "$(fact y "$WORK/win.txt")" -le 0 ] \
        && [ "$(fact w "$WORK/win.txt")" -ge 1280 ] && [ "$(fact h "$WORK/win.txt")" -ge 800 ]
}
bar_visible() { probe_bar && [ "$(fact visible)" = 1 ]; }
bar_hidden() { probe_bar && [ "$(fact visible)" = 0 ]; }
# The bar is on screen at every look for SECONDS.
bar_stays_visible() {
    local end=$(( ${EPOCHREALTIME/./} + $1 * 1000000 ))
    while [ "${EPOCHREALTIME/./}" -lt "$end" ]; do
        bar_visible || return 1
        sleep 0.2
    done
}

maximised_chat_keeps_the_bar() {
    need_bar
    probe showwin E2EChat 3  # SW_MAXIMIZE
    wait_for 3 chat_covers_screen || fail "the chat was not maximised over the screen: $(cat "$WORK/win.txt")"
    [ "$(fact zoomed "$WORK/win.txt")" = 1 ] || fail "the chat is not maximised"
    local rect="$(fact x "$WORK/win.txt"),$(fact y "$WORK/win.txt") $(fact w "$WORK/win.txt")x$(fact h "$WORK/win.txt")"
    # The user is elsewhere for a moment and comes back to the maximised chat.
    cover 100 100 300 200 0 1000
    wait "$COVER" || true
    xdo mousemove 640 300 click 1
    wait_for 3 eval 'probe_bar && [ "$(fact foreground)" = E2EChat ]' || fail "the chat is not in front: $(fact foreground)"
    bar_stays_visible 2 || fail "the bar hid over a maximised chat"
    [ "$(fact topmost)" = 1 ] || fail "the bar is not always on top"
    # (Without a window manager Wine leaves the X window as it was: the screenshot shows the
    # chat at its old size, while the system's rectangle, which the bar reads, is the screen's.)
    shot stay_on_top_maximised_chat
    probe showwin E2EChat 9  # SW_RESTORE
    wait_for 3 eval '! chat_covers_screen' || fail "the chat was not restored"
    note "a maximised chat ($rect) with no taskbar on the screen: the bar stays on top of it"
}

full_screen_in_place_and_back() {
    need_bar
    chat_facts
    if [ "$(fact zoomed "$WORK/win.txt")" = 1 ]; then  # as an earlier scenario may leave it
        probe showwin E2EChat 9
        wait_for 3 eval 'chat_facts && [ "$(fact zoomed "$WORK/win.txt")" = 0 ]' || fail "the chat stays maximised"
    fi
    local x=$(( $(fact x "$WORK/win.txt") + 150 )) y=$(( $(fact y "$WORK/win.txt") + 150 )) t
    t=$(now)
    xdo mousemove "$x" "$y" key F11
    wait_for 1 bar_hidden || fail "the bar stayed over a window put full-screen: visible $(fact visible) after $(seconds_since "$t") s"
    note "hidden after $(seconds_since "$t") s"
    chat_covers_screen && [ "$(fact caption "$WORK/win.txt")" = 0 ] || fail "the chat did not go full-screen: $(cat "$WORK/win.txt")"
    [ "$(fact foreground)" = E2EChat ] || fail "the foreground changed: $(fact foreground)"
    shot stay_on_top_full_screen_chat
    t=$(now)
    xdo key F11
    wait_for 1 bar_visible || fail "the bar stayed hidden after full screen ended: after $(seconds_since "$t") s"
    note "shown after $(seconds_since "$t") s"
    [ "$(fact topmost)" = 1 ] || fail "the bar is not always on top"
    chat_facts
    [ "$(fact caption "$WORK/win.txt")" = 1 ] && ! chat_covers_screen || fail "the chat did not leave full screen"
    chat_is '' || fail "the chat holds text: $(chat_text)"
    shot stay_on_top_after_full_screen
    note "a window put full-screen in place and back: the bar hides and shows again within a second"
    close_bar
}

run_scenarios bar_rises_above_another_topmost_window full_screen_program_is_not_covered \
    maximised_chat_keeps_the_bar full_screen_in_place_and_back
