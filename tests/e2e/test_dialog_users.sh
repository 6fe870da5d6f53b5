# The settings dialog as users other than a Japanese mouse user at 96 DPI meet it: English texts,
# high DPI, ownership by the window that opened it, and a screen reader in another process
# (probe access) reading and pressing the controls' accessible objects.
# Uses the helpers of test_dialog.sh (sourced before this file).

test_dialog_users_english_system_shows_no_japanese() {
  dlg_setup english 600 1 0
  export LANG=C.UTF-8  # Wine's UI language follows it: English
  dlg_open || return 1
  local row
  for row in "$DLG_SAVE .* OK" "$DLG_CANCEL .* Cancel" "$DLG_LABEL0 .* None" "$((DLG_LABEL0 + 1)) .* Audio CD" \
    "$((DLG_LABEL0 + 2)) .* MP3 / WAV" ".* Music" ".* Particles" ".* Repeat track"; do
    grep -q "^control $row\$" "$LW_DIALOG" || lw_fail "no control '$row'" || return 1
  done
  ! LC_ALL=C.UTF-8 grep -P '[\x{3000}-\x{30FF}\x{4E00}-\x{9FFF}\x{FF00}-\x{FFEF}]' "$LW_DIALOG" ||
    lw_fail "Japanese text on an English system" || return 1
  lw_screenshot "$LW_RUN_DIR/shots/dialog-english.png"
  lw_dialog_click $DLG_BROWSE
  lw_wait_window "Choose a music file" 30 || lw_fail "the file dialog's title is not English" || return 1
  sleep 1; xdotool key Escape
  lw_wait 15 bash -c '! xdotool search --name "^Choose a music file$"' || lw_fail "the file dialog stayed" || return 1
  lw_probe close '<Lumenweave>' box && lw_dialog_closed
}

# Wine reads the DPI from LogPixels when a program starts; the layout follows it, controls and
# pictures together. Wine 8 has one DPI for every monitor and sends no WM_DPICHANGED, so only the
# opening layout shows here. Rows: dpi, client size, the OK button's size, its pixels (corners
# and ring scaled with the twips, the caption's ink as dlg_buttons_ok takes them).
test_dialog_users_lays_out_for_the_dpi() {
  dlg_setup dpi 600 2 0
  local row dpi cw ch bw bh looks
  for row in "144 698 287 122 38 0,0,E0DCC9 0,19,E2DECB 61,0,E0DCC9 61,2,003C74 61,5,F3F3EE 121,19,F0EEE0 61,37,F8F7F0 ink:10" \
    "96 465 191 81 25 Normal"; do
    read -r dpi cw ch bw bh looks <<<"$row"
    lw_dpi "$dpi"
    dlg_open || return 1
    dlg_field client | grep -qx "client $cw $ch" || lw_fail "$dpi DPI: $(dlg_field client)" || return 1
    grep -q "^control $DLG_SAVE .* $bw $bh 1 設定\$" "$LW_DIALOG" || lw_fail "$dpi DPI: OK button not $bw x $bh" || return 1
    local checks=(); for look in $looks; do checks+=("$DLG_SAVE $look"); done
    dlg_buttons_look "dialog-$dpi-dpi" "${checks[@]}" || return 1
    lw_probe close '<Lumenweave>' box && lw_dialog_closed || return 1
  done
}

# "/c:HWND" as the display settings pass it: owned by that window when it is one. Rows: the
# argument, the owner expected (a handle of no window leaves it ownerless). Owned or not, the dialog
# sits centred across the screen, a third of the free height down, in a fixed frame: caption and
# close box; no sizing border, no minimise or maximise box.
test_dialog_users_owned_by_the_window_given_with_c() {
  dlg_setup owned 600 0 0
  local row args owner l t r b sw sh style
  lw_host owner 200 100 10 10 || return 1
  for row in "/c:$LW_HOST $LW_HOST" "/c 0" "/c:12345 0"; do
    read -r args owner <<<"$row"
    lw_dialog_open "$DLG_DIR/Lumenweave.scr" /dev/null "$args" || return 1
    grep -qx "handle .* owner $owner" "$LW_DIALOG" || lw_fail "$args: $(dlg_field handle)" || return 1
    read -r _ l t r b < <(dlg_field window); read -r _ sw sh < <(dlg_field screen); read -r _ style _ < <(dlg_field style)
    ((l == (sw - (r - l)) / 2 && t == (sh - (b - t)) / 3)) || lw_fail "$args: not centred: $(dlg_field window)" || return 1
    (((16#$style & 0x00C80000) == 0x00C80000 && (16#$style & 0x00070000) == 0)) || lw_fail "$args: style $style" || return 1
    lw_probe close '<Lumenweave>' box && lw_dialog_closed || return 1
  done
}

test_dialog_users_screen_reader_sees_and_presses_the_controls() {
  dlg_setup reader 700 1 3 && dlg_open || return 1
  LC_ALL=C.UTF-8 lw_probe access '<Lumenweave>' >"$LW_RUN_DIR/access.txt"  # roles and states in English
  local line want=("push button|...|focusable||Press" "radio button|無し|focusable||Check"
    "radio button|音楽CD|focused,checked,focusable||Check" "radio button|MP3、WAV|focusable||Check"
    "combo box|曲目をﾘﾋﾟｰﾄ|focusable|3|" "slider|粒子数|focusable|700|"
    "push button|設定|focusable||Press" "push button|ｷﾝｾﾙ|focusable||Press")
  for line in "${want[@]}"; do grep -qxF "$line" "$LW_RUN_DIR/access.txt" || lw_fail "not seen: $line" || return 1; done
  lw_probe access '<Lumenweave>' 無し && lw_probe access '<Lumenweave>' 設定 || lw_fail "a default action failed" ||
    return 1
  lw_dialog_closed && lw_ini_is "$DLG_INI" 700 0 3
}
