#!/usr/bin/env bash
# Runs the end-to-end tests (functions test_* of tests/e2e/test_*.sh) against the built saver under
# Wine, or with --linux those of tests/linux/test_*.sh and the hack's processor benchmark against
# the X11 hack (LW_HACK), natively. Usage: tests/e2e/run.sh [--linux] [name-filter-regex]
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
suite=e2e files=("$here"/test_*.sh)
[[ ${1:-} == --linux ]] && { suite=linux files=("$LW_ROOT"/tests/linux/test_*.sh "$LW_ROOT"/tests/bench/linux_hack_cpu.sh) LW_NO_WINE=1; shift; }
filter=${1:-.} per_test_limit=${LW_E2E_TEST_LIMIT:-180}

[[ $suite == linux || -f $LW_SCR ]] || { echo "e2e: $LW_SCR is missing; build the windows preset first" >&2; exit 2; }

trap 'lw_session_stop' EXIT
trap 'exit 130' INT TERM
lw_session_start || { echo "$suite: could not set up the session (logs in $LW_RUN_DIR)"; echo "0 passed, 1 failed"; exit 1; }
lw_log "session in $LW_RUN_DIR, DISPLAY=$DISPLAY"

passed=0 failed=0 failures=()
for file in "${files[@]}"; do
  source "$file"
  for fn in $(grep -oE '^test_[A-Za-z0-9_]+' "$file"); do
    [[ $fn =~ $filter ]] || continue
    start=$SECONDS
    # A test file may give one of its tests a longer limit: LW_LIMIT_<function>=seconds.
    limit_var=LW_LIMIT_$fn; limit=${!limit_var:-$per_test_limit}
    # Each test runs in a subshell with its own time limit; its processes are stopped after it.
    ( set -u; LW_TEST_PIDS=(); trap 'lw_stop_test_processes' EXIT; trap 'exit 143' TERM; "$fn" ) > "$LW_RUN_DIR/$fn.log" 2>&1 &
    tpid=$!
    # The watchdog stops its own sleep and keeps no copy of stdout, so a pipe reading this
    # script's output closes when the last test ends.
    ( trap 'kill "$s" 2>/dev/null; exit 0' TERM; sleep "$limit" & s=$!; wait "$s"
      # The test's foreground command (a wait, a probe) is stopped too, so the limit holds.
      pkill -TERM -P "$tpid" 2>/dev/null; kill -TERM "$tpid" 2>/dev/null ) >/dev/null 2>&1 & wd=$!
    wait "$tpid"; rc=$?
    kill "$wd" 2>/dev/null; wait "$wd" 2>/dev/null
    ((rc == 0)) && { passed=$((passed + 1)); echo "PASS $fn ($((SECONDS - start)) s)"; continue; }
    failed=$((failed + 1)); failures+=("$fn"); echo "FAIL $fn ($((SECONDS - start)) s, rc $rc)"
    sed 's/^/    | /' "$LW_RUN_DIR/$fn.log" | tail -n 25
  done
done

((failed)) && echo "$suite failures: ${failures[*]} (logs in $LW_RUN_DIR)"
echo "$suite: $passed passed, $failed failed"
((failed == 0))
