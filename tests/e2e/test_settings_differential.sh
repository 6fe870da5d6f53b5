# Settings file and settings values against the platform's own functions, run with the ANSI code
# page 932 (LANG=ja_JP.UTF-8) so that Wine's profile and coercion functions see the file as a
# Japanese system does. Both probes print one line per case and a closing count.

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

test_settings_profile_matches_platform() {
  local dir="$LW_DRIVE_C/profile_probe" out="$LW_RUN_DIR/profile_probe.txt"
  rm -rf "$dir" && mkdir -p "$dir"
  LANG=ja_JP.UTF-8 lw_probe profile 'C:\profile_probe' >"$out"
  grep -v '^same' "$out" | head -30 >&2
  local summary; summary=$(tail -1 "$out")
  lw_log "profile: $summary"
  # The trail-byte pair must be told apart by the platform too, or the comparison proves nothing.
  grep -qP '^same\ttrail byte case\t\[Section\] k\\x83A\tupper\tupper$' "$out" ||
    lw_fail "the platform did not tell the trail-byte pair apart" || return 1
  [[ $summary =~ ^([0-9]+)\ same,\ 0\ differ,\ ([0-9]+)\ known$ ]] && ((BASH_REMATCH[1] > 150)) ||
    lw_fail "profile files differ from the platform: $summary"
}
