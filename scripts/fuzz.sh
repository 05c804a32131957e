#!/usr/bin/env bash
# Runs every fuzzer for SECONDS each (default 60) from its seed corpus; new inputs it finds stay
# in build/fuzz/corpus. Stops at the first crash, sanitizer report or leak.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
need_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
cmake --preset fuzz -DREPLYBAR_FUZZ_SECONDS="${1:-60}" >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz --output-on-failure
