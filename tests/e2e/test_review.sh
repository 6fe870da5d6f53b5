# The settings file's encoding and identity, seen from outside: a settings file in UTF-16LE naming
# a file code page 932 cannot, and a hidden settings file. (The start lines the desktop uses are
# rows of test_startup_command_lines; the extra buttons and the wheel rows of
# test_display_close_extra_buttons_and_wheel_end_it.)
source "$(dirname "${BASH_SOURCE[0]}")/music_lib.sh"

# The saver copy in $1 saves from its dialog after a click on the control with id $2 (131: the
# music CD).
review_save_from_dialog() {
  lw_dialog_open "$1/Lumenweave.scr" || return 1
  lw_dialog_click "$2" && sleep 0.3 && lw_dialog_click 100 || return 1
  lw_wait_exit "$LW_DIALOG_PID" 15 || lw_fail "the dialog did not end the program"
}

# lw_ini's settings as UTF-16LE with a byte-order mark.
review_utf16_ini() {
  printf '\xFF\xFE'
  printf '[Section]\r\n粒子数=%s\r\nBGM区分=%s\r\nBGMﾘﾋﾟｰﾄ=%s\r\nBGMﾌｧｲﾙ=%s\r\n' "$@" | iconv -f UTF-8 -t UTF-16LE
}
review_loud() { music_loud "$(music_rms "$1" -1)"; }

test_review_unicode_settings_file_plays_and_survives_a_save() {
  local dir rec="$LW_RUN_DIR/review_unicode.raw" song='C:\lw\José\tone.mp3'
  dir=$(lw_saver_copy lw) || return 1
  mkdir -p "$dir/José" && music_make_tone "$dir/José/tone.mp3" 3 || lw_fail "could not make the MP3" || return 1
  review_utf16_ini 700 2 0 "$song" >"$dir/Lumenweave.ini"
  music_record_start "$rec"
  lw_start "$dir/Lumenweave.scr" /S; local pid=$LW_LAST_PID
  lw_wait_window Lumenweave_Main 30 || lw_fail "no saver window" || return 1
  lw_wait 20 review_loud "$rec" || lw_fail "no sound from $song" || return 1
  music_record_stop
  xdotool key space
  lw_wait_exit "$pid" 15 || lw_fail "a key did not end the saver" || return 1
  review_save_from_dialog "$dir" 131 || return 1
  review_utf16_ini 700 1 0 "$song" >"$LW_RUN_DIR/review_expected.ini"
  cmp "$LW_RUN_DIR/review_expected.ini" "$dir/Lumenweave.ini" || lw_fail "saved: $(od -c "$dir/Lumenweave.ini" | head)"
}

test_review_a_hidden_settings_file_stays_hidden() {
  local dir attrib; dir=$(lw_saver_copy hidden) || return 1
  lw_ini 700 0 0 >"$dir/Lumenweave.ini"
  wine cmd /c attrib +h 'C:\hidden\Lumenweave.ini' >/dev/null 2>&1
  review_save_from_dialog "$dir" 131 || return 1
  lw_ini 700 1 0 | cmp - "$dir/Lumenweave.ini" || lw_fail "not saved" || return 1
  attrib=$(wine cmd /c attrib 'C:\hidden\Lumenweave.ini' 2>/dev/null | tr -d '\r')
  lw_log "attrib: $attrib"
  [[ ${attrib%%C:*} == *H* ]] || lw_fail "no longer hidden: $attrib"
}
