#!/usr/bin/env bash
# Installs, only when missing, the Debian packages ReplyBar's build, run and tests need.
# Sourced by the scripts in this folder; quiet and idempotent.
need_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "installing: ${missing[*]}"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq >/dev/null
    # dpkg's fsync after every file is most of an install's time on a fresh machine.
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        -o Dpkg::Options::=--force-unsafe-io "${missing[@]}" >/dev/null
}

BUILD_PACKAGES=(cmake make g++ g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 python3)
WINE_PACKAGES=(wine wine64 xvfb xdotool imagemagick fonts-wqy-microhei x11-utils)
TEST_PACKAGES=(googletest libgtest-dev libgmock-dev faketime)
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# Wine takes its code page from the locale (936 under zh_CN) and needs the locale itself to turn
# Chinese file names into Unix ones.
need_chinese_locale() {
    need_packages locales
    locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$' && return 0
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
}

# What building ReplyBar and running it under Wine needs, plus any further package lists given.
need_wine_setup() {
    need_packages "${BUILD_PACKAGES[@]}" "${WINE_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "$@"
    need_chinese_locale
}
