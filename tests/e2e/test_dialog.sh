# The settings dialog (/C), seen from outside: placement, contents, what reaches the settings file,
# music source and file, slider, link, and what it looks like. LANG ja_JP: its texts are code
# page 932's. Wine notes: without a window manager Wine draws no frame, so only the client area
# shows on screenshots; DrawAnimatedRects is a stub there, so the open and close outlines are not
# seen.

# Control ids of the dialog, as the probe reports them.
DLG_SAVE=100 DLG_CANCEL=101 DLG_BROWSE=102 DLG_REPEAT=103 DLG_SLIDER=104 DLG_READOUT=105
DLG_FILENAME=106 DLG_LINK=107 DLG_MARK0=120 DLG_LABEL0=130

# A copy of the saver in C:\lwdlg\NAME with an empty song.mp3 and the settings (lw_ini's
# arguments, none for a fresh install) beside it. Sets DLG_DIR, DLG_WIN_DIR and DLG_INI.
dlg_setup() {
  export LANG=ja_JP.UTF-8
  DLG_DIR=$(lw_saver_copy "lwdlg/$1") || return 1
  DLG_WIN_DIR=$(lw_winpath "$DLG_DIR") DLG_INI=$DLG_DIR/Lumenweave.ini
  : >"$DLG_DIR/song.mp3"
  (($# == 1)) || lw_ini "${@:2}" >"$DLG_INI"
}
dlg_open() { lw_dialog_open "$DLG_DIR/Lumenweave.scr"; }
dlg_text() { lw_probe text '<Lumenweave>' "$1"; }
dlg_text_is() { [[ $(dlg_text "$1") == "$2" ]]; }
dlg_field() { awk -v k="$1" '$1==k {print; exit}' "$LW_DIALOG"; }
dlg_closed() { lw_wait_exit "$LW_DIALOG_PID" 15 || lw_fail "the dialog did not end the program"; }
# A save that failed: the message names the file, is the dialog's, and once closed the dialog is there.
dlg_message() { lw_probe window Lumenweave >"$LW_RUN_DIR/message.txt" && grep -q '^visible 1' "$LW_RUN_DIR/message.txt"; }
dlg_refused() {
  lw_wait 15 dlg_message || lw_fail "no message box" || return 1
  local dialog; read -r _ dialog _ < <(dlg_field handle)
  grep -qx "handle .* owner $dialog" "$LW_RUN_DIR/message.txt" && grep -qF "$DLG_WIN_DIR\Lumenweave.ini" "$LW_RUN_DIR/message.txt" ||
    { cat "$LW_RUN_DIR/message.txt"; lw_fail "the message is not the dialog's or does not name the file"; return 1; }
  xdotool key Return; lw_wait 10 bash -c '! xdotool search --name "^Lumenweave$"' && lw_alive "$LW_DIALOG_PID" ||
    lw_fail "the message stayed or the dialog closed"
}
dlg_expect_file() {  # lw_ini's arguments
  lw_ini "$@" >"$LW_RUN_DIR/expected.ini"
  cmp "$LW_RUN_DIR/expected.ini" "$DLG_INI" || { od -c "$DLG_INI" | head -20; lw_fail "settings file differs"; }
}

# Rows: folder | settings | lines of the dump ("KIND ID TEXT", ;-separated) that must be there.
test_dialog_opens_centred_and_shows_the_settings_file() {
  local rows=(
    "show|750 2 7 C:\\lwdlg\\show\\a&b.mp3|control $DLG_READOUT 750;slider $DLG_SLIDER 750;control $DLG_REPEAT 7;control $DLG_MARK0 ○;control $((DLG_MARK0 + 1)) ○;control $((DLG_MARK0 + 2)) ●;control $DLG_FILENAME C:\\lwdlg\\show\\a&b.mp3"
    "range|50 5 0 |control $DLG_READOUT 50;slider $DLG_SLIDER 600;control $DLG_MARK0 ○;control $((DLG_MARK0 + 1)) ○;control $((DLG_MARK0 + 2)) ○"
  )
  local row name settings lines line kind id text got
  for row in "${rows[@]}"; do
    IFS='|' read -r name settings lines <<<"$row"
    # shellcheck disable=SC2086
    dlg_setup "$name" $settings && : >"$DLG_DIR/a&b.mp3" && dlg_open || return 1
    IFS=';' read -ra lines <<<"$lines"
    for line in "${lines[@]}"; do
      read -r kind id text <<<"$line"
      got=$(awk -v k="$kind" -v id="$id" '$1==k && $2==id' "$LW_DIALOG" | head -1)
      [[ $got == *" $text" ]] || lw_fail "$name: $kind $id is '$got', not ending in '$text'" || return 1
    done
    lw_probe close '<Lumenweave>' box && dlg_closed || return 1
  done
  cat "$LW_DIALOG"
  local l t r b cw ch sw sh style
  read -r _ l t r b < <(dlg_field window); read -r _ cw ch < <(dlg_field client)
  read -r _ sw sh < <(dlg_field screen); read -r _ style _ < <(dlg_field style)
  [[ "$cw $ch" == "465 191" ]] || lw_fail "client $cw x $ch" || return 1
  ((l == (sw - (r - l)) / 2)) || lw_fail "left $l not centred" || return 1
  ((t == (sh - (b - t)) / 3)) || lw_fail "top $t not a third of the free height" || return 1
  # A fixed frame: caption and close box; no sizing border, no minimise or maximise box.
  (((16#$style & 0x00C80000) == 0x00C80000 && (16#$style & 0x00070000) == 0)) || lw_fail "style $style" || return 1
  local want=(" 31 [] [1] [2] [3] [4] [5] [6] [7] [8] [9] [10] [11] [12] [13] [14] [15] [16] [17] [18] [19] [20] [21] [22] [23] [24] [25] [26] [27] [28] [29] [30]"
    " 無し" " 音楽CD" " MP3、WAV" " https://lumenweave.example/" " 設定" " ｷﾝｾﾙ" " ..." " 曲目をﾘﾋﾟｰﾄ" " BGM" " 粒子数")
  for text in "${want[@]}"; do grep -qF -- "$text" "$LW_DIALOG" || lw_fail "no '$text' in the dialog" || return 1; done
}

# What reaches the settings file. Rows: folder | settings before (lw_ini's arguments; - none) |
# steps (click:ID, cancel, box) | the file after: lw_ini's arguments, "unchanged" or "none".
# Awkward folders: non-ASCII, a path longer than 260 characters, a read-only folder (chattr +i:
# as root, Unix permissions stop no write) and a read-only file (Wine derives the attribute from
# the write bits), where saving fails: a message box owned by the dialog names the file
# ("refused"), and the dialog stays open until closed.
test_dialog_writes_only_what_is_committed() {
  local long=long; while ((${#long} < 280)); do long+=/another_long_folder_name_$((${#long} % 5)); done
  local rows=(
    "fresh|-|click:$DLG_SAVE|600 0 0 "
    "commit|750 2 7 C:\\lwdlg\\commit\\song.mp3|click:$DLG_SAVE|unchanged"
    "range|5000 5 0 |click:$((DLG_LABEL0 + 1)) click:$DLG_SAVE|5000 1 0 "
    "cancel|700 1 3 |click:$DLG_LABEL0 click:$DLG_CANCEL|unchanged"
    "close box|700 1 3 |click:$((DLG_LABEL0 + 2)) box|unchanged"
    "設定_ü|-|click:$DLG_SAVE|600 0 0 "
    "$long|-|click:$DLG_SAVE|600 0 0 "
    "read-only|-|click:$DLG_SAVE refused box|none"
    "read-only file|700 1 3 |click:$DLG_LABEL0 click:$DLG_SAVE refused box|unchanged"
  )
  local row name before steps after step
  for row in "${rows[@]}"; do
    IFS='|' read -r name before steps after <<<"$row"
    # shellcheck disable=SC2086
    if [[ $before == - ]]; then dlg_setup "$name"; else dlg_setup "$name" $before; fi || return 1
    [[ -f $DLG_INI ]] && cp "$DLG_INI" "$LW_RUN_DIR/before.ini"
    [[ $name == "read-only file" ]] && chmod a-w "$DLG_INI"
    dlg_open || return 1
    if [[ $name == read-only ]]; then
      chattr +i "$DLG_DIR" 2>/dev/null || { lw_log "chattr +i is not permitted here: row skipped"; lw_stop_test_processes; continue; }
      trap "chattr -i '$DLG_DIR' 2>/dev/null; lw_stop_test_processes" EXIT
    fi
    for step in $steps; do
      case $step in
        click:*) lw_dialog_click "${step#click:}" ;;
        box) lw_probe close '<Lumenweave>' box ;;
        refused) dlg_refused ;;
      esac || return 1
    done
    dlg_closed; local rc=$?
    chattr -i "$DLG_DIR" 2>/dev/null
    ((rc == 0)) || return 1
    case $after in
      unchanged) cmp "$LW_RUN_DIR/before.ini" "$DLG_INI" || lw_fail "$name: the file changed" || return 1 ;;
      none) [[ ! -e $DLG_INI ]] || lw_fail "$name: a settings file appeared" || return 1 ;;
      *) dlg_expect_file $after || lw_fail "$name: wrong bytes" || return 1 ;;
    esac
    [[ -z $(ls -A "$DLG_DIR" | grep -vx -e Lumenweave.scr -e Lumenweave.ini -e song.mp3) ]] || lw_fail "$name: stray files: $(ls "$DLG_DIR")" || return 1
  done
}
# Input through the controls, in one dialog: the slider's read-out follows the thumb while it is
# dragged; a mark and a label each select their source, one at a time; the browse button's file
# dialog (titled ﾌｧｲﾙを選択) takes a typed path, and choosing a file selects MP3、WAV; the repeat
# box takes typed text, 3.5 saved as 4 (halves to even); each of two clicks on the link hands the
# address to the shell; save writes it all.
test_dialog_input_reaches_the_file() {
  dlg_setup input 600 0 9
  # A harmless browser, so the shell's hand-over ends here; the exec trace shows the call.
  wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d true /f >/dev/null 2>&1
  WINEDEBUG=+exec lw_dialog_open "$DLG_DIR/Lumenweave.scr" "$LW_RUN_DIR/link.log" || return 1
  local x y
  read -r _ x y < <(dlg_field thumb)
  xdotool mousemove "$x" "$y"; sleep 0.3; xdotool mousedown 1; sleep 0.3
  xdotool mousemove $((x + 12)) "$y"; sleep 0.3
  lw_wait 5 bash -c "[[ \$(wine '$LW_PROBE' text '<Lumenweave>' $DLG_READOUT 2>/dev/null | tr -d '\r') != 600 ]]" ||
    { xdotool mouseup 1; lw_fail "read-out did not move while dragging"; return 1; }
  xdotool mouseup 1; sleep 0.5
  lw_dialog_dump; local value; value=$(awk '$1=="slider" {print $3}' "$LW_DIALOG")
  ((value > 600)) && grep -q "^control $DLG_READOUT .* $value\$" "$LW_DIALOG" || lw_fail "slider $value" || return 1
  lw_dialog_click $((DLG_MARK0 + 1)) && lw_wait 5 dlg_text_is $((DLG_MARK0 + 1)) ● || lw_fail "the CD mark is not selected" || return 1
  lw_dialog_click $DLG_LABEL0 && lw_wait 5 dlg_text_is $DLG_MARK0 ● || lw_fail "the label 無し did not select" || return 1
  dlg_text_is $((DLG_MARK0 + 1)) ○ || lw_fail "two marks selected" || return 1
  lw_dialog_click $DLG_BROWSE
  lw_wait_window "ﾌｧｲﾙを選択" 30 || lw_fail "no file dialog titled ﾌｧｲﾙを選択" || return 1
  sleep 1
  xdotool type --delay 30 "$DLG_WIN_DIR\\song.mp3"; xdotool key Return
  lw_wait 15 dlg_text_is $DLG_FILENAME "$DLG_WIN_DIR\\song.mp3" || lw_fail "file label: '$(dlg_text $DLG_FILENAME)'" || return 1
  lw_wait 5 dlg_text_is $((DLG_MARK0 + 2)) ● || lw_fail "choosing a file did not select MP3、WAV" || return 1
  read -r x y < <(lw_dialog_centre $DLG_REPEAT)
  xdotool mousemove $((x - 8)) "$y" click 1; sleep 0.3
  xdotool key End BackSpace BackSpace BackSpace; xdotool type "3.5"
  lw_wait 5 dlg_text_is $DLG_REPEAT 3.5 || lw_fail "repeat box: '$(dlg_text $DLG_REPEAT)'" || return 1
  # Two separate clicks, further apart than a double click, which opens once like any label's.
  lw_dialog_click $DLG_LINK; sleep 1; lw_dialog_click $DLG_LINK
  lw_wait 15 bash -c "[[ \$(grep -c 'verb=L\"open\" file=L\"https://lumenweave.example/\"' '$LW_RUN_DIR/link.log') -ge 2 ]]" ||
    { grep -i 'https' "$LW_RUN_DIR/link.log" | head; lw_fail "no two shell opens of the address"; return 1; }
  lw_alive "$LW_DIALOG_PID" || lw_fail "the link closed the dialog" || return 1
  lw_dialog_click $DLG_SAVE && dlg_closed && dlg_expect_file "$value" 2 4 'C:\lwdlg\input\song.mp3'
}

test_dialog_looks_right() {
  # Unmanaged, Wine draws the frame itself, so the shot shows the caption and the close box too.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  trap "wine reg delete 'HKCU\\Software\\Wine\\X11 Driver' /v Managed /f >/dev/null 2>&1" RETURN
  dlg_setup look 1200 1 12 'C:\lwdlg\look\曲.wav' && : >"$DLG_DIR/曲.wav"
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
  lw_probe close '<Lumenweave>' box && dlg_closed
}
