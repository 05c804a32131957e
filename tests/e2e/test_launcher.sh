#!/usr/bin/env bash
# The launcher menu: the launch folder's normal files with their icons, the close countdown,
# and an item opening its file through the shell.
. "$(dirname "$0")/lib.sh"
reset_state
rm -rf "$QUICK_LAUNCH"
mkdir -p "$QUICK_LAUNCH/子文件夹"
printf 'x' >"$QUICK_LAUNCH/a.lnk"
printf '[InternetShortcut]\r\nURL=http://example.invalid/\r\n' >"$QUICK_LAUNCH/b.url"
printf 'n' >"$QUICK_LAUNCH/notes.txt"
printf 'l' >"$QUICK_LAUNCH/LICENSE"
printf '[.ShellClassInfo]\r\n' >"$QUICK_LAUNCH/desktop.ini"
w attrib +h "${QUICK_LAUNCH_W}desktop.ini"
# "The shell opened X": .url and .txt files open the logger, which writes its command line.
log_shell_opens InternetShortcut txtfile
start_chat 300 120
launcher() { on_bar $LAUNCHER_BUTTON click 1; }
# The open menu's corner, after menu_open.
menu_corner() { mx=$(fact x "$WORK/menu.txt"); my=$(fact y "$WORK/menu.txt"); }
menu_geometry() { echo "$(fact w "$WORK/menu.txt")x$(fact h "$WORK/menu.txt")+$(fact x "$WORK/menu.txt")+$(fact y "$WORK/menu.txt")"; }
# The pointer onto the open menu's item at X,Y: the menu shows the item selected.
onto_item() {  # onto_item X Y
    local before="$WORK/menu-before.png"
    import -window root -crop "$(menu_geometry)" +repage "$before"
    xdo mousemove "$1" "$2"
    wait_for 5 eval 'import -window root -crop "$(menu_geometry)" +repage "$WORK/menu-now.png" &&
        ! compare -metric AE "$before" "$WORK/menu-now.png" null: >/dev/null 2>&1' ||
        fail "the item at $1,$2 did not show selected"
}
# The moment the menu goes, told by a watch inside Wine that looks every 10 ms: a probe started
# afresh for each look lags by as long as a start takes on a busy machine, and the closing
# times below would be off by as much.
watch_menu() {  # in the background, until the menu has come (or is there) and gone
    rm -f "$WORK/menu-ready" "$WORK/menu-gone"
    w_bg "$BIN/e2e_probe.exe" hidden '#32768' 15000 "$(winpath "$WORK/menu-ready")" "$(winpath "$WORK/menu-gone")"
    wait_for 10 test -f "$WORK/menu-ready" || fail "the menu watch did not start"
}
menu_gone_after() {  # menu_gone_after T0: seconds from T0 (now's format) until the menu went
    wait_for 20 test -s "$WORK/menu-gone" || fail "the menu watch did not end"
    local at; at=$(fact hidden "$WORK/menu-gone")
    [ -n "$at" ] || fail "the menu did not close by itself"
    awk -v a="$at" -v b="$1" 'BEGIN { printf "%.2f", a - b }'
}
# open_for SECONDS: the menu stays open at every look for that long.
open_for() {
    local end=$(( ${EPOCHREALTIME/./} + $(awk -v s="$1" 'BEGIN { printf "%d", s * 1000000 }') ))
    while [ "${EPOCHREALTIME/./}" -lt "$end" ]; do menu_open || return 1; done
}

# Opened with the pointer resting on the button: the countdown of six ticks closes it. Four
# items (a, b, LICENSE, notes.txt; no hidden file, no folder): four rows of SM_CYMENU.
menu_lists_normal_files_and_closes_by_itself() {
    need_bar
    watch_menu
    open_launcher || fail "the launcher menu did not open"
    t0=$LAUNCHER_CLICKED
    my=$(fact y "$WORK/menu.txt"); mh=$(fact h "$WORK/menu.txt")
    shot launcher_menu "260x$((mh + 50))+$((bx - 10))+$((my - 10))"
    took=$(menu_gone_after "$t0")
    between "$took" 0.9 2.2 || fail "closed after $took s, not about 1.2 s"
    note "the menu closed by itself after $took s (pointer away from the items)"
    rows=$(( (mh - 6) / 19 ))
    [ "$rows" = 4 ] || fail "the menu is $mh px high: $rows rows, not 4"
}

# Over the items, then away: it closes about 0.8 s after the pointer left them.
menu_stays_open_over_its_items() {
    need_bar
    launcher
    wait_for 3 menu_open || fail "the menu did not open again"
    menu_corner
    onto_item $((mx + 40)) $((my + 12))
    xdo mousemove $((mx + 40)) $((my + 31))
    open_for 1.8 || fail "the menu closed while the pointer was on an item"
    watch_menu
    xdo mousemove $((bx + 300)) $((by - 300))
    t0=$(now)
    took=$(menu_gone_after "$t0")
    between "$took" 0.5 1.8 || fail "closed $took s after the pointer left, not about 0.8 s"
    note "the menu stayed open over its items and closed $took s after the pointer left"
}

