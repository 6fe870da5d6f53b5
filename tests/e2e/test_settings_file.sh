# The settings file on disk through the program's own Win32 file store (settings_probe): the
# bytes of a fresh file, loading with the music-file check, and a read-only file left alone.

test_settings_file_written_loaded_and_read_only_kept() {
  local dir="$LW_DRIVE_C/settings_file" ini music out
  rm -rf "$dir" && mkdir -p "$dir"
  ini="$dir/Lumenweave.ini"; music=$(printf '%s/\xe9\x9f\xb3\xe6\xa5\xbd.mp3' "$dir")  # 音楽.mp3
  lw_probe settings_probe write 'C:\settings_file\Lumenweave.ini' 0 600
  lw_probe settings_probe write 'C:\settings_file\Lumenweave.ini' 1 2
  lw_probe settings_probe write 'C:\settings_file\Lumenweave.ini' 2 0
  lw_probe settings_probe write 'C:\settings_file\Lumenweave.ini' 3 'C:\settings_file\音楽.mp3'
  printf '[Section]\r\n\x97\xB1\x8E\x71\x90\x94=600\r\nBGM\x8B\xE6\x95\xAA=2\r\nBGM\xD8\xCB\xDF\xB0\xC4=0\r\nBGM\xCC\xA7\xB2\xD9=C:\\settings_file\\\x89\xB9\x8A\x79.mp3\r\n' >"$LW_RUN_DIR/expected.ini"
  cmp "$ini" "$LW_RUN_DIR/expected.ini" || lw_fail "fresh file bytes: $(od -c "$ini" | head -5)" || return 1

  out=$(lw_probe settings_probe load 'C:\settings_file')
  [[ $out == $'600\t0\t0\t' ]] || lw_fail "missing music file not cleared: $out" || return 1
  : >"$music"
  out=$(lw_probe settings_probe load 'C:\settings_file' | iconv -f CP932 -t UTF-8)
  [[ $out == $'600\t2\t0\tC:\\settings_file\\音楽.mp3' ]] || lw_fail "music file not kept: $out" || return 1
  local path
  for path in 'C:\settings_file' 'C:\settings_file\'; do
    lw_probe settings_probe write 'C:\settings_file\Lumenweave.ini' 3 "$path"
    out=$(lw_probe settings_probe load 'C:\settings_file')
    [[ $out == $'600\t0\t0\t' ]] || lw_fail "folder '$path' taken for a music file: $out" || return 1
  done

  cp "$ini" "$LW_RUN_DIR/before.ini"
  chmod a-w "$ini"
  lw_probe settings_probe write 'C:\settings_file\Lumenweave.ini' 0 700
  cmp "$ini" "$LW_RUN_DIR/before.ini" || lw_fail "a read-only settings file was changed" || return 1
  [[ $(ls -A "$dir" | wc -l) -eq 2 ]] || lw_fail "files left behind: $(ls -A "$dir")" || return 1
  chmod u+w "$ini"
  lw_probe settings_probe write 'C:\settings_file\Lumenweave.ini' 0 700
  out=$(lw_probe settings_probe load 'C:\settings_file')
  [[ $out == 700* && $(ls -A "$dir" | wc -l) -eq 2 ]] || lw_fail "write after the swap: $out; $(ls -A "$dir")"
}
