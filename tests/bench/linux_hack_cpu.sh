# Whole-process benchmark of the X11 hack, sourced by tests/linux/run.sh: its processor time at
# 600 particles against the same paced window without particles (-count -1), measured in turns in
# one run: medians of three 6-second windows each, after 2 seconds of start-up.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
cpu_percent() {  # percent of one core used by the hack started with "$@"
  start "$@"; sleep 2
  local a; a=$(cpu_ticks "$HACK_PID"); sleep 6
  awk -v t="$(($(cpu_ticks "$HACK_PID") - a))" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f\n", t * 100 / hz / 6 }'
  lw_stop_test_processes
}
test_bench_cpu_at_600_particles_at_most_3_percent() {
  local full=() bare=() i f b
  for i in 1 2 3; do full+=("$(cpu_percent -root)"); bare+=("$(cpu_percent -root -count -1)"); done
  f=$(printf '%s\n' "${full[@]}" | sort -g | sed -n 2p); b=$(printf '%s\n' "${bare[@]}" | sort -g | sed -n 2p)
  echo "cpu % of one core: 600 particles ${full[*]} (median $f); no particles ${bare[*]} (median $b)"
  awk -v f="$f" -v b="$b" 'BEGIN { printf "ratio %.2f\n", (b > 0 ? f / b : 0); exit !(f <= 3) }' || lw_fail "more than 3 %"
}
