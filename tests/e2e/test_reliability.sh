# Reliability: starting and ending the saver many times, hostile settings files and command lines,
# awkward folders for the settings file, and music that fails.
source "$(dirname "${BASH_SOURCE[0]}")/reliability_lib.sh"

# Runs of the start/stop tests; each of the three tests does a third (CI may lower it).
REL_RUNS=${LW_RELIABILITY_RUNS:-100}
LW_LIMIT_test_reliability_start_stop_by_key=300
LW_LIMIT_test_reliability_start_stop_by_click=300

# `runs` starts of /S, each ended by `how` at a random moment (a quarter of them as soon as the
# window exists, so the input lands in the first frame). Each must end within a second of the
# input and leave no process, window or file behind, with the pointer shown again.
rel_start_stop() {
  local how=$1 runs=$2 seed=${LW_RELIABILITY_SEED:-$$}
  RANDOM=$seed
  local dir win; dir=$(rel_folder rel_startstop_$how) || return 1; win=$(rel_winpath "$dir")
  local t pid delay ms worst=0 total=0 n=0
  lw_log "start/stop by $how: $runs runs, seed $seed"
  for ((t = 1; t <= runs; t++)); do
    xdotool mousemove 960 540
    lw_start "$win\\Lumenweave.scr" /S; pid=$LW_LAST_PID
    lw_wait_window Lumenweave_Main 30 || lw_fail "run $t: no window" || return 1
    delay=$((t % 4 == 1 ? 0 : RANDOM % 1500))
    ((delay)) && sleep "$(printf '0.%03d' "$delay")"
    if ((t % 10 == 2)); then
      [[ $(lw_probe reliability_probe cursor) == showing=0 ]] || lw_fail "run $t: the pointer shows while the saver runs" || return 1
    fi
    rel_input "$how"
    ms=$(rel_exit_ms "$pid" 1000) || lw_fail "run $t ($how after ${delay} ms): still running ${ms} ms after the input" || return 1
    ((ms > worst)) && worst=$ms
    total=$((total + ms)); n=$((n + 1))
    [[ -z $(lw_find_window Lumenweave_Main) ]] || lw_fail "run $t: a Lumenweave_Main window is left" || return 1
    if ((t % 10 == 0 || t == runs)); then
      [[ $(lw_probe reliability_probe processes Lumenweave.scr) == processes=0 ]] || lw_fail "run $t: a saver process is left" || return 1
      [[ $(lw_probe reliability_probe cursor) == showing=1 ]] || lw_fail "run $t: the pointer stays hidden" || return 1
    fi
  done
  local strays; strays=$(ls -A "$dir" | grep -vx -e Lumenweave.scr -e Lumenweave.ini)
  [[ -z $strays ]] || lw_fail "files left beside the saver: $strays" || return 1
  lw_log "start/stop by $how: $n runs, exit after input: mean $((total / n)) ms, worst $worst ms"
}

test_reliability_start_stop_by_key() { rel_start_stop key $(((REL_RUNS + 2) / 3)); }
test_reliability_start_stop_by_click() { rel_start_stop click $(((REL_RUNS + 1) / 3)); }

# The settings writer (the real Win32 file store) in awkward places: what can be saved is saved,
# a read-only file is refused and kept, nothing crashes, and no temporary file stays behind.
# As root, Unix permissions stop no write: the read-only file is made so by its Windows attribute,
# which the file store must honour itself, and the read-only folder by the immutable flag.
test_reliability_settings_in_awkward_folders() {
  local long=rel_long; while ((${#long} < 280)); do long+=/folder_with_a_long_name_$((${#long} % 7)); done
  local cases=(rel_plain "rel_設定_Ünïcode_フォルダ" "$long")
  local name dir win out
  for name in "${cases[@]}"; do
    dir=$(rel_folder "$name") || return 1; win=$(rel_winpath "$dir")
    out=$(lw_probe reliability_probe save "$win\\Lumenweave.ini" 321)
    [[ $out == saved ]] || lw_fail "$name: save gave '$out'" || return 1
    out=$(lw_probe reliability_probe read "$win\\Lumenweave.ini")
    [[ $out == value=321 ]] || lw_fail "$name: read back '$out'" || return 1
    [[ -z $(lw_probe reliability_probe strays "$win") ]] || lw_fail "$name: temporary file left" || return 1
    # The saver itself starts from there, reads the file and ends on a key.
    lw_start "$win\\Lumenweave.scr" /S; local pid=$LW_LAST_PID
    lw_wait_window Lumenweave_Main 30 || lw_fail "$name: the saver did not open" || return 1
    xdotool key space
    lw_wait_exit "$pid" 5 || lw_fail "$name: the saver did not end" || return 1
    lw_log "$name (${#win} characters): saved, read back, saver ran"
  done

  # Read-only file: the save is refused and the file keeps its bytes.
  dir=$(rel_folder rel_readonly_file) || return 1; win=$(rel_winpath "$dir")
  printf '[Section]\r\n\x97\xB1\x8E\x71\x90\x94=55\r\n' >"$dir/Lumenweave.ini"
  cp "$dir/Lumenweave.ini" "$LW_RUN_DIR/rel_readonly_before.ini"
  lw_probe reliability_probe readonly "$win\\Lumenweave.ini" 1 || lw_fail "could not set the read-only attribute" || return 1
  out=$(lw_probe reliability_probe save "$win\\Lumenweave.ini" 999)
  [[ $out == refused ]] || lw_fail "read-only file: save gave '$out'" || return 1
  cmp -s "$dir/Lumenweave.ini" "$LW_RUN_DIR/rel_readonly_before.ini" || lw_fail "read-only file changed" || return 1
  [[ -z $(lw_probe reliability_probe strays "$win") ]] || lw_fail "read-only file: temporary file left" || return 1
  [[ $(lw_probe reliability_probe read "$win\\Lumenweave.ini") == value=55 ]] || lw_fail "read-only file unreadable" || return 1
  lw_probe reliability_probe readonly "$win\\Lumenweave.ini" 0

  # Read-only folder: nothing can be created in it.
  dir=$(rel_folder rel_readonly_folder) || return 1; win=$(rel_winpath "$dir")
  if chattr +i "$dir" 2>/dev/null; then
    trap "chattr -i '$dir' 2>/dev/null; lw_stop_test_processes" EXIT
    out=$(lw_probe reliability_probe save "$win\\Lumenweave.ini" 999)
    chattr -i "$dir"
    [[ $out == refused ]] || lw_fail "read-only folder: save gave '$out'" || return 1
    [[ ! -e $dir/Lumenweave.ini ]] || lw_fail "read-only folder: a file appeared" || return 1
  else
    lw_log "read-only folder: chattr +i is not permitted here; case skipped"
  fi
  return 0
}
