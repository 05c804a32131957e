#!/usr/bin/env bash
# history.txt is written off the bar's thread: a key pick pastes as fast while another program
# holds the file as while it is free, and the picks made meanwhile reach it once it is free. A
# line dated 9999 does not keep the reply picked last from coming first in the search.
. "$(dirname "$0")/lib.sh"
reset_state
REPLIES=('欢迎光临，请问有什么可以帮您？' '欢迎光临本店，祝您购物愉快！' '收到，马上为您处理'
    '好的，请稍等' '不客气，祝您生活愉快' '已经为您登记了' '稍后给您回电话')
for i in "${!REPLIES[@]}"; do put_reply "$i.txt" "${REPLIES[i]}\r\n"; done
put_reply n.txt '不要自动发送信息\r\n'  # only pasted: the text's arrival is what is timed
HISTORY="$APPDATA/history.txt"
start_chat 300 150

panel_open() { probe_bar && [ "$(fact h)" != 29 ]; }
# key_pick KEY... ROW: the hotkey, then the keys; prints the seconds from the last key until
# reply ROW (1 for the first) is in the chat.
key_pick() {
    local want=${REPLIES[${*: -1} - 1]} start end=$(( ${EPOCHREALTIME/./} + 10000000 ))
    chat_clear
    xdo mousemove 600 300
    until xdo key ctrl+alt+r && wait_for 2 panel_open; do sleep 0.5; done
    sleep 1  # the panel's keys are the bar's once it has painted, later on a busy machine
    [ $# -lt 3 ] || xdo key "${@:1:$#-2}"
    start=$(now)
    xdo key "${@: -2:1}"
    until chat_is "$want"; do
        [ "${EPOCHREALTIME/./}" -lt "$end" ] || fail "the chat holds '$(chat_text)', not '$want'"
        sleep 0.02
    done
    seconds_since "$start"
}
median() { printf '%s\n' "$@" | sort -n | sed -n 2p; }  # of three
history_holds() {  # history_holds ROW...: those replies have lines in history.txt
    for row in "$@"; do grep -qF $'\t'"${REPLIES[row - 1]}" "$HISTORY" 2>/dev/null || return 1; done
}

a_line_dated_9999_pins_nothing() {
    stop_bar
    printf '253402300799\t\t%s\r\n' "${REPLIES[0]}" >"$HISTORY"
    need_bar
    key_pick 2 2 >/dev/null
    key_pick h y g l 1 2 >/dev/null  # both begin 欢迎光临; the one picked last comes first
    note "after a pick of row 2, hygl puts it first, ahead of the line dated 9999"
}

picks_go_out_at_once_while_the_history_is_held() {
    need_bar
    for row in 3 4 5; do free+=("$(key_pick "$row" "$row")"); done
    wait_for 10 history_holds 3 4 5 || fail "the picks were not written: $(cat "$HISTORY")"
    w_bg "$BIN/e2e_probe.exe" holdread "$(winpath "$HISTORY")" "$(winpath "$WORK/held")" \
        "$(winpath "$WORK/let-go")"
    trap 'touch "$WORK/let-go"' EXIT
    wait_for 10 test -f "$WORK/held" || fail "the history file could not be held"
    before=$(sha1sum <"$HISTORY")
    for row in 6 7 3; do held+=("$(key_pick "$row" "$row")"); done  # 3: one more to time
    [ "$(sha1sum <"$HISTORY")" = "$before" ] || fail "the held file was replaced"
    note "from the key to the text in the chat: free ${free[*]} s, held ${held[*]} s"
    longer=$(awk -v h="$(median "${held[@]}")" -v f="$(median "${free[@]}")" 'BEGIN{print h-f}')
    between "$longer" -10 0.5 || fail "picks took $longer s longer while the history was held"

    touch "$WORK/let-go"
    wait "${PIDS[-1]}" || true  # the holder has let go
    key_pick 4 4 >/dev/null
    wait_for 10 history_holds 6 7 4 || fail "the held picks are not in the file: $(cat "$HISTORY")"
}

run_scenarios a_line_dated_9999_pins_nothing picks_go_out_at_once_while_the_history_is_held
