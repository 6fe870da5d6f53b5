# Start-up: the single-instance guard, the mode table and the pointer, seen from outside. These
# tests rely only on the saver window's title and on a key ending it.

# Waits until the probe calling GetCursorInfo reports "<showing|hidden><TAB>Lumenweave_Main" for the
# foreground window (Wine reports the pointer state of the foreground window's thread).
startup_wait_pointer() {
  local want=$1 deadline=$((SECONDS + 10)) got
  while ((SECONDS <= deadline)); do
    got=$(lw_probe cursor_probe)
    [[ $got == "$want"$'\t'Lumenweave_Main ]] && return 0
    sleep 0.2
  done
  lw_fail "pointer state '$got', wanted '$want' with the saver in front"
}

test_startup_saver_opens_and_a_second_start_ends_at_once() {
  lw_start_scr /S; local saver=$LW_LAST_PID
  lw_wait_window Lumenweave_Main 30 || lw_fail "no Lumenweave_Main window" || return 1
  local args second
  for args in /S /C "/P 0" /p:0 "" /x; do
    lw_start_scr $args; second=$LW_LAST_PID
    lw_wait_exit "$second" 10 || lw_fail "second start '$args' still running" || return 1
    [[ $(lw_find_window Lumenweave_Main | wc -l) -eq 1 ]] || lw_fail "second start '$args' made a window" || return 1
    [[ -z $(lw_find_window "<Lumenweave>") ]] || lw_fail "'$args' opened the dialog" || return 1
    [[ -z $(lw_find_window "Preview Window") ]] || lw_fail "'$args' opened a preview" || return 1
  done
  xdotool key space
  lw_wait_exit "$saver" 10 || lw_fail "a key did not end the saver"
}

test_startup_unrecognised_argument_ends_at_once() {
  local args pid
  for args in /x S -; do
    lw_start_scr $args; pid=$LW_LAST_PID
    lw_wait_exit "$pid" 15 || lw_fail "'$args' still running" || return 1
    [[ -z $(lw_find_window Lumenweave_Main) ]] || lw_fail "'$args' opened the saver" || return 1
  done
}

test_startup_run_mode_hides_the_pointer() {
  lw_start_scr /s; local saver=$LW_LAST_PID
  lw_wait_window Lumenweave_Main 30 || lw_fail "no Lumenweave_Main window" || return 1
  startup_wait_pointer hidden || return 1
  xdotool key space
  lw_wait_exit "$saver" 10 || lw_fail "a key did not end the saver"
}
