# The settings file on disk: through the program's own Win32 file store ("probe settings") the
# bytes of a fresh file, loading with the music-file check, awkward and read-only places, and the
# coercion of its values against the platform's; through the saver and its dialog a file in
# UTF-16LE naming a file code page 932 cannot, and a hidden file.
source "$(dirname "${BASH_SOURCE[0]}")/music_lib.sh"

test_settings_file_bytes_and_music_file_check() {
  local dir="$LW_DRIVE_C/settings_file" win='C:\settings_file' out
  rm -rf "$dir" && mkdir -p "$dir"
  lw_probe settings write "$win\\Lumenweave.ini" 0 600 >/dev/null
  lw_probe settings write "$win\\Lumenweave.ini" 1 2 >/dev/null
  lw_probe settings write "$win\\Lumenweave.ini" 2 0 >/dev/null
  lw_probe settings write "$win\\Lumenweave.ini" 3 "$win\\音楽.mp3" >/dev/null
  printf '[Section]\r\n\x97\xB1\x8E\x71\x90\x94=600\r\nBGM\x8B\xE6\x95\xAA=2\r\nBGM\xD8\xCB\xDF\xB0\xC4=0\r\nBGM\xCC\xA7\xB2\xD9=C:\\settings_file\\\x89\xB9\x8A\x79.mp3\r\n' >"$LW_RUN_DIR/expected.ini"
  cmp "$dir/Lumenweave.ini" "$LW_RUN_DIR/expected.ini" || lw_fail "fresh file bytes: $(od -c "$dir/Lumenweave.ini" | head -5)" || return 1
  # Rows: the music file setting, whether to create 音楽.mp3 first | what loading gives.
  local rows=("$win\\音楽.mp3|$(printf '600\t0\t0\t')" "$win\\音楽.mp3 create|$(printf '600\t2\t0\t%s' "$win\\音楽.mp3")"
              "$win|$(printf '600\t0\t0\t')" "$win\\|$(printf '600\t0\t0\t')")
  local row path want
  for row in "${rows[@]}"; do
    IFS='|' read -r path want <<<"$row"
    [[ $path == *\ create ]] && path=${path% create} && : >"$dir/音楽.mp3"
    lw_probe settings write "$win\\Lumenweave.ini" 3 "$path" >/dev/null
    out=$(lw_probe settings load "$win" | iconv -f CP932 -t UTF-8)
    [[ $out == "$want" ]] || lw_fail "music file '$path' loads as '$out'" || return 1
  done
}

# What can be saved is saved and read back, a read-only file is refused and kept, a writable file
# in a folder that takes no new files is written in place, and no temporary file stays behind. As
# root, Unix permissions stop no write: the read-only file is made so by its Windows attribute,
# which the file store must honour itself, the folder by chattr +i.
test_settings_file_in_awkward_places() {
  local long=rel_long; while ((${#long} < 280)); do long+=/folder_with_a_long_name_$((${#long} % 7)); done
  local rows=("plain|saved" "設定_Ünïcode_フォルダ|saved" "$long|saved" "readonly_file|refused" "readonly_folder|saved")
  local row name want dir win out
  for row in "${rows[@]}"; do
    IFS='|' read -r name want <<<"$row"
    dir=$LW_DRIVE_C/places/$name win="C:\\places\\${name//\//\\}"
    mkdir -p "$dir" && printf '[Section]\r\n\x97\xB1\x8E\x71\x90\x94=55\r\n' >"$dir/Lumenweave.ini"
    case $name in
      readonly_file) wine cmd /c attrib +r "$win\\Lumenweave.ini" >/dev/null 2>&1 ;;
      readonly_folder) chattr +i "$dir" 2>/dev/null || { lw_log "chattr +i is not permitted here: row skipped"; continue; }
                       trap "chattr -i '$dir' 2>/dev/null; lw_stop_test_processes" EXIT ;;
    esac
    cp "$dir/Lumenweave.ini" "$LW_RUN_DIR/before.ini"
    out=$(lw_probe settings write "$win\\Lumenweave.ini" 0 321)
    [[ $out == "$want" ]] || lw_fail "$name: save gave '$out'" || return 1
    [[ $(lw_probe settings load "$win") == $([[ $want == saved ]] && echo 321 || echo 55)$'\t'* ]] || lw_fail "$name: read back wrong" || return 1
    [[ $want == saved ]] || cmp -s "$dir/Lumenweave.ini" "$LW_RUN_DIR/before.ini" || lw_fail "$name: the file changed" || return 1
    [[ $(ls -A "$dir") == Lumenweave.ini ]] || lw_fail "$name: files left: $(ls -A "$dir")" || return 1
    chattr -i "$dir" 2>/dev/null
  done
}

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

settings_loud() { music_loud "$(music_rms "$1" -1)"; }

test_settings_file_in_utf16le_plays_and_survives_a_save() {
  local dir rec="$LW_RUN_DIR/settings_utf16.raw" song='C:\lw\José\tone.mp3'
  dir=$(lw_saver_copy lw) || return 1
  mkdir -p "$dir/José" && music_make_tone "$dir/José/tone.mp3" 3 || lw_fail "could not make the MP3" || return 1
  lw_ini --utf16 700 2 0 "$song" >"$dir/Lumenweave.ini"
  music_record_start "$rec"
  lw_start "$dir/Lumenweave.scr" /S; local pid=$LW_LAST_PID
  lw_wait_window Lumenweave_Main 30 || lw_fail "no saver window" || return 1
  lw_wait 20 settings_loud "$rec" || lw_fail "no sound from $song" || return 1
  music_record_stop
  xdotool key space
  lw_wait_exit "$pid" 15 || lw_fail "a key did not end the saver" || return 1
  lw_dialog_save_cd "$dir/Lumenweave.scr" || return 1
  lw_ini --utf16 700 1 0 "$song" >"$LW_RUN_DIR/expected.ini"
  cmp "$LW_RUN_DIR/expected.ini" "$dir/Lumenweave.ini" || lw_fail "saved: $(od -c "$dir/Lumenweave.ini" | head)"
}

test_settings_file_hidden_stays_hidden() {
  local dir attrib; dir=$(lw_saver_copy hidden) || return 1
  lw_ini 700 0 0 >"$dir/Lumenweave.ini"
  wine cmd /c attrib +h 'C:\hidden\Lumenweave.ini' >/dev/null 2>&1
  lw_dialog_save_cd "$dir/Lumenweave.scr" || return 1
  lw_ini 700 1 0 | cmp - "$dir/Lumenweave.ini" || lw_fail "not saved" || return 1
  attrib=$(wine cmd /c attrib 'C:\hidden\Lumenweave.ini' 2>/dev/null | tr -d '\r')
  lw_log "attrib: $attrib"
  [[ ${attrib%%C:*} == *H* ]] || lw_fail "no longer hidden: $attrib"
}
