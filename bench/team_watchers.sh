#!/usr/bin/env bash
# The team-of-200 benchmark: starts the counting web server on 127.0.0.1 over a folder of its
# own, runs team_watchers.exe (the bars' watches, many in one process) against it and against
# the same folder as a path, and stops the server it started.
#   team_watchers.sh BIN_DIR [BARS] [REST_SECONDS]
set -euo pipefail
bin=$1 bars=${2:-200} rest=${3:-60}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/replybar-team200.XXXXXX")
server=
cleanup() {  # the benchmark's own status stays the script's
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/site"
python3 "$here/team_server_counting.py" "$work/site" "$work/port" "$work/requests.log" &
server=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || { echo "team of 200: the web server did not start" >&2; exit 1; }
. "$REPLYBAR_HARNESS/env.sh"
winpath() { WINEDEBUG=-all winepath -w "$1" 2>/dev/null; }
"$here/../tests/harness/wine-run.sh" "$bin/team_watchers.exe" \
    "http://127.0.0.1:$(cat "$work/port")/团队回复.csv" "$(winpath "$work/site")" \
    "$(winpath "$work/requests.log")" "$bars" "$rest"
