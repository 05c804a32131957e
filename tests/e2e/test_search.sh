#!/usr/bin/env bash
# Finding a reply by the first letters of its pinyin, in keyboard mode, without leaving the
# chat: 41 replies of the user's own and a team library of 300 on a share. The letters type a
# search, the digits pick among its results, Backspace and Esc go back; the chat keeps the
# foreground and its focus, and once the panel has closed letters reach the chat again.
. "$(dirname "$0")/lib.sh"
reset_state
for i in $(seq 0 40); do put_reply "$i.txt" "我的第 $i 条：收到，请稍等\r\n"; done
put_reply 25.txt '欢迎光临，很高兴为您服务！\r\n'
# Only pasted: the send key is not what this script is about, and a word why one was kept back
# would stand between its steps.
put_reply n.txt '不要自动发送信息\r\n'
team_places
{
    printf '\xEF\xBB\xBF分组,回复\r\n'
    for i in $(seq 299); do printf '售后,售后回复第 %s 条，请提供订单号\r\n' "$i"; done
    printf '物流,您的包裹今天发货，明天送到\r\n'
} >"$SHARE/团队回复.csv"
w reg add 'HKCU\Software\DAZ\Registry' /v TeamLibrary /t REG_SZ /d '\\teamserver\share\团队回复.csv' /f
start_chat 300 150

panel_open() { probe_bar && [ "$(fact h)" != 29 ]; }
hotkey() {  # the chat in front, Ctrl+Alt+R: the panel opens, listening to the keys
    xdo mousemove 600 300
    press_hotkey
    h0=$(fact h)  # its height before any letter
}
panel_height_not() { probe_bar && [ "$(fact h)" != 29 ] && [ "$(fact h)" != "$1" ]; }
picked() {  # picked TEXT: exactly TEXT in the chat, the panel closed, the chat still in front
    wait_for 5 chat_is "$1" || fail "the chat holds '$(chat_text)', not '$1'"
    wait_for 5 eval '! panel_open' || fail "the panel stayed open after the pick"
    probe_bar
    [ "$(fact foreground)" = E2EChat ] && [ "$(fact focus)" = Edit ] || fail "focus left the chat"
}

initials_find_an_own_reply_and_a_team_reply() {
    need_bar
    # The share's file is read once it has settled; the bar keeps a copy of what it read.
    wait_for 30 test -f "$(dirname "$APPDATA")/Local/ReplyBar/team-library.cache" || fail "the team library was not read"
    chat_clear
    hotkey
    xdo key h y g l
    wait_for 5 panel_height_not "$h0" || fail "hygl did not change the panel"
    shot_settled search_results "$(fact w)x$(fact h)+$(fact x)+$(fact y)"
    xdo key 1
    picked '欢迎光临，很高兴为您服务！'
    chat_clear
    hotkey
    xdo key j t f h 1  # 今天发货: only the team's 物流 reply has it
    picked '您的包裹今天发货，明天送到'
    note "hygl and jtfh found their replies, own and team, and 1 pasted each exactly"
}

backspace_esc_and_the_keypad() {
    need_bar
    chat_clear
    hotkey
    xdo key h y g l
    wait_for 5 panel_height_not "$h0" || fail "hygl did not change the panel"
    local found=$(fact h)
    xdo key x  # nothing matches
    wait_for 5 panel_height_not "$found" || fail "hyglx showed what hygl did"
    xdo key BackSpace KP_1
    picked '欢迎光临，很高兴为您服务！'
    chat_clear
    hotkey
    xdo key h y
    wait_for 5 panel_height_not "$h0" || fail "hy did not change the panel"
    xdo key Escape  # Esc clears the search: the digits are the rows' again
    wait_for 5 eval 'probe_bar && [ "$(fact h)" = "$h0" ]' || fail "the first Esc did not clear the search: $(fact h) px high, not $h0"
    panel_open || fail "the first Esc closed the panel"
    xdo key Escape
    wait_for 3 eval '! panel_open' || fail "the second Esc did not close the panel"
    xdo type abc
    wait_for 3 chat_is abc || fail "letters after the panel closed: '$(chat_text)'"
    note "Backspace, a keypad digit, Esc twice; letters reach the chat again"
}

run_scenarios initials_find_an_own_reply_and_a_team_reply backspace_esc_and_the_keypad
