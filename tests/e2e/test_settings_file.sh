# The settings file's values against the platform's coercion. Its bytes: the dialog's tests
# (test_dialog.sh); one in UTF-16LE naming a file code page 932 cannot: the WAV music test and a row
# of the dialog's writes.

# Settings values against the platform's own coercion (VarR8FromStr), run with the ANSI code page
# 932 (LANG=ja_JP.UTF-8) as on a Japanese system: one line per case of the corpus, then a count.
test_settings_coercion_matches_platform() {
  local corpus=$LW_ROOT/tests/e2e/data/coerce_corpus.txt out=$LW_RUN_DIR/coerce_probe.txt
  LANG=ja_JP.UTF-8 lw_probe coerce "Z:${corpus//\//\\}" >"$out"
  grep -q 'acp 932' "$out" || lw_fail "the probe did not run with code page 932: $(head -1 "$out")" || return 1
  local summary; summary=$(tail -1 "$out")
  [[ $summary =~ ^([0-9]+)\ same,\ 0\ differ$ ]] && ((BASH_REMATCH[1] > 150)) ||
    lw_fail "coercion differs from the platform: $summary"$'\n'"$(grep -v '^same' "$out" | head -20)"
}
