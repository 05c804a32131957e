#!/usr/bin/env bash
# Where a lead publishes the team library: a file in each state it can be in, a share reached
# by its \\server\share path, a web server on 127.0.0.1 that this script starts and stops, and
# an answer that never ends. A small program (e2e_team_source.cpp) watches the source for a
# while and writes each outcome with its time.
. "$(dirname "$0")/lib.sh"

team_places

library() {  # library N: a team file of N replies, as Excel's "CSV UTF-8" saves it
    printf '\xEF\xBB\xBF分组,回复,图标\r\n'
    for i in $(seq "$1"); do printf '售后,"第 %s 条, 回复",%s\r\n' "$i" $((i % 10)); done
}
OUT="$WORK/outcomes.txt"
watch_source() {  # watch_source LOCATION CHECK_SECONDS READ_LIMIT_MS RUN_MS, in the background
    rm -f "$OUT"
    w_bg "$BIN/e2e_team_source.exe" "$1" "$(winpath "$OUT")" "$2" "$3" "$4"
    WATCH_PID=$!
    WATCH_ENDS_IN=$(( ($4 + 1500) / 1000 + 8 ))  # its run and last pause; Wine starts slowly
}
told() { grep -q -- "$1" "$OUT" 2>/dev/null; }
watch_ends() { wait_for "$WATCH_ENDS_IN" eval "! kill -0 $WATCH_PID 2>/dev/null" || fail "the watch's program did not end"; }
outcomes() { grep -v ' destroyed ' "$OUT" | cut -d' ' -f2- | uniq | tr '\n' '|'; }

# Each state of a file as it is told, checked every second for 5.5 s: read once it has
# settled, then unchanged; a faulty file is refused whole.
file_states_are_told_as_what_they_are() {
    local name arrange expected file="$SHARE/团队回复.csv"
    while IFS='|' read -r name arrange expected; do
        rm -f "$file"
        eval "$arrange"
        watch_source "$(winpath "$file")" 1 10000 5500  # no step cut short on a busy machine
        watch_ends
        [ "$(outcomes)" = "$expected|" ] || fail "$name: told $(outcomes) rather than $expected"
    done <<'CASES'
missing|:|unreachable 找不到文件
settled|library 3 >"$file"|fetched 3|unchanged
malformed|printf '分组,回复\r\nA,"open\r\n' >"$file"|faulty 2|unchanged
past 2 MB|library 1 >"$file"; truncate -s 3M "$file"|faulty 0|unchanged
CASES
    # Saved again before it settled: only the last version is read.
    library 1 >"$file"
    watch_source "$(winpath "$file")" 60 10000 6000  # a slow machine must not make a step "无响应"
    sleep 1
    library 5 >"$file"
    watch_ends
    [ "$(outcomes)" = 'fetched 5|' ] || fail "a file being written was told as $(outcomes)"
    # Held by another program without sharing: read at the first check after it is let go,
    # although its size and time never changed.
    w_bg "$BIN/e2e_probe.exe" hold "$(winpath "$file")" 5
    sleep 1
    watch_source "$(winpath "$file")" 1 10000 8000
    watch_ends
    [ "$(outcomes)" = 'unreachable 文件被占用|fetched 5|unchanged|' ] ||
        fail "a held file was told as $(outcomes)"
}

# The share's file is read once it has settled, and a version the lead saves later reaches the
# watch by the folder's change notice: the regular check is a minute away.
share_file_is_read_and_a_saved_change_reaches_the_watch() {
    library 3 >"$SHARE/团队回复.csv"
    watch_source '\\teamserver\share\团队回复.csv' 60 3000 10000
    wait_for 5 told 'fetched 3' || fail "the share's file was not read: $(outcomes)"
    library 120 >"$SHARE/团队回复.csv.tmp"
    mv "$SHARE/团队回复.csv.tmp" "$SHARE/团队回复.csv"  # saved as editors do: a new file renamed
    wait_for 5 told 'fetched 120' || fail "the saved change did not reach the watch: $(outcomes)"
    watch_ends
    note "share: $(outcomes)"
}

# The same file again is a 304, a new version is read whole, a missing one is a 404, and a
# stopped server is told as such.
address_is_read_with_conditional_requests() {
    start_server
    library 3 >"$WORK/site/团队回复.csv"
    watch_source "$SITE/团队回复.csv" 1 3000 7000
    wait_for 5 told 'fetched 3' || fail "the address was not read: $(outcomes)"
    wait_for 5 told 'unchanged' || fail "the same file was not told unchanged: $(outcomes)"
    grep -q '"GET /.* 304 ' "$WORK/server.log" || fail "the server never answered 304"
    library 7 >"$WORK/site/团队回复.csv"
    wait_for 5 told 'fetched 7' || fail "the new version was not read: $(outcomes)"
    watch_ends
    note "address: $(outcomes)"
    watch_source "$SITE/没有这个.csv" 60 3000 1000
    watch_ends
    told 'unreachable 服务器返回 404' || fail "a missing file was told as $(outcomes)"
    stop_server
    watch_source "$SITE/团队回复.csv" 60 3000 1000
    watch_ends
    told 'unreachable 无法连接服务器' || fail "a stopped server was told as $(outcomes)"
}

# An answer that never ends (each byte in time, the whole never) is told as not answering
# within the read limit and not asked for again meanwhile; the watch goes at once and tells
# nothing after. (Wine refuses to open a FIFO or a device, error 87, so a hung share cannot be
# staged as a path; a path and an address share the time limit.)
slow_source_is_told_unreachable_in_time() {
    start_server
    watch_source "$SITE/slow" 1 1500 5000
    wait_for 5 told 'unreachable' || fail "the slow answer was never told: $(outcomes)"
    local first took asked
    first=$(grep -m1 unreachable "$OUT")
    [ "${first#* }" = 'unreachable 无响应' ] || fail "the slow answer was told as '$first'"
    [ "${first%% *}" -le 2500 ] || fail "told only after ${first%% *} ms, the limit is 1500"
    watch_ends
    took=$(sed -n 's/^[0-9]* destroyed //p' "$OUT")
    [ -n "$took" ] && [ "$took" -lt 200 ] || fail "the watch took ${took:-forever} ms to go away"
    [ "$(tail -n 1 "$OUT")" = "$(grep destroyed "$OUT")" ] || fail "told after it went: $(outcomes)"
    asked=$(grep -c '"GET /slow ' "$WORK/server.log" || true)
    [ "$asked" = 1 ] || fail "the slow source was asked $asked times while its answer was running"
    note "slow source: told at ${first%% *} ms, asked once, the watch went in $took ms"
}

run_scenarios file_states_are_told_as_what_they_are \
    share_file_is_read_and_a_saved_change_reaches_the_watch \
    address_is_read_with_conditional_requests slow_source_is_told_unreachable_in_time
