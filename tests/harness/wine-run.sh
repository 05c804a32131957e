#!/bin/sh
# Runs a Windows program of the tests under the harness's Wine prefix and display.
# The wine services must not inherit the test runner's output pipe, or every run waits for
# them: start the server and the boot first with their output sent elsewhere.
h=${REPLYBAR_HARNESS:-$PWD/harness}
[ -f "$h/env.sh" ] || { echo "wine-run: no harness at $h (run the tests through ctest)" >&2; exit 1; }
. "$h/env.sh"
wineserver -p </dev/null >/dev/null 2>&1
LC_ALL=zh_CN.UTF-8 wine wineboot </dev/null >/dev/null 2>&1
LC_ALL=zh_CN.UTF-8 exec wine "$@"
