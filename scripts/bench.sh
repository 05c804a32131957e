#!/usr/bin/env bash
# Every benchmark figure of ReplyBar under Wine, each as a ratio against a baseline measured in
# the same run (medians of alternating runs) and beside its goal: start-up against a bare
# topmost window, the hotkey to the painted panel against a bare window grown on the same hotkey,
# a 150-entry launcher build against the bare shell-icon look-ups, a reply pick by mouse and by
# key against a bare SendInput Ctrl+V, parsing a 2,000-reply team file against decoding its bytes
# alone, the panel on a 300-reply team group against the user's 41, one search keystroke over
# every reply against the hotkey's opening, the matcher alone; then the bar's peak working
# set, without a team library and with one of 2,000 replies; a team of 200 bars on one web
# server and one folder (requests per second at rest, what a new 2 MB version costs and how
# long until every bar has it, beside their goals); and the size and imports of the stripped
# ReplyBar.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
need_wine_setup

cmake --preset windows >/dev/null
cmake --build --preset windows >/dev/null
log=build/windows/bench-all.log
# Start-up first, on a quiet machine; then the others.
{ ctest --preset windows --output-on-failure -L startup -V &&
  ctest --preset windows --output-on-failure -L bench -LE startup -V; } >"$log" 2>&1 \
    || { cat "$log"; exit 1; }
grep -E 'ratio |memory: |team of [0-9]+' "$log" | sed 's/^[0-9]*: //'
exe=build/windows/ReplyBar.exe
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
echo "size: ReplyBar.exe $(stat -c %s "$exe") bytes stripped (goal <= 750,000 bytes); imports at start: $imports"
