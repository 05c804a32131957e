#!/usr/bin/env bash
# The package a Windows user downloads (scripts/package.sh, run by the test command before the
# tests): unpacked into an empty folder, its exe runs and says what it is, imports nothing but
# the system's DLLs and asks for Windows 7; the guide is for Notepad.
. "$(dirname "$0")/lib.sh"
version=$(cat "$BIN/version.txt")
zip="$SRC/dist/ReplyBar-$version-win64.zip"
[ -f "$zip" ] || fail "no package $zip (scripts/package.sh)"
out="$WORK/unpacked"
mkdir -p "$out"
python3 -m zipfile -e "$zip" "$out"

package_holds_the_exe_the_guide_and_the_licence() {
    for f in ReplyBar.exe 使用说明.txt LICENSE.txt 团队回复示例.csv; do [ -f "$out/$f" ] || fail "the package has no $f"; done
    grep -q 'MIT License' "$out/LICENSE.txt" || fail "LICENSE.txt holds no MIT licence"
    [ "$(head -c 3 "$out/使用说明.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the guide has no byte-order mark"
    grep -q "快捷回复条 $version 使用说明" "$out/使用说明.txt" || fail "the guide does not carry version $version"
    grep -q $'Windows 7 或更高版本' "$out/使用说明.txt" || fail "the guide does not state the minimum Windows"
    grep -q '星期六和星期日' "$out/使用说明.txt" || fail "the guide does not give the home page's weekend rule"
    grep -q 'UTF-16' "$out/使用说明.txt" || fail "the guide does not say which encodings a reply file may use"
    [ "$(grep -c $'\r$' "$out/使用说明.txt")" = "$(wc -l <"$out/使用说明.txt")" ] || fail "the guide's lines do not end in CR LF"
}

# Nothing but the system's DLLs; no symbols; Windows 7 (6.1) as the oldest system.
exe_needs_only_the_system_and_windows_7() {
    dump=$(x86_64-w64-mingw32-objdump -p "$out/ReplyBar.exe")
    # The import table names the DLLs loaded at start; the delay-loaded ones and any loaded by
    # name appear only as strings in the file, so every DLL name in it is checked.
    imports=$({ sed -n 's/^\s*DLL Name: //p' <<<"$dump"
        strings -a "$out/ReplyBar.exe"; strings -a -el "$out/ReplyBar.exe"; } |
        grep -iE '^[a-z0-9_.-]+\.dll$' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
    for dll in $imports; do
        case "$dll" in
        kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | shell32.dll | ole32.dll | oleaut32.dll | \
            comctl32.dll | comdlg32.dll | msvcrt.dll | msimg32.dll | shlwapi.dll | version.dll | \
            wtsapi32.dll | winhttp.dll | mpr.dll) ;;
        *) fail "ReplyBar.exe imports $dll" ;;
        esac
    done
    grep -qE 'MajorSubsystemVersion\s+6' <<<"$dump" && grep -qE 'MinorSubsystemVersion\s+1' <<<"$dump" \
        || fail "the subsystem version is not 6.1"
    ! x86_64-w64-mingw32-objdump -h "$out/ReplyBar.exe" | grep -q '\.debug' || fail "ReplyBar.exe is not stripped"
    note "imports: $imports; subsystem 6.1; stripped, $(stat -c %s "$out/ReplyBar.exe") bytes"
}

# The version resource, as Explorer reads it.
version_resource_says_what_it_is() {
    probe version "$(winpath "$out/ReplyBar.exe")" "$(winpath "$WORK/version.txt")"
    [ "$(fact FileDescription "$WORK/version.txt")" = 快捷回复条 ] || fail "FileDescription: $(cat "$WORK/version.txt")"
    [ "$(fact FileVersion "$WORK/version.txt")" = "$version" ] || fail "FileVersion: $(fact FileVersion "$WORK/version.txt")"
    [ "$(fact ProductName "$WORK/version.txt")" = ReplyBar ] || fail "ProductName: $(fact ProductName "$WORK/version.txt")"
    [ "$(fact translation "$WORK/version.txt")" = 080404b0 ] || fail "language: $(fact translation "$WORK/version.txt")"
}

unpacked_exe_runs() {
    reset_state
    w_bg "$out/ReplyBar.exe"
    wait_for 30 bar_up || fail "the unpacked ReplyBar.exe showed no bar"
    close_bar
    note "the unpacked ReplyBar.exe $version showed the bar"
}

run_scenarios package_holds_the_exe_the_guide_and_the_licence exe_needs_only_the_system_and_windows_7 \
    version_resource_says_what_it_is unpacked_exe_runs
