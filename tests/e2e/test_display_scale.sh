#!/usr/bin/env bash
# The bar at 96, 120, 144 and 192 DPI. Wine, like Windows 7 up to 125 %, does not scale a
# DPI-unaware program: it sees the real DPI, larger menu rows and small icons, and pixels as they
# are. At each scale: a first start sits on the work area's bottom (the whole screen here: Xvfb
# has no taskbar), the manifest is taken (common controls v6), the launcher menu's icons are
# whole at the rows' size, a click on a reply row pastes that reply, and both dialogs lie
# within their windows. Screenshots of the menu and both dialogs at every scale.
. "$(dirname "$0")/lib.sh"
BASE_PREFIX=$WINEPREFIX
SCALED=""
stop_scaled() {
    [ -n "$SCALED" ] || return 0
    end_prefix "$SCALED"
    rm -rf "$SCALED"
    SCALED=""
}

# A copy of the test prefix at that DPI, for the rest of the scenario. Wine reads LogPixels
# when its server starts.
scaled_prefix() {
    SCALED="$WORK/prefix-dpi$1"
    copy_prefix "$BASE_PREFIX" "$SCALED"
    export WINEPREFIX=$SCALED
    APPDATA="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
    w reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    probe metrics "$(winpath "$WORK/metrics.txt")"
    [ "$(fact dpi "$WORK/metrics.txt")" = "$1" ] || fail "the prefix is at $(fact dpi "$WORK/metrics.txt") DPI, not $1"
}

# Every visible control of a dialog inside its window.
controls_inside() {  # controls_inside CLASS
    local l t r b ctl rect
    find_window "$1" '' || fail "no $1"
    l=$(fact x "$WORK/win.txt"); t=$(fact y "$WORK/win.txt")
    r=$((l + $(fact w "$WORK/win.txt"))); b=$((t + $(fact h "$WORK/win.txt")))
    controls_of "$1"
    while IFS='|' read -r ctl visible _ rect _; do
        [ "$visible" = 1 ] || continue
        IFS=, read -r cl ct cr cb <<<"$rect"
        [ "$cl" -ge "$l" ] && [ "$ct" -ge "$t" ] && [ "$cr" -le "$r" ] && [ "$cb" -le "$b" ] ||
            fail "$1 at $dpi DPI: ${ctl%%=*} ($rect) reaches out of the window ($l,$t,$r,$b)"
    done < <(grep '^ctl' "$WORK/ctl.txt")
}

# How many columns wide the first thing painted in a part of a picture is, from its leftmost
# painted column to the first column of background (the part's top-left colour) after it.
first_run() {  # first_run PNG X Y W H
    convert "$1" +repage -crop "$4x$5+$2+$3" +repage txt:- |
        awk -F'[,: ]+' 'NR == 2 { bg = $NF } NR > 1 && $NF != bg { painted[$1] = 1 }
            END { for (x = 0; x < '"$4"'; ++x) { if (painted[x]) n++; else if (n) break }; print n + 0 }'
}

# dialog_at_scale SPOT CLASS NAME: a right click on that spot of the bar opens the dialog; its
# shot, its controls inside it, then its close box.
dialog_at_scale() {
    on_bar $1 click 3
    wait_for 10 window_up "$2" '' || fail "$2 did not open at $dpi DPI"
    screen_settled "$(fact w "$WORK/win.txt")x$(fact h "$WORK/win.txt")+$(fact x "$WORK/win.txt")+$(fact y "$WORK/win.txt")" ||
        fail "$2 kept changing at $dpi DPI"
    find_window "$2" '' || fail "no $2"
    shot_window "${3}_${dpi}dpi"
    controls_inside "$2"
    probe sysclose "$2"
    wait_for 10 window_gone "$2" '' || fail "$2 did not close"
}

