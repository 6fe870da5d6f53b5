#!/usr/bin/env bash
# The test command: installs what is missing, builds every preset and runs every tier of tests
# (unit tests under ASan/UBSan, fuzz targets for a bounded time, end-to-end tests under Wine, the
# Linux hack from its Debian package under Xvfb and the xscreensaver daemon).
# Ends with one summary line. Usage: scripts/test.sh [--quick] (--quick skips fuzzing)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
fuzz_seconds=${LW_FUZZ_SECONDS:-20}
quick=0; [[ ${1:-} == --quick ]] && quick=1

scripts/install-deps.sh || { echo "test: installing dependencies failed"; echo "0 passed, 1 failed"; exit 1; }

passed=0 failed=0 tiers=()
tier() {  # tier NAME command...
  local name=$1; shift
  echo "=== $name"
  if "$@"; then tiers+=("$name ok"); return 0; fi
  tiers+=("$name FAILED"); return 1
}
count() {  # adds "N passed, N failed" figures found in a log
  local log=$1 p f
  p=$(grep -oE '[0-9]+ passed' "$log" | tail -1 | grep -oE '[0-9]+'); f=$(grep -oE '[0-9]+ failed' "$log" | tail -1 | grep -oE '[0-9]+')
  passed=$((passed + ${p:-0})); failed=$((failed + ${f:-0}))
}
logs=$(mktemp -d /tmp/lw-test.XXXXXX)

unit() {
  cmake --preset native >/dev/null && cmake --build --preset native || return 1
  ctest --preset native -j2 2>&1 | tee "$logs/unit.log"
  local rc=${PIPESTATUS[0]}
  local total fails
  total=$(grep -oE 'out of [0-9]+' "$logs/unit.log" | grep -oE '[0-9]+'); fails=$(grep -oE '[0-9]+ tests failed' "$logs/unit.log" | grep -oE '^[0-9]+')
  passed=$((passed + ${total:-0} - ${fails:-0})); failed=$((failed + ${fails:-0}))
  return "$rc"
}

windows() { cmake --preset windows >/dev/null && cmake --build --preset windows; }

fuzz() {
  cmake --preset fuzz >/dev/null && cmake --build --preset fuzz || return 1
  local ok=0 target name corpus
  for target in build/fuzz/tests/fuzz_*; do
    [[ -x $target ]] || continue
    name=$(basename "$target"); corpus=$logs/corpus-$name
    mkdir -p "$corpus"; cp -r tests/fuzz/corpus/"$name"/. "$corpus"/ 2>/dev/null
    if "$target" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -print_final_stats=0 \
         -artifact_prefix="$logs/$name-" "$corpus" >"$logs/$name.log" 2>&1; then
      passed=$((passed + 1)); echo "fuzz $name: $(grep -oE '#[0-9]+[[:space:]]+DONE.*' "$logs/$name.log" | tail -1)"
    else
      failed=$((failed + 1)); ok=1; echo "fuzz $name: FINDING"; tail -30 "$logs/$name.log"
    fi
  done
  return "$ok"
}

package() { (cd build/windows && cpack >"$logs/cpack.log" 2>&1) || { cat "$logs/cpack.log"; return 1; }; }

e2e() {
  LW_RUN_DIR= tests/e2e/run.sh 2>&1 | tee "$logs/e2e.log"
  local rc=${PIPESTATUS[0]}
  count "$logs/e2e.log"
  return "$rc"
}

# The X11 hack, built and packaged, then tested as the package installs it.
linux() {
  { cmake --preset linux >/dev/null && cmake --build --preset linux && (cd build/linux && cpack >"$logs/cpack-linux.log" 2>&1); } ||
    { cat "$logs/cpack-linux.log" 2>/dev/null; failed=$((failed + 1)); return 1; }
  dpkg-deb -x build/linux/packages/lumenweave_*_amd64.deb "$logs/deb" || { failed=$((failed + 1)); return 1; }
  LW_HACK=$logs/deb/usr/libexec/xscreensaver/lumenweave tests/e2e/run.sh --linux 2>&1 | tee "$logs/linux.log"
  local rc=${PIPESTATUS[0]}
  count "$logs/linux.log"
  return "$rc"
}

status=0
tier unit unit || status=1
if tier windows windows; then
  tier package package || { status=1; failed=$((failed + 1)); }
  tier e2e e2e || status=1
else
  status=1; failed=$((failed + 1))
fi
tier linux linux || status=1
((quick)) || tier fuzz fuzz || status=1

echo "tiers: ${tiers[*]}"
echo "test: $passed passed, $failed failed"
exit "$status"
