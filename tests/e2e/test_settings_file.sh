# The settings file on disk beyond the dialog's tests (test_dialog.sh): the coercion of its values
# against the platform's; through the saver and its dialog a file in UTF-16LE naming a file code
# page 932 cannot.

# Settings values against the platform's own coercion (VarR8FromStr), run with the ANSI code page
# 932 (LANG=ja_JP.UTF-8) as on a Japanese system: one line per case of the corpus, then a count.
test_settings_coercion_matches_platform() {
  local corpus="$LW_DRIVE_C/coerce_corpus.txt" out="$LW_RUN_DIR/coerce_probe.txt"
  cp "$LW_ROOT/tests/e2e/data/coerce_corpus.txt" "$corpus"
  LANG=ja_JP.UTF-8 lw_probe coerce 'C:\coerce_corpus.txt' >"$out"
  grep -q 'acp 932' "$out" || lw_fail "the probe did not run with code page 932: $(head -1 "$out")" || return 1
  grep -v '^same' "$out" | head -20 >&2
  local summary; summary=$(tail -1 "$out")
  lw_log "coercion: $summary"
  [[ $summary =~ ^([0-9]+)\ same,\ 0\ differ$ ]] && ((BASH_REMATCH[1] > 150)) ||
    lw_fail "coercion differs from the platform: $summary"
}

test_settings_file_in_utf16le_plays_and_survives_a_save() {
  local dir rec="$LW_RUN_DIR/settings_utf16.raw" song='C:\lw\José\tone.mp3'
  dir=$(lw_saver_copy lw) || return 1
  mkdir -p "$dir/José" && music_make_tone "$dir/José/tone.mp3" 3 || lw_fail "could not make the MP3" || return 1
  lw_ini --utf16 700 2 0 "$song" >"$dir/Lumenweave.ini"
  music_record_start "$rec"
  lw_run_saver "$dir/Lumenweave.scr" || return 1
  lw_wait 20 eval 'music_loud "$(music_rms "$rec" -1)"' || lw_fail "no sound from $song" || return 1
  music_record_stop
  lw_end_by_key "$LW_SAVER_PID" 15 || lw_fail "a key did not end the saver" || return 1
  lw_dialog_save_cd "$dir/Lumenweave.scr" || return 1
  lw_ini_is "$dir/Lumenweave.ini" --utf16 700 1 0 "$song"
}