# at_scale DPI: everything above at that scale, in a prefix of its own that ends with it.
at_scale() {
    dpi=$1
    trap stop_scaled EXIT
    scaled_prefix "$dpi"
    cymenu=$(fact cymenu "$WORK/metrics.txt"); smicon=$(fact smicon "$WORK/metrics.txt")
    reset_state
    put_reply 0.txt '第一条回复\r\n'
    put_reply 1.txt '第二条回复\r\n'
    put_reply 2.txt '第三条回复\r\n'
    local ql="$APPDATA/Microsoft/Internet Explorer/Quick Launch"
    rm -rf "$ql"  # whatever earlier scripts left there
    mkdir -p "$ql"
    for f in a.lnk b.url notes.txt LICENSE; do printf 'x' >"$ql/$f"; done

    start_chat 300 150
    start_bar
    bx=$(fact x); by=$(fact y)
    IFS=, read -r _ _ _ wabottom <<<"$(fact workarea)"
    [ "$bx,$((by + $(fact h)))" = "159,$wabottom" ] ||
        fail "at $dpi DPI the first start put the bar at $bx,$by: not 159 px in, on the work area's bottom $wabottom"
    probe comctl "$(winpath "$WORK/comctl.txt")"
    fact path "$WORK/comctl.txt" | grep -qi 'winsxs.*common-controls' ||
        fail "the manifest was not taken: comctl32 is '$(fact path "$WORK/comctl.txt")'"
    note "$dpi DPI (small icons $smicon px, menu rows $cymenu px): the bar starts at $bx,$by on the work area's bottom; common controls v6"

    # The launcher menu: four rows of SM_CYMENU, each icon whole: as wide as the rows allow.
    open_launcher || fail "the launcher menu did not open at $dpi DPI"
    mx=$(fact x "$WORK/menu.txt"); my=$(fact y "$WORK/menu.txt")
    mw=$(fact w "$WORK/menu.txt"); mh=$(fact h "$WORK/menu.txt")
    [ $(( (mh - 6) / cymenu )) = 4 ] || fail "the menu is $mh px high at $dpi DPI, not 4 rows of $cymenu"
    shot "launcher_menu_${dpi}dpi" "$((mw + 20))x$((mh + 20))+$((mx - 10))+$((my - 10))"
    icon=$(( smicon < cymenu - 3 ? smicon : cymenu - 3 ))
    widest=0
    for row in 0 1 2 3; do
        # The icon column of the row: the item starts inside the menu's 3 px frame.
        box=$(first_run "$SHOTS/launcher_menu_${dpi}dpi.png" 13 $((13 + row * cymenu)) $((icon + 4)) "$cymenu")
        [ "$box" -gt "$widest" ] && widest=$box
    done
    # Wine's document icon fills 5/6 of its square or more; cut to its 16 px top-left corner and
    # reduced, it was 13 px wide at 144 DPI and 12 px at 192.
    [ "$widest" -ge $((icon * 2 / 3)) ] ||
        fail "at $dpi DPI the widest launcher icon is $widest px in a $icon px icon column"
    note "launcher menu: rows of $cymenu px, icons up to $widest px wide of $icon"
    wait_for 4 menu_closed || fail "the menu did not close by itself"

    # Rows are picked as aimed: the reply panel's geometry is in the bar's own pixels.
    pick_row 2
    wait_for 5 chat_is '第三条回复' || fail "at $dpi DPI row 2 pasted '$(chat_text)'"
    pick_row 0
    wait_for 5 chat_is '第三条回复第一条回复' || fail "at $dpi DPI row 0 pasted '$(chat_text)'"
    note "rows 2 and 0 pasted their replies"

    # The settings dialog (right click on the drag strip) and the reply editor (right click on
    # the reply button).
    dialog_at_scale "$DRAG_STRIP" ReplyBar.Settings settings_dialog
    dialog_at_scale "$REPLY_BUTTON" ReplyBar.ReplyEditor editor
    note "both dialogs keep their controls inside their windows"
    close_bar
}
bar_at_96_dpi() { at_scale 96; }
bar_at_120_dpi() { at_scale 120; }
bar_at_144_dpi() { at_scale 144; }
bar_at_192_dpi() { at_scale 192; }

run_scenarios bar_at_96_dpi bar_at_120_dpi bar_at_144_dpi bar_at_192_dpi
