# The settings dialog (/C), seen from outside: placement, contents, commit, cancel, close box,
# music source and file, slider, link, and what it looks like.
# Wine notes: without a window manager Wine draws no frame, so only the client area shows on
# screenshots; DrawAnimatedRects is a stub there, so the open and close outlines are not seen.

# Control ids of the dialog, as the probe reports them.
DLG_SAVE=100 DLG_CANCEL=101 DLG_BROWSE=102 DLG_REPEAT=103 DLG_SLIDER=104 DLG_READOUT=105
DLG_FILENAME=106 DLG_LINK=107 DLG_MARK0=120 DLG_LABEL0=130

# A copy of the saver in its own folder C:\lwdlg\<name>; $1 name, $2 settings file bytes
# (printf format) or nothing for a fresh install.
dlg_setup() {
  export LANG=ja_JP.UTF-8
  DLG_DIR="$LW_DRIVE_C/lwdlg/$1"
  DLG_WIN_DIR="C:\\lwdlg\\$1"
  rm -rf "$DLG_DIR"; mkdir -p "$DLG_DIR"
  cp "$LW_SCR" "$DLG_DIR/Lumenweave.scr"
  DLG_INI="$DLG_DIR/Lumenweave.ini"
  [[ $# -ge 2 ]] && printf "$2" >"$DLG_INI"
  return 0
}

dlg_open() {  # $1: the arguments, /C unless given
  LW_SCR="$DLG_DIR/Lumenweave.scr" lw_start_scr "${1:-/C}"; DLG_PID=$LW_LAST_PID
  lw_wait_window "<Lumenweave>" 60 || lw_fail "no <Lumenweave> window" || return 1
  lw_wait 20 dlg_dump || lw_fail "probe cannot read the dialog"
}

# The dialog is shown once it is filled; a dump taken before then would be half made.
dlg_dump() { lw_probe dialog_probe dump >"$LW_RUN_DIR/dump.txt" && grep -q '^visible 1' "$LW_RUN_DIR/dump.txt"; }

# Screen centre of the control with id $1 (from the last dump).
dlg_centre() { awk -v id="$1" '$1=="control" && $2==id {printf "%d %d\n", $4+$6/2, $5+$7/2; exit}' "$LW_RUN_DIR/dump.txt"; }
dlg_click() {
  local xy; xy=$(dlg_centre "$1"); [[ -n $xy ]] || { lw_fail "no control $1"; return 1; }
  xdotool mousemove $xy; sleep 0.2; xdotool click 1
}
dlg_text() { lw_probe dialog_probe text "$1"; }
dlg_text_is() { [[ $(dlg_text "$1") == "$2" ]]; }
dlg_field() { awk -v k="$1" '$1==k {print; exit}' "$LW_RUN_DIR/dump.txt"; }

# Settings file bytes (printf format, code page 932) with the four keys in the writer's order.
dlg_ini() { printf '[Section]\\r\\n\\x97\\xB1\\x8E\\x71\\x90\\x94=%s\\r\\nBGM\\x8B\\xE6\\x95\\xAA=%s\\r\\nBGM\\xD8\\xCB\\xDF\\xB0\\xC4=%s\\r\\nBGM\\xCC\\xA7\\xB2\\xD9=%s\\r\\n' "$1" "$2" "$3" "$4"; }
dlg_expect_file() {
  printf "$(dlg_ini "$@")" >"$LW_RUN_DIR/expected.ini"
  cmp "$LW_RUN_DIR/expected.ini" "$DLG_INI" || { od -c "$DLG_INI" | head -20; lw_fail "settings file differs"; }
}
dlg_close_and_wait() { lw_wait_exit "$DLG_PID" 15 || lw_fail "the dialog did not end the program"; }
dlg_expect() {  # dump-line-key id expected-rest
  local line; line=$(awk -v k="$1" -v id="$2" '$1==k && $2==id' "$LW_RUN_DIR/dump.txt" | head -1)
  [[ $line == *"$3" ]] || lw_fail "$1 $2: '$line' does not end in '$3'"
}

test_dialog_opens_centred_and_shows_the_settings_file() {
  dlg_setup show "$(dlg_ini 750 2 7 'C:\\lwdlg\\show\\a&b.mp3')"
  : >"$DLG_DIR/a&b.mp3"
  dlg_open || return 1
  cat "$LW_RUN_DIR/dump.txt"
  read -r _ l t r b < <(dlg_field window); read -r _ cw ch < <(dlg_field client)
  read -r _ sw sh < <(dlg_field screen); read -r _ style _ < <(dlg_field style)
  [[ "$cw $ch" == "465 191" ]] || lw_fail "client $cw x $ch" || return 1
  ((l == (sw - (r - l)) / 2)) || lw_fail "left $l not centred" || return 1
  ((t == (sh - (b - t)) / 3)) || lw_fail "top $t not a third of the free height" || return 1
  # A fixed frame: caption and close box; no sizing border, no minimise or maximise box.
  (( (16#$style & 0x00C80000) == 0x00C80000 && (16#$style & 0x00070000) == 0 )) || lw_fail "style $style" || return 1
  dlg_expect control $DLG_READOUT " 750" && dlg_expect slider $DLG_SLIDER " 750" &&
    dlg_expect control $DLG_REPEAT " 7" && dlg_expect combo $DLG_REPEAT " 31 [] [1] [2] [3] [4] [5] [6] [7] [8] [9] [10] [11] [12] [13] [14] [15] [16] [17] [18] [19] [20] [21] [22] [23] [24] [25] [26] [27] [28] [29] [30]" &&
    dlg_expect control $((DLG_MARK0 + 0)) " ○" && dlg_expect control $((DLG_MARK0 + 1)) " ○" &&
    dlg_expect control $((DLG_MARK0 + 2)) " ●" && dlg_expect control $DLG_FILENAME ' C:\lwdlg\show\a&b.mp3' &&
    dlg_expect control $((DLG_LABEL0 + 0)) " 無し" && dlg_expect control $((DLG_LABEL0 + 1)) " 音楽CD" &&
    dlg_expect control $((DLG_LABEL0 + 2)) " MP3、WAV" && dlg_expect control $DLG_LINK " https://lumenweave.example/" &&
    dlg_expect control $DLG_SAVE " 設定" && dlg_expect control $DLG_CANCEL " ｷﾝｾﾙ" && dlg_expect control $DLG_BROWSE " ..." || return 1
  grep -q ' 曲目をﾘﾋﾟｰﾄ$' "$LW_RUN_DIR/dump.txt" && grep -q ' BGM$' "$LW_RUN_DIR/dump.txt" &&
    grep -q ' 粒子数$' "$LW_RUN_DIR/dump.txt" || lw_fail "a heading is missing" || return 1
  # Committing untouched rewrites the same bytes.
  dlg_click $DLG_SAVE && dlg_close_and_wait && dlg_expect_file 750 2 7 'C:\\lwdlg\\show\\a&b.mp3'
}

test_dialog_save_on_a_fresh_install_writes_the_file_byte_exact() {
  dlg_setup fresh
  dlg_open || return 1
  dlg_click $DLG_SAVE && dlg_close_and_wait || return 1
  dlg_expect_file 600 0 0 '' || return 1
  [[ $(ls "$DLG_DIR" | wc -l) -eq 2 ]] || lw_fail "stray files: $(ls "$DLG_DIR")"
}

test_dialog_count_outside_the_slider_survives_saving_another_change() {
  dlg_setup range "$(dlg_ini 5000 5 0 '')"
  dlg_open || return 1
  dlg_expect control $DLG_READOUT " 5000" && dlg_expect slider $DLG_SLIDER " 600" || return 1
  for i in 0 1 2; do dlg_expect control $((DLG_MARK0 + i)) " ○" || return 1; done
  dlg_click $((DLG_LABEL0 + 1))
  dlg_click $DLG_SAVE && dlg_close_and_wait && dlg_expect_file 5000 1 0 ''
}

test_dialog_cancel_and_close_box_write_nothing() {
  dlg_setup cancel "$(dlg_ini 700 1 3 '')"
  cp "$DLG_INI" "$LW_RUN_DIR/before.ini"
  dlg_open || return 1
  dlg_click $((DLG_LABEL0 + 0))   # an edit that must not reach the file
  dlg_click $DLG_CANCEL && dlg_close_and_wait || return 1
  cmp "$LW_RUN_DIR/before.ini" "$DLG_INI" || lw_fail "cancel wrote the file" || return 1
  dlg_open || return 1
  dlg_click $((DLG_LABEL0 + 2))
  lw_probe dialog_probe close && dlg_close_and_wait || return 1
  cmp "$LW_RUN_DIR/before.ini" "$DLG_INI" || lw_fail "the close box wrote the file" || return 1
  [[ $(ls "$DLG_DIR" | wc -l) -eq 2 ]] || lw_fail "stray files: $(ls "$DLG_DIR")"
}

test_dialog_source_file_and_repeat_text_are_saved() {
  dlg_setup pick "$(dlg_ini 600 0 9 '')"
  : >"$DLG_DIR/song.mp3"
  dlg_open || return 1
  dlg_click $((DLG_MARK0 + 1)) && lw_wait 5 dlg_text_is $((DLG_MARK0 + 1)) ● || lw_fail "the CD mark is not selected" || return 1
  dlg_click $((DLG_LABEL0 + 2)) && lw_wait 5 dlg_text_is $((DLG_MARK0 + 2)) ● || lw_fail "the file label did not select" || return 1
  dlg_text_is $((DLG_MARK0 + 1)) ○ || lw_fail "two marks selected" || return 1
  dlg_click $DLG_BROWSE
  lw_wait_window "ﾌｧｲﾙを選択" 30 || lw_fail "no file dialog titled ﾌｧｲﾙを選択" || return 1
  sleep 1
  xdotool type --delay 30 "$DLG_WIN_DIR\\song.mp3"; xdotool key Return
  lw_wait 15 dlg_text_is $DLG_FILENAME "$DLG_WIN_DIR\\song.mp3" || lw_fail "file label: '$(dlg_text $DLG_FILENAME)'" || return 1
  # The repeat box takes typed text; 3.5 is saved as 4 (halves to even).
  dlg_dump; local xy; xy=$(dlg_centre $DLG_REPEAT); read -r x y <<<"$xy"
  xdotool mousemove $((x - 8)) $y click 1; sleep 0.3
  xdotool key End BackSpace BackSpace BackSpace; xdotool type "3.5"
  lw_wait 5 dlg_text_is $DLG_REPEAT 3.5 || lw_fail "repeat box: '$(dlg_text $DLG_REPEAT)'" || return 1
  dlg_click $DLG_SAVE && dlg_close_and_wait && dlg_expect_file 600 2 4 'C:\\lwdlg\\pick\\song.mp3'
}

test_dialog_slider_drag_updates_the_readout_while_dragging() {
  dlg_setup slider "$(dlg_ini 600 0 0 '')"
  dlg_open || return 1
  read -r _ x y < <(dlg_field thumb)
  xdotool mousemove "$x" "$y"; sleep 0.3; xdotool mousedown 1; sleep 0.3
  xdotool mousemove $((x + 12)) "$y"; sleep 0.3
  # The button is still down: the read-out must already follow the thumb.
  lw_wait 5 bash -c "[[ \$(wine '$LW_PROBES/dialog_probe.exe' text $DLG_READOUT 2>/dev/null | tr -d '\r') != 600 ]]" ||
    { xdotool mouseup 1; lw_fail "read-out did not move while dragging"; return 1; }
  local during; during=$(dlg_text $DLG_READOUT)
  xdotool mouseup 1; sleep 0.5
  dlg_dump; local value; value=$(awk '$1=="slider" {print $3}' "$LW_RUN_DIR/dump.txt")
  lw_log "read-out during the drag $during, slider after $value"
  ((value > 600)) && dlg_expect control $DLG_READOUT " $value" || lw_fail "slider $value" || return 1
  dlg_click $DLG_SAVE && dlg_close_and_wait && dlg_expect_file "$value" 0 0 ''
}

test_dialog_link_opens_the_address_each_click() {
  dlg_setup link "$(dlg_ini 600 0 0 '')"
  # A harmless browser, so the shell's hand-over ends here; the exec trace shows the call.
  wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d true /f >/dev/null 2>&1
  LW_SCR="$DLG_DIR/Lumenweave.scr" WINEDEBUG=+exec lw_start --log "$LW_RUN_DIR/link.log" "$DLG_DIR/Lumenweave.scr" /C
  DLG_PID=$LW_LAST_PID
  lw_wait_window "<Lumenweave>" 60 && lw_wait 20 dlg_dump || lw_fail "no dialog" || return 1
  # Two separate clicks, further apart than a double click, which opens once like any label's.
  dlg_click $DLG_LINK; sleep 1; dlg_click $DLG_LINK
  lw_wait 15 bash -c "[[ \$(grep -c 'verb=L\"open\" file=L\"https://lumenweave.example/\"' '$LW_RUN_DIR/link.log') -ge 2 ]]" ||
    { grep -i 'https' "$LW_RUN_DIR/link.log" | head; lw_fail "no two shell opens of the address"; return 1; }
  lw_alive "$DLG_PID" || lw_fail "the dialog closed" || return 1
  lw_probe dialog_probe close && dlg_close_and_wait
}

test_dialog_looks_right() {
  # Unmanaged, Wine draws the frame itself, so the shot shows the caption and the close box too.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  trap "wine reg delete 'HKCU\\Software\\Wine\\X11 Driver' /v Managed /f >/dev/null 2>&1" RETURN
  dlg_setup look "$(dlg_ini 1200 1 12 'C:\\lwdlg\\look\\\x8B\xC8.wav')"
  : >"$DLG_DIR/曲.wav"
  dlg_open || return 1
  local shot="$LW_RUN_DIR/shots/dialog.png"
  read -r _ ox oy < <(dlg_field origin)
  px() { convert "$shot" -crop "1x1+$1+$2" -depth 8 txt:- | tail -1 | grep -oE '\([0-9]+,[0-9]+,[0-9]+' | head -1 | tr -d '('; }
  # The drawing reaches the screen once the dialog is idle: shoot until the panel's strip shows.
  shot_ready() { lw_screenshot "$shot" &&
    (($(convert "$shot" -crop "22x20+$((ox + 18))+$((oy + 56))" -unique-colors txt:- | wc -l) > 3)); }
  lw_wait 15 shot_ready
  # Gradient: dark blue at the top, lavender at mid-height (left margin column); the last visible
  # row, 190, is one short of the row at the full height that is dark blue again.
  [[ $(px $((ox + 4)) "$oy") == 0,0,30 ]] || lw_fail "top row $(px $((ox + 4)) "$oy")" || return 1
  [[ $(px $((ox + 4)) $((oy + 190))) == 4,4,34 ]] || lw_fail "bottom row $(px $((ox + 4)) $((oy + 190)))" || return 1
  [[ $(px $((ox + 4)) $((oy + 95))) == 220,220,250 ]] || lw_fail "middle row $(px $((ox + 4)) $((oy + 95)))" || return 1
  # The panel is covered with the strip picture repeated every 20 rows from its top (client row 16).
  local a b; a=$(convert "$shot" -crop "22x4+$((ox + 18))+$((oy + 65))" -depth 8 rgb:- | md5sum)
  b=$(convert "$shot" -crop "22x4+$((ox + 18))+$((oy + 125))" -depth 8 rgb:- | md5sum)
  [[ $a == "$b" ]] || lw_fail "the panel does not repeat every 20 rows" || return 1
  (($(convert "$shot" -crop "22x20+$((ox + 18))+$((oy + 56))" -unique-colors txt:- | wc -l) > 3)) ||
    lw_fail "the panel is a plain fill, not the strip" || return 1
  read -r _ l t r b < <(dlg_field window)
  convert "$shot" -crop "$((r - l))x$((b - t))+$l+$t" "$LW_RUN_DIR/shots/dialog-window.png"
  lw_log "screenshot: $LW_RUN_DIR/shots/dialog-window.png"
  lw_probe dialog_probe close && dlg_close_and_wait
}
