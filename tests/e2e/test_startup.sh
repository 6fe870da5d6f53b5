# Start-up: the single-instance guard and the mode table, seen from outside.

test_saver_opens_and_a_second_start_ends_at_once() {
  lw_start_scr /S; local saver=$LW_LAST_PID
  lw_wait_window Lumenweave_Main 30 || lw_fail "no Lumenweave_Main window" || return 1
  for args in /S /C "/P 0"; do
    lw_start_scr $args; local second=$LW_LAST_PID
    lw_wait_exit "$second" 10 || lw_fail "second start '$args' still running" || return 1
    [[ $(lw_find_window Lumenweave_Main | wc -l) -eq 1 ]] || lw_fail "second start '$args' made a window" || return 1
    [[ -z $(lw_find_window "<Lumenweave>") ]] || lw_fail "'$args' opened the dialog" || return 1
  done
  xdotool key space
  lw_wait_exit "$saver" 10 || lw_fail "a key did not end the saver"
}

test_unrecognised_argument_ends_at_once() {
  lw_start_scr /x; local pid=$LW_LAST_PID
  lw_wait_exit "$pid" 15 || lw_fail "/x still running" || return 1
  [[ -z $(lw_find_window Lumenweave_Main) ]] || lw_fail "/x opened the saver"
}
