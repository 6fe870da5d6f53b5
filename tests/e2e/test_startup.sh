# Start-up: what each command line does, alone and while the saver runs (the single-instance
# guard), seen from outside through the saver window's title and a key ending it.

# Rows: arguments (split at blanks) | "saver": its window shows and a key ends it (that the
# pointer hides meanwhile: the start/stop runs of test_reliability.sh); "dialog": the settings
# open with the pointer showing and close; "ends": the process ends by itself and shows neither.
# "probe:LINE" starts the copy in C:\My Savers with that whole command line (probe start): the path
# unquoted, as some launchers do, or quoted with the switch right after the closing quote.
test_startup_command_lines() {
  local long digits dir scr='C:\My Savers\Lumenweave.scr'
  long=$(printf '%030000d' 0 | tr 0 x); digits=$(printf '%05000d' 0 | tr 0 9)
  dir=$(lw_saver_copy 'My Savers') || return 1
  local rows=(
    "/s|saver" "/S$long|saver" "/s日本語ü|saver" "probe:$scr /s|saver" "probe:\"$scr\"/s|saver" "|dialog"
    "/x|ends" "S|ends" "-|ends" "/Ｓ|ends" "/ß|ends" "/X$long|ends"
    "/p|ends" "/p 0|ends" "/p abc|ends" "/p:-1|ends" "/P -2147483648|ends" "/P -99999999999|ends"
    "/P 4294967296|ends" "/P 99999999999999|ends" "/P &HFFFFFFFF|ends" "/P 1e300|ends" "/P $digits|ends" "/P 日本|ends"
  )
  local row args want
  for row in "${rows[@]}"; do
    IFS='|' read -r args want <<<"$row"
    xdotool mousemove 960 540
    # shellcheck disable=SC2086
    if [[ $args == probe:* ]]; then lw_start "$LW_PROBE" start "$scr" "${args#probe:}"; else lw_start "$dir/Lumenweave.scr" $args; fi
    case $want in
      saver)
        lw_wait_window Lumenweave_Main 30 || lw_fail "'${args:0:20}': no saver window" || return 1
        lw_end_by_key "$LW_LAST_PID" 5 || lw_fail "'${args:0:20}': a key did not end the saver" || return 1 ;;
      dialog)
        lw_wait_window "<Lumenweave>" 30 || lw_fail "'$args': no settings dialog" || return 1
        lw_wait 10 lw_pointer '>' || lw_fail "'$args': the pointer is hidden" || return 1
        lw_probe close '<Lumenweave>' box
        lw_wait_exit "$LW_LAST_PID" 15 || lw_fail "'$args': the dialog did not close" || return 1 ;;
      ends)
        lw_wait_exit "$LW_LAST_PID" 15 || lw_fail "'${args:0:20}' still running" || return 1
        [[ -z $(lw_find_window Lumenweave_Main)$(lw_find_window "<Lumenweave>") ]] || lw_fail "'${args:0:20}' opened a window" || return 1 ;;
    esac
  done
  lw_no_saver_process || lw_fail "a process is left"
}

# While the saver runs, a start in any mode ends at once, making no window. Then, as the system's
# saver framework has it: the saver's window is a tool window (no taskbar button, no Alt+Tab
# entry); the system commands that would start a saver over it, close it or switch windows change
# nothing; another program's window taking the foreground ends it, leaving no process. (Wine's
# DefWindowProc starts no saver on SC_SCREENSAVE; its SC_CLOSE would close the window.)
test_startup_second_start_ends_at_once_and_losing_the_foreground_ends_the_saver() {
  # A host window of the preview tests, so "/p" names a real window; made first, so that the
  # saver is in front.
  lw_host second 152 112 100 120 && lw_run_saver "$LW_SCR" || return 1
  local args second
  for args in /S /C "/P 0" /p:0 "" /x "/p $LW_HOST"; do
    lw_start_scr $args; second=$LW_LAST_PID
    lw_wait_exit "$second" 10 || lw_fail "second start '$args' still running" || return 1
    [[ $(lw_find_window Lumenweave_Main | wc -l) -eq 1 && -z $(lw_find_window "<Lumenweave>")$(lw_find_window "Preview Window") ]] ||
      lw_fail "second start '$args' made a saver window, the dialog or a preview" || return 1
  done
  local exstyle; read -r _ _ exstyle < <(lw_probe window | grep '^style')
  (((0x$exstyle & 0x80) != 0)) || lw_fail "the saver's window is no tool window (extended style $exstyle)" || return 1
  lw_probe syscommand Lumenweave_Main f140 f060 f040 f050 && sleep 1 || lw_fail "no saver window to send commands to" || return 1
  lw_alive "$LW_SAVER_PID" && [[ $(lw_find_window Lumenweave_Main | wc -l) -eq 1 ]] ||
    lw_fail "a system command ended the saver or started another" || return 1
  : >"$LW_HOST_CTL/front"
  lw_wait 10 lw_line "$LW_HOST_LOG" "front 1" || lw_fail "the host did not take the foreground" || return 1
  lw_wait_exit "$LW_SAVER_PID" 5 || lw_fail "the saver runs on behind another program's window" || return 1
  lw_no_saver_process || lw_fail "a process is left"
}
