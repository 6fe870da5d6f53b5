# The settings dialog without a mouse and through a screen reader: keys sent with xdotool to the
# focused window; the accessible objects read and pressed from another process (probe access).
source "$(dirname "${BASH_SOURCE[0]}")/test_dialog.sh"  # the dlg_* helpers (files load in any order)

LW_LIMIT_test_dialog_keys_save_cancel_and_move_the_focus=420
test_dialog_keys_save_cancel_and_move_the_focus() {
  # keys | music source saved (none: nothing written). The focus opens on the selected source.
  local rows=("Return|1" "Escape|" "Down Return|0" "Up Return|2" "shift+Tab space|"
              "Tab Tab Tab Tab Tab space|1" "Tab Tab Tab Tab Tab Tab Tab Up Return|2")
  local row keys source
  for row in "${rows[@]}"; do
    IFS='|' read -r keys source <<<"$row"
    dlg_setup keys 700 1 3 && cp "$DLG_INI" "$LW_RUN_DIR/before.ini" && dlg_open || return 1
    xdotool search --name '^<Lumenweave>$' windowfocus --sync 2>/dev/null; sleep 0.5
    xdotool key --delay 200 $keys
    dlg_closed || lw_fail "keys '$keys' left the dialog open" || return 1
    if [[ -z $source ]]; then cmp -s "$LW_RUN_DIR/before.ini" "$DLG_INI" || lw_fail "keys '$keys' wrote" || return 1
    else dlg_expect_file 700 "$source" 3 || lw_fail "keys '$keys'" || return 1; fi
  done
}

test_dialog_keys_screen_reader_sees_and_presses_the_controls() {
  dlg_setup reader 700 1 3 && dlg_open || return 1
  lw_probe access '<Lumenweave>' >"$LW_RUN_DIR/access.txt"; cat "$LW_RUN_DIR/access.txt"
  local line want=("push button|...|focusable||Press" "radio button|無し|focusable||Check"
    "radio button|音楽CD|focused,checked,focusable||Check" "radio button|MP3、WAV|focusable||Check"
    "combo box|曲目をﾘﾋﾟｰﾄ|focusable|3|" "slider|粒子数|focusable|700|"
    "push button|設定|focusable||Press" "push button|ｷﾝｾﾙ|focusable||Press")
  for line in "${want[@]}"; do grep -qxF "$line" "$LW_RUN_DIR/access.txt" || lw_fail "not seen: $line" || return 1; done
  lw_probe access '<Lumenweave>' 無し && lw_probe access '<Lumenweave>' 設定 || lw_fail "a default action failed" ||
    return 1
  dlg_closed && dlg_expect_file 700 0 3
}
