#!/usr/bin/env bash
# What a pick sends is the reply or nothing, and each pick its own: clipboard readers and a
# clipboard opened between press and release, an empty reply, the hotkey and a digit right
# after a key pick, and keys the bar must not take (behind a full-screen program, under its own
# box, after a switch to another window); the number pad's digits; a right click on the panel's
# background. The chat sends on Enter and Ctrl+Enter and empties its box, as a chat client does;
# every message it sent is compared.
. "$(dirname "$0")/lib.sh"

SETTINGS_KEY='HKCU\Software\DAZ\Registry'
reg_dword() { LC_ALL=C wine reg add "$SETTINGS_KEY" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1 </dev/null; }
panel_closed() { probe_bar; [ "$(fact h)" = 29 ]; }
hotkey() { press_hotkey; }  # the user presses Ctrl+Alt+R, the panel opens
# Without a window manager X gives the keyboard to the window under the pointer.
over_chat() { xdo mousemove 400 200; }
expect_sent() {  # expect_sent N MESSAGE...: after the first N, exactly these were sent
    local n=$1; shift
    wait_for 5 sent_after "$n" "$@" || fail "sent '$(sent_since "$n")', not '$*|'"
    chat_caught_up || fail "the chat did not catch up with the keys sent to it"
    sent_after "$n" "$@" || fail "then sent '$(sent_since "$n")', not '$*|'"
}
# The panel's key for 1 is free for another program: keyboard mode does not hold it.
digit_one_is_free() {
    rm -f "$WORK/held.txt"
    w "$BIN/e2e_probe.exe" holdhotkey 0 49 100 "$(winpath "$WORK/held.txt")"
    test -f "$WORK/held.txt"
}

setup() {
    reset_state
    for i in $(seq 1 9); do put_reply "$((i - 1)).txt" "回复$i\r\n"; done
    : >"$APPDATA/9.txt"  # the tenth reply is empty: key 0
    put_reply 10.txt '回复11\r\n'
    start_chat 300 120 clear
}

# A clipboard-history stand-in opens the clipboard at every change and holds it while it reads:
# every pick, by key and by mouse, still sends exactly its reply.
clipboard_readers_never_leave_the_draft_alone() {
    need_bar
    rm -f "$WORK/history.txt"
    w_bg "$BIN/e2e_probe.exe" cliphistory 150 60 "$(winpath "$WORK/history.txt")"
    READER=$!
    trap 'kill $READER 2>/dev/null || true' EXIT
    wait_for 10 test -f "$WORK/history.txt" || fail "the clipboard reader did not start"
    local n; n=$(sent_count)
    for k in 1 2 3; do
        over_chat; hotkey; xdo key $k
        wait_for 5 eval '[ "$(sent_count)" -gt $((n + k - 1)) ]' || fail "key $k sent nothing"
    done
    for r in 3 4 5; do
        pick_row $r
        wait_for 5 eval '[ "$(sent_count)" -gt $((n + r)) ]' || fail "row $r sent nothing"
    done
    expect_sent "$n" 回复1 回复2 回复3 回复4 回复5 回复6
    note "a reader holding the clipboard 150 ms at every change: three key and three mouse picks each sent their reply"
}

# Another program opens the clipboard between the press and the release: the paste waits for
# it, and the message is the reply.
clipboard_opened_between_press_and_release() {
    need_bar
    local n; n=$(sent_count)
    hover_row 1
    xdo mousedown 1
    rm -f "$WORK/held"
    w_bg "$BIN/e2e_probe.exe" holdclip 300 剪贴板助手 "$(winpath "$WORK/held")"
    wait_for 10 test -f "$WORK/held" || fail "the clipboard could not be held"
    xdo mouseup 1
    expect_sent "$n" 回复2
    note "the clipboard held open across the release: the reply, sent once it was free"
}

# An empty reply pastes nothing and presses no send key: the draft stays unsent.
an_empty_reply_sends_nothing() {
    need_bar
    local n; n=$(sent_count)
    over_chat
    xdo type draft
    wait_for 5 chat_is draft || fail "the draft was not typed: '$(chat_text)'"
    hotkey; xdo key 0
    wait_for 5 find_window '#32770' '快捷回复条' || fail "no word about the empty reply"
    controls_of '#32770'
    grep -q '空的' "$WORK/ctl.txt" || fail "message: $(cat "$WORK/ctl.txt")"
    answer_box 快捷回复条 $BOX_OK
    wait_for 5 eval 'probe_bar && [ "$(fact foreground)" = E2EChat ]' || fail "the chat is not in front after the message"
    chat_caught_up || fail "the chat did not catch up with the keys sent to it"
    chat_is draft && sent_after "$n" || fail "chat '$(chat_text)', sent '$(sent_since "$n")'"
    chat_clear
    note "an empty reply: a word why, the draft neither pasted over nor sent"
}

# With Enter as the send key: the hotkey 30 ms after a key pick does not open a panel whose
# Enter would catch the send key, and a digit typed 30 ms after does not join the message.
each_key_pick_sends_its_own_reply() {
    stop_bar
    reg_dword SendKey 1
    trap 'reg_dword SendKey 0' EXIT
    start_bar
    bx=$(fact x); by=$(fact y)
    local n; n=$(sent_count)
    over_chat; hotkey
    xdo key 4 sleep 0.03 key ctrl+alt+r
    expect_sent "$n" 回复4
    panel_closed || fail "the hotkey opened the panel while the pick went out"
    over_chat; hotkey
    xdo key 2 sleep 0.03 key 0
    expect_sent "$n" 回复4 回复2
    chat_is '' || chat_is 0 || fail "the chat holds '$(chat_text)'"
    note "Enter as the send key: the hotkey and a digit 30 ms after a pick joined no message"
    close_bar
}