# Choosing b opens launchFolder\b.url through the shell; the chat window keeps the focus
# until then.
choosing_an_item_opens_its_file() {
    need_bar
    rm -f "$OPENED"
    launcher
    wait_for 3 menu_open || fail "the menu did not open a third time"
    menu_corner
    onto_item $((mx + 40)) $((my + 3 + 19 + 9))
    xdo click 1
    wait_for 10 test -s "$OPENED" || fail "nothing was opened"
    grep -qF "${QUICK_LAUNCH_W}b.url" "$OPENED" || fail "opened: $(cat "$OPENED")"
    note "choosing b opened ${QUICK_LAUNCH_W}b.url"
    close_bar
}

# The appearance presets side by side, drawn through the real drawing path.
appearance_presets_are_drawn() {
    w "$BIN/e2e_presets.exe" "$(winpath "$WORK/presets.bmp")"
    convert "$WORK/presets.bmp" "$SHOTS/menu_presets.png"
    note "screenshot $SHOTS/menu_presets.png"
}

# A launch folder that is not there: one grey item says so, and choosing it opens nothing.
missing_folder_shows_one_grey_item() {
    stop_bar
    reg_set "2385,11565,C:\\没有这个文件夹,about:blank"
    rm -f "$OPENED"
    start_bar
    bx=$(fact x); by=$(fact y)
    open_launcher || fail "the menu of a missing folder did not open"
    menu_corner; mh=$(fact h "$WORK/menu.txt")
    [ $(( (mh - 6) / 19 )) = 1 ] || fail "the menu of a missing folder is $mh px high"
    shot launcher_menu_missing_folder "200x$((mh + 20))+$((mx - 10))+$((my - 10))"
    xdo mousemove $((mx + 40)) $((my + 12)) click 1
    # An item that opens nothing shows nothing to wait for: a moment for a wrong open to land.
    sleep 1
    [ ! -s "$OPENED" ] || fail "the grey item opened $(cat "$OPENED")"
    close_bar
    note "a missing launch folder shows one grey item that opens nothing"
}

# A very long name: the menu stays within half the screen, the caption ends in an ellipsis,
# and the whole name shows under the item while it is selected.
long_name_is_cut_and_shown_whole() {
    stop_bar
    long=$(printf '很长的文件名%.0s' $(seq 12))
    mkdir -p "$WORK/long"
    printf 'x' >"$WORK/long/$long.txt"
    reg_set "2385,11565,$(winpath "$WORK/long")\\,about:blank"
    start_bar
    bx=$(fact x); by=$(fact y)
    open_launcher || fail "the menu with a long name did not open"
    menu_corner; mw=$(fact w "$WORK/menu.txt")
    [ "$mw" -le 670 ] || fail "the menu is $mw px wide: its item is wider than half the screen"
    xdo mousemove $((mx + 100)) $((my + 12))
    wait_for 3 window_up tooltips_class32 '' || fail "the whole name is not shown"
    shot launcher_long_name "$((mw + 20))x80+$((mx - 10))+$((my - 55))"
    close_bar
    note "a long name was cut to a $mw px menu and shown whole under its item"
}

# bar_on_folder FOLDER WHAT: a new bar listing FOLDER, its launcher menu open, at mx, my.
bar_on_folder() {
    stop_bar
    reg_set "2385,11565,$1,about:blank"
    rm -f "$OPENED"
    start_bar
    probe_bar; bx=$(fact x); by=$(fact y)
    open_launcher 30 || fail "the menu $2 did not open"
    menu_corner
}

# Two shortcuts to programs with icons of their own (the bar's, and the Win32 tests' from their
# resource script): each shows its program's icon, not the one shortcut icon of the type.
shortcuts_show_their_programs_icons() {
    mkdir -p "$WORK/programs"
    probe mklnk "$(winpath "$WORK/programs")\\回复条.lnk" "$(winpath "$BIN/ReplyBar.exe")" ||
        fail "no shortcut to ReplyBar.exe"
    probe mklnk "$(winpath "$WORK/programs")\\测试.lnk" "$(winpath "$BIN/win_tests.exe")" ||
        fail "no shortcut to win_tests.exe"
    bar_on_folder "$(winpath "$WORK/programs")\\" "of two shortcuts"
    mw=$(fact w "$WORK/menu.txt"); mh=$(fact h "$WORK/menu.txt")
    shot launcher_own_icons "${mw}x${mh}+${mx}+${my}"
    # The icon boxes of the two rows, with their surroundings: 24 px from the frame, a row high.
    for row in 0 1; do convert "$SHOTS/launcher_own_icons.png" +repage \
        -crop "24x19+3+$((3 + row * 19))" +repage "$WORK/icon$row.png"; done
    differ=$(compare -metric AE "$WORK/icon0.png" "$WORK/icon1.png" null: 2>&1 || true)
    [ "${differ%% *}" -gt 20 ] 2>/dev/null ||
        fail "the two shortcuts' icons differ in ${differ:-no} pixels: the same icon twice"
    note "the shortcuts to two programs show different icons ($differ pixels apart)"
    close_bar
}

