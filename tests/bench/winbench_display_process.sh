#!/usr/bin/env bash
# The whole saver process under Wine in a virtual 1920 x 1080 display, for each particle count:
#  - its processor time over a stretch of wall time, read from /proc (all its threads), with nothing
#    else touching the display meanwhile;
#  - its frame rate, timed by winbench_display_process.exe from the screen flips in a second run.
# Usage: tests/bench/winbench_display_process.sh [seconds, 30] [particle counts..., 600 32767]
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/lib.sh"
seconds=${1:-30}; shift || true
counts=("${@:-600 32767}")
[[ $# -eq 0 ]] && counts=(600 32767)

trap 'lw_session_stop; [[ -n ${LW_BENCH_OWN_DIR:-} ]] && rm -rf "$LW_RUN_DIR"' EXIT
[[ -z ${LW_RUN_DIR:-} ]] && LW_BENCH_OWN_DIR=1
lw_session_start || { echo "bench: no session"; exit 1; }

# The Linux process of a Windows program of this session whose command line matches $1.
saver_pid() {
  local q
  for q in $(ls /proc | grep -E '^[0-9]+$'); do
    { tr '\0' '\n' < /proc/$q/environ | grep -qx "WINEPREFIX=$WINEPREFIX" &&
      tr '\0' ' ' < /proc/$q/cmdline | grep -q "$1"; } 2>/dev/null && { echo "$q"; return 0; }
  done
  return 1
}
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

hz=$(getconf CLK_TCK)
for n in "${counts[@]}"; do
  dir="$LW_DRIVE_C/bench_cpu_$n"
  mkdir -p "$dir" && cp "$LW_SCR" "$dir/Lumenweave.scr"
  printf '[Section]\r\n粒子数=%s\r\n' "$n" | iconv -f UTF-8 -t CP932 >"$dir/Lumenweave.ini"
  LW_SCR="$dir/Lumenweave.scr" lw_start_scr /S
  lw_wait_window Lumenweave_Main 30 || { echo "bench: no window for N=$n"; exit 1; }
  sleep 2
  pid=$(saver_pid "bench_cpu_$n") || { echo "bench: saver process not found"; exit 1; }
  echo "N=$n: saver is process $pid with $(ls /proc/$pid/task | wc -l) threads"
  a=$(ticks "$pid"); start=$(date +%s.%N)
  sleep "$seconds"
  b=$(ticks "$pid"); end=$(date +%s.%N)
  xdotool key Escape
  lw_wait_exit "$LW_LAST_PID" 10
  awk -v n="$n" -v t=$((b - a)) -v hz="$hz" -v s="$start" -v e="$end" \
    'BEGIN { printf "N=%d: saver CPU %.2f s in %.1f s wall = %.1f %% of one core\n", n, t / hz, e - s, 100 * t / hz / (e - s) }'
  wine "$LW_PROBES/winbench_display_process.exe" "$(winepath -w "$LW_SCR")" "$n" "$seconds" 2>/dev/null | tr -d '\r'
done