# Behind a full-screen program the bar is out of sight: the hotkey takes no keys. Under the
# bar's own box the hotkey opens nothing and stacks no second box.
no_keyboard_mode_out_of_sight() {
    need_bar
    w_bg "$BIN/e2e_probe.exe" cover 0 0 1280 800 0 5000
    wait_for 3 eval 'probe_bar; [ "$(fact visible)" = 0 ]' || fail "the bar stayed over the full-screen program"
    xdo mousemove 640 400 key ctrl+alt+r
    # A hotkey the bar lets be shows nothing to wait for: a moment for it to take the keys.
    sleep 0.7
    digit_one_is_free || fail "behind a full-screen program the hotkey took the digits"
    wait_for 10 bar_up || fail "the bar did not come back after the full-screen program"

    stop_bar
    mkdir -p "$WORK/away" && mv "$APPDATA"/[0-9]*.txt "$WORK/away/"
    trap 'mv "$WORK/away/"* "$APPDATA/" 2>/dev/null || true' EXIT
    start_bar
    over_chat
    wait_for 10 bar_started || fail "the bar did not finish starting"
    local tries=0
    until xdo key ctrl+alt+r && wait_for 2 find_window '#32770' '提示'; do
        tries=$((tries + 1))
        [ $tries -lt 5 ] || fail "no word that there are no replies"
    done
    # Nor does a hotkey under the box: a moment after each for a second box to come.
    xdo mousemove 640 700 key ctrl+alt+r sleep 0.5 key ctrl+alt+r sleep 0.5
    rm -f "$WORK/list.txt"; probe list "$(winpath "$WORK/list.txt")"
    [ "$(grep -c '^#32770 .*visible=1' "$WORK/list.txt")" = 1 ] || fail "boxes: $(grep '#32770' "$WORK/list.txt" | tr '\n' ' ')"
    digit_one_is_free || fail "under the box the hotkey took the digits"
    answer_box 提示 $BOX_OK
    wait_editor
    close_editor
    stop_bar
    mv "$WORK/away/"* "$APPDATA/"
    note "hidden behind a full-screen program, and under its box: the hotkey took no key, one box"
}

# The user switches to another window right after the hotkey: a key typed there goes there.
a_key_after_switching_windows_goes_there() {
    need_bar
    local second="$WORK/second.log" n; n=$(sent_count)
    w_bg "$BIN/e2e_chat.exe" "$(winpath "$second")" 760 120 second
    CHAT2=$!
    trap 'kill $CHAT2 2>/dev/null || true' EXIT
    wait_for 20 test -f "$second" || fail "the second chat did not start"
    over_chat
    probe activate E2EChat chat-target
    hotkey
    probe activate E2EChat chat-second
    xdo mousemove 900 250 key 3
    wait_for 5 eval '[ "$(cat "$second.text")" = 3 ]' || fail "the second window got '$(cat "$second.text")'"
    # The key went to the window in front: nothing marks the first chat's keys as all in.
    sleep 0.5
    sent_after "$n" && chat_is '' || fail "the first chat got '$(chat_text)', sent '$(sent_since "$n")'"
    panel_closed || fail "the panel stayed open"
    kill $CHAT2 2>/dev/null || true
    # The next scenario's hotkey must not meet the focus moving on as the second chat goes.
    wait_for 10 eval '! find_window E2EChat second' || fail "the second chat did not end"
    probe activate E2EChat chat-target
    wait_for 5 eval 'probe_bar && [ "$(fact foreground)" = E2EChat ]' || fail "the chat is not in front"
    note "a key typed right after switching windows reached that window, not a pick"
}

keypad_digit_picks() {
    need_bar
    local n; n=$(sent_count)
    over_chat; hotkey
    xdo key KP_3
    expect_sent "$n" 回复3
    note "Num 3 picked the third reply"
}

# A right click on the panel's background opens the editor on the row last under the pointer;
# nothing is pasted or sent, auto-send on as it is.
background_right_click_sends_nothing() {
    need_bar
    local n; n=$(sent_count)
    hover_row 2
    # Between the first two rows' texts: the background.
    xdo mousemove $((bx + 60)) $(( $(fact y) + 18 )) click 3
    wait_editor
    close_editor
    wait_for 5 eval 'probe_bar && [ "$(fact foreground)" = E2EChat ]' || fail "the chat is not in front after the editor"
    chat_caught_up || fail "the chat did not catch up with the keys sent to it"
    chat_is '' && sent_after "$n" || fail "chat '$(chat_text)', sent '$(sent_since "$n")'"
    note "a right click on the background opened the editor; nothing pasted or sent"
}

setup
run_scenarios clipboard_readers_never_leave_the_draft_alone clipboard_opened_between_press_and_release \
    an_empty_reply_sends_nothing each_key_pick_sends_its_own_reply no_keyboard_mode_out_of_sight \
    a_key_after_switching_windows_goes_there keypad_digit_picks background_right_click_sends_nothing
