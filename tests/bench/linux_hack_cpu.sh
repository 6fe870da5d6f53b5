# Whole-process benchmark of the X11 hack, sourced by tests/e2e/run.sh --linux: its processor time
# at 600 particles against the same paced window with one particle (-count 0) and against
# XScreenSaver's own galaxy at its defaults, measured in turns in one run: medians of three
# 6-second windows each, after 2 seconds of start-up. cpu_ns and start are test_hack.sh's.
GALAXY=${LW_GALAXY:-/usr/libexec/xscreensaver/galaxy}
cpu_percent() {  # percent of one core used by the hack started with "$@"
  start "$@"; sleep 2
  local a; a=$(cpu_ns "$HACK_PID"); sleep 6
  awk -v t="$(($(cpu_ns "$HACK_PID") - a))" 'BEGIN { printf "%.2f\n", t / 6e7 }'
  lw_stop_test_processes
}
test_bench_cpu_at_600_particles_at_most_3_percent() {
  local full=() bare=() galaxy=() i f b g
  for i in 1 2 3; do
    full+=("$(cpu_percent -root)"); bare+=("$(cpu_percent -root -count 0)")
    [[ ! -x $GALAXY ]] || galaxy+=("$(HACK=$GALAXY cpu_percent -root)")
  done
  median() { printf '%s\n' "$@" | sort -g | sed -n 2p; }
  f=$(median "${full[@]}") b=$(median "${bare[@]}") g=$(median "${galaxy[@]}")
  echo "cpu % of one core: 600 particles ${full[*]} (median $f); one particle ${bare[*]} (median $b); galaxy ${galaxy[*]} (median ${g:-none})"
  awk -v f="$f" -v b="$b" 'BEGIN { printf "ratio %.2f\n", (b > 0 ? f / b : 0); exit !(f <= 3) }' || lw_fail "more than 3 %"
}
