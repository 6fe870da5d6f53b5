# How the saver is started and ended, its settings file's encodings and identity, seen from outside.
source "$(dirname "${BASH_SOURCE[0]}")/music_lib.sh"

# Waits until the foreground window is titled $2 and the pointer state is $1 (cursor_probe).
review_wait_pointer() { lw_wait 10 bash -c "[[ \$(wine '$LW_PROBES/cursor_probe.exe' | tr -d '\r') == '$1'$'\t''$2' ]]"; }

# A copy of the saver in C:\$1 (blanks allowed); prints its Unix folder.
review_saver_in() { mkdir -p "$LW_DRIVE_C/$1" && cp "$LW_SCR" "$LW_DRIVE_C/$1/Lumenweave.scr" && printf '%s\n' "$LW_DRIVE_C/$1"; }

test_review_start_lines() {
  local dir; dir=$(review_saver_in 'My Savers') || return 1
  local how title pointer pid
  # How it is started | the window it shows | the pointer over it
  while IFS='|' read -r how title pointer; do
    case $how in
      no-argument) lw_start "$dir/Lumenweave.scr" ;;
      unquoted) lw_start "$LW_PROBES/start_probe.exe" 'C:\My Savers\Lumenweave.scr' 'C:\My Savers\Lumenweave.scr /s' ;;
    esac
    pid=$LW_LAST_PID
    lw_wait_window "$title" 30 || lw_fail "$how: no $title window" || return 1
    review_wait_pointer "$pointer" "$title" || lw_fail "$how: pointer not $pointer" || return 1
    [[ $title == Lumenweave_Main ]] && xdotool key space || lw_probe dialog_probe close
    lw_wait_exit "$pid" 15 || lw_fail "$how: did not end" || return 1
  done <<'ROWS'
no-argument|<Lumenweave>|showing
unquoted|Lumenweave_Main|hidden
ROWS
}

test_review_extra_buttons_and_wheel_end_the_saver() {
  local button
  for button in 8 9 4 5 6 7; do  # X1, X2, wheel up and down, wheel left and right
    lw_start_scr /S; local pid=$LW_LAST_PID
    lw_wait_window Lumenweave_Main 30 || lw_fail "no saver window" || return 1
    sleep 1
    xdotool click "$button"
    lw_wait_exit "$pid" 5 || lw_fail "button $button did not end the saver" || return 1
  done
}

