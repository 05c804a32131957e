#!/usr/bin/env bash
# Builds everything and runs every test tier: native unit tests (ASan + UBSan, LeakSanitizer),
# the fuzzers, the Win32 tests under Wine, the package, and the end-to-end tests of ReplyBar.exe
# under Wine + Xvfb. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
need_wine_setup "${FUZZ_PACKAGES[@]}"

python3 tools/check_layout.py

cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native --output-on-failure -j2

# The fuzzers, a bounded time each (longer runs: scripts/fuzz.sh SECONDS).
cmake --preset fuzz -DREPLYBAR_FUZZ_SECONDS=8 >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz --output-on-failure -j2

cmake --preset windows >/dev/null
cmake --build --preset windows
bash scripts/package.sh
# Two at a time: each end-to-end script has a display and a Wine prefix of its own. (Three at a
# time saves two minutes, but the keys of a busy machine then reach the bar late.)
ctest --preset windows --output-on-failure -j2 -LE bench
# The benchmarks, alone afterwards, print their figures as ratios against a baseline of the
# same run; the harness fixtures run again around them (about a second). The team of 200 takes
# two minutes: scripts/bench.sh runs it.
ctest --preset windows --output-on-failure -L bench -LE 'startup|long' -V >build/windows/bench.log 2>&1 \
    || { cat build/windows/bench.log; exit 1; }
grep -E ', ratio ' build/windows/bench.log | sed 's/^[0-9]*: /bench: /'
