#!/usr/bin/env bash
# Processor time of paced windows and of the saver under Wine, read from /proc (all threads of the
# Windows process) over a stretch of wall time with nothing else touching the display. The
# programs take turns, round after round, so the machine's load falls on all of them alike; each
# gets the median of its rounds and its ratio to the first program.
# Usage: tests/bench/winbench_display_process.sh [seconds 20] [rounds 5] [program...]
# A program is bare or rect (the paced windows of winbench_display), saver:N (Lumenweave.scr /S
# at N particles; saver:N:PATH another build of it) or MODE:N[:primary] for any other
# winbench_display mode at N particles (on the primary monitor only), e.g. tiles:6:600.
# Default: bare rect saver:600 saver:2000. Monitors are what the display offers.
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/lib.sh"
seconds=${1:-20}; rounds=${2:-5}; shift 2 2>/dev/null || shift $#
programs=("$@"); ((${#programs[@]})) || programs=(bare rect saver:600 saver:2000)

trap 'lw_session_stop; [[ -n ${LW_BENCH_OWN_DIR:-} ]] && rm -rf "$LW_RUN_DIR"' EXIT
[[ -z ${LW_RUN_DIR:-} ]] && LW_BENCH_OWN_DIR=1
lw_session_start || { echo "bench: no session"; exit 1; }

# The Linux process of the Windows program whose command line holds $1 (a name unique to the round).
windows_pid() { pgrep -f -- "$1" | head -n 1 | grep .; }
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# Starts one program, measures it for $seconds, ends it; prints its % of one core.
measure() {
  local p=$1 match pid a b start end
  if [[ $p == saver:* ]]; then
    local what=${p#saver:}; local n=${what%%:*} scr=$LW_SCR dir="$LW_DRIVE_C/bench_$RANDOM"
    [[ $what == *:* ]] && scr=${what#*:}
    mkdir -p "$dir" && cp "$scr" "$dir/Lumenweave.scr"
    printf '[Section]\r\n粒子数=%s\r\n' "$n" | iconv -f UTF-8 -t CP932 >"$dir/Lumenweave.ini"
    LW_SCR="$dir/Lumenweave.scr" lw_start_scr /S; match=${dir##*/}
    lw_wait_window Lumenweave_Main 30 || { echo "bench: no saver window" >&2; return 1; }
  else
    local mode=$p n=0 rest=${p#*:*:} scope=
    [[ $p == bare || $p == rect ]] || { mode=${p%%:"$rest"}; mode=${mode%:}; n=${rest%%:*}; [[ $rest == *:* ]] && scope=${rest#*:}; }
    match=winbench_$RANDOM; cp "$LW_PROBES/winbench_display.exe" "$LW_DRIVE_C/$match.exe"
    lw_start --log "$LW_RUN_DIR/$p.log" "$LW_DRIVE_C/$match.exe" "$mode" "$n" $((seconds + 60)) $scope
    lw_wait_window winbench_display 30 || { echo "bench: no bench window" >&2; return 1; }
  fi
  sleep 2
  pid=$(windows_pid "$match") || { echo "bench: process of $p not found" >&2; return 1; }
  local x=${LW_SESSION_PIDS[0]} xa xb
  a=$(ticks "$pid"); xa=$(ticks "$x"); start=$(date +%s.%N)
  sleep "$seconds"
  b=$(ticks "$pid"); xb=$(ticks "$x"); end=$(date +%s.%N)
  xdotool key Escape
  lw_wait_exit "$LW_LAST_PID" 15 || kill -KILL "$LW_LAST_PID"
  awk -v t=$((b - a)) -v xt=$((xb - xa)) -v hz="$(getconf CLK_TCK)" -v s="$start" -v e="$end" \
    'BEGIN { printf "%.2f (X server %.2f)", 100 * t / hz / (e - s), 100 * xt / hz / (e - s) }'
}

declare -A runs
for ((r = 1; r <= rounds; r++)); do
  for p in "${programs[@]}"; do
    v=$(measure "$p") || exit 1
    runs[$p]+="${v%% *} "
    echo "round $r: $p $v % of one core"; grep -h "frame work" "$LW_RUN_DIR/$p.log" 2>/dev/null | tr -d '\r'
  done
done
median() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
base=$(median <<<"${runs[${programs[0]}]}")
for p in "${programs[@]}"; do
  m=$(median <<<"${runs[$p]}")
  awk -v p="$p" -v m="$m" -v b="$base" -v all="${runs[$p]}" -v first="${programs[0]}" \
    'BEGIN { printf "%-14s median %5.2f %% of one core, %.2fx %s (runs: %s)\n", p, m, m / b, first, all }'
done
