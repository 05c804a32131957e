# Prepares a Wine prefix for ReplyBar once: wineboot, and font links so that dialogs and message
# boxes show Chinese glyphs. Sourced by run.sh and the test harness.
#   prepare_wine_prefix DIR LOGFILE
prepare_wine_prefix() {
    local prefix=$1 log=$2 f
    [ -f "$prefix/.prepared" ] && return 0
    rm -rf "$prefix"
    WINEPREFIX="$prefix" LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all wineboot -i </dev/null >>"$log" 2>&1
    for f in Tahoma "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" SimSun 宋体; do
        WINEPREFIX="$prefix" LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all wine reg add \
            'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
            /v "$f" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f \
            </dev/null >>"$log" 2>&1
    done
    # The Win32 tests open and close many dialogs: unmanaged, Wine does not wait for a window
    # manager (there is none) to withdraw each one.
    WINEPREFIX="$prefix" LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all wine reg add \
        'HKCU\Software\Wine\AppDefaults\win_tests.exe\X11 Driver' /v Managed /d N /f \
        </dev/null >>"$log" 2>&1
    WINEPREFIX="$prefix" wineserver -w
    touch "$prefix/.prepared"
}