# A launch folder far taller than the screen (160 files, 150 listed): the menu opens in columns,
# wholly on the 1280 × 800 screen beside the bar, never over its » button, and waits while the
# pointer rests on that button (150 names take longer to read than the 1.2 s a short menu gives);
# an entry of its last column opens its file.
tall_folder_opens_in_columns() {
    mkdir -p "$WORK/many"
    for i in $(seq -w 1 160); do printf 'x' >"$WORK/many/f$i.txt"; done
    bar_on_folder "$(winpath "$WORK/many")\\" "of 150 files"
    mw=$(fact w "$WORK/menu.txt"); mh=$(fact h "$WORK/menu.txt")
    bl=$((bx + 51)); bt=$((by + 4)); br=$((bx + 67)); bb=$((by + 26))  # the » button
    [ $((mx + mw)) -le "$bl" ] || [ "$mx" -ge "$br" ] || [ $((my + mh)) -le "$bt" ] || [ "$my" -ge "$bb" ] ||
        fail "the menu ${mw}x${mh}+${mx}+${my} covers the » button at $bl,$bt-$br,$bb"
    open_for 2.5 || fail "the menu closed while the pointer rested on the » button"
    shot launcher_columns_beside_bar "$((mx + mw))x800+0+0"
    onto_item $((mx + 20)) $((my + 12))
    shot_settled launcher_columns "${mw}x${mh}+${mx}+${my}"  # 150 owner-drawn items painted
    [ "$mx" -ge 0 ] && [ "$my" -ge 0 ] && [ $((mx + mw)) -le 1280 ] && [ $((my + mh)) -le 800 ] ||
        fail "the menu ${mw}x${mh}+${mx}+${my} is not wholly on the screen"
    rows=$(( (mh - 6) / 19 ))
    columns=$(( (150 + rows - 1) / rows ))
    [ "$columns" -ge 4 ] || fail "$rows rows per column cannot hold 150 entries in $columns columns"
    last=$(( 150 - (columns - 1) * rows ))  # rows in the last column
    onto_item $((mx + mw - 25)) $((my + 3 + (last - 1) * 19 + 9))
    menu_open || fail "the menu closed with the pointer on its last column"
    xdo click 1
    wait_for 10 test -s "$OPENED" || fail "the last column's entry opened nothing"
    # Wine lists a folder in name order: the last row of the last column is f150.
    grep -qF 'many\f150.txt' "$OPENED" || fail "opened: $(cat "$OPENED")"
    note "150 entries in $columns columns of $rows on screen; the last column opened $(tr -d '\r\n' <"$OPENED")"
    close_bar
}

# A file whose whole path is longer than MAX_PATH opens (by its short or "\\?\" form), and a
# file the shell refuses (a type nothing is registered for) is one message naming it and why.
deep_folder_files_open_or_say_why() {
    deep="$WORK/deep/$(printf 'folder%.0s' $(seq 25))"
    long_file="$(printf 'name%.0s' $(seq 20)).txt"
    mkdir -p "$deep"
    printf 'x' >"$deep/$long_file"
    printf 'x' >"$deep/zz.replybar-none"
    deepw="$(winpath "$deep")\\"
    [ $(( ${#deepw} + ${#long_file} )) -gt 260 ] || fail "the test path is not longer than MAX_PATH"
    bar_on_folder "$deepw" "of the deep folder"
    xdo mousemove $((mx + 40)) $((my + 3 + 9)) click 1
    wait_for 10 test -s "$OPENED" || fail "the file with a path past MAX_PATH opened nothing"
    note "a path of $(( ${#deepw} + ${#long_file} )) characters opened as $(tr -d '\r\n' <"$OPENED")"
    open_launcher || fail "the menu of the deep folder did not open again"
    menu_corner
    xdo mousemove $((mx + 40)) $((my + 3 + 19 + 9)) click 1
    wait_for 10 window_up '#32770' '快捷回复条' || fail "a file the shell refuses said nothing"
    rm -f "$WORK/box.txt"
    probe controls '#32770' "$(winpath "$WORK/box.txt")"
    grep -qF 'zz.replybar-none' "$WORK/box.txt" || fail "the message does not name the file: $(cat "$WORK/box.txt")"
    shot launcher_cannot_open
    answer_box '快捷回复条' $BOX_OK
    close_bar
}

run_scenarios menu_lists_normal_files_and_closes_by_itself menu_stays_open_over_its_items \
    choosing_an_item_opens_its_file appearance_presets_are_drawn missing_folder_shows_one_grey_item \
    long_name_is_cut_and_shown_whole shortcuts_show_their_programs_icons tall_folder_opens_in_columns \
    deep_folder_files_open_or_say_why
