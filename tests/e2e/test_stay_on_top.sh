#!/usr/bin/env bash
# The bar stays on top: another always-on-top window activated over it, and the bar is above it
# again within a second; a full-screen program in front is never covered, and once the user is
# back in another window the bar is on top again.
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
    wait_for 1.5 above ReplyBar.Bar E2ECover || fail "the bar stayed under another always-on-top window: $(fact zorder "$WORK/z.txt")"
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

run_scenarios bar_rises_above_another_topmost_window full_screen_program_is_not_covered
