#!/usr/bin/env bash
# Builds everything and runs every test tier: native unit tests (ASan + UBSan, LeakSanitizer),
# the fuzzers, the Win32 tests under Wine, the package, and the end-to-end tests of ReplyBar.exe
# under Wine + Xvfb. Exits non-zero on any failure.
#
# The end-to-end tests mostly wait on Wine and the bar, so the native build, its unit tests and
# the fuzzers run beside them, at a lower priority: the keys the scripts type still reach the
# bar on time. Wine and the display are installed while the Windows build runs.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
mkdir -p build
need_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
# The Wine prefix the tests copy is made once Wine is there (the harness keeps it).
{
    need_wine_setup &&
        tests/harness/harness.sh setup build/windows/harness &&
        tests/harness/harness.sh teardown build/windows/harness
} >build/wine-setup.log 2>&1 &
wine_setup=$!

python3 tools/check_layout.py

cmake --preset windows >/dev/null
cmake --build --preset windows
wait "$wine_setup" || { cat build/wine-setup.log; echo "FAIL: installing Wine or making its prefix" >&2; exit 1; }
bash scripts/package.sh

# Three end-to-end scripts at a time: each has a display and a Wine prefix of its own, and one
# probe process answers its polls, so three leave most of a core to the builds.
ctest --preset windows --output-on-failure -j3 -LE bench >build/windows/tests.log 2>&1 &
wine_tests=$!
# Meanwhile the unit tests and the fuzzers, a bounded time each (longer runs: scripts/fuzz.sh
# SECONDS).
native=0
{
    nice -n 10 cmake --preset native >/dev/null &&
        nice -n 10 cmake --build --preset native &&
        nice -n 10 ctest --preset native --output-on-failure -j2
} >build/native.log 2>&1 || native=$?
windows=0
wait "$wine_tests" || windows=$?
cat build/native.log build/windows/tests.log
[ "$native" = 0 ] || { echo "FAIL: the native build, its unit tests or the fuzzers" >&2; exit 1; }
[ "$windows" = 0 ] || { echo "FAIL: the Win32 or end-to-end tests" >&2; exit 1; }

# The benchmarks, alone afterwards, print their figures as ratios against a baseline of the
# same run; the harness fixtures run again around them (about a second). The team of 200 takes
# two minutes: scripts/bench.sh runs it.
ctest --preset windows --output-on-failure -L bench -LE 'startup|long' -V >build/windows/bench.log 2>&1 \
    || { cat build/windows/bench.log; exit 1; }
grep -E ', ratio ' build/windows/bench.log | sed 's/^[0-9]*: /bench: /'
