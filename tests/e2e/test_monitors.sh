# The saver on three monitors (Xorg's dummy driver; see lib.sh): every monitor covered, each with
# its own animation about its own centre, input on any monitor ending it, display changes survived.
# Wine 8 shows nothing left of or above the primary, so the others sit right of and below it.

LW_MON_LAYOUT="1920x1080+0+0 1280x1024+1920+0 1024x768+0+1080"

# For each monitor of the layout ($2) in a screenshot, its height and lw_display_analyse's line
# (test_display.sh): the desktop's colour (#3366cc) counts among the "other" pixels.
lw_mon_analyse() {
  local m w h x y
  for m in $2; do
    IFS='x+' read -r w h x y <<<"$m"
    convert "$1" -crop "${w}x$h+$x+$y" +repage "$1.m.png" && echo "$h $(lw_display_analyse "$1.m.png" "$w" "$h")"
  done
}

# Three monitors on a server of this test's own, the desktop coloured, the pointer at $1; then the
# saver (LW_SAVER_PID) with a window on each.
lw_mon_start() {
  lw_use_monitors "$LW_MON_LAYOUT" && xsetroot -solid "#3366cc" && xdotool mousemove $1 || return 1
  lw_run_saver "$LW_SCR" && lw_wait 30 lw_wine_reports window 2 || lw_fail "no window on the other monitors"
}

# Every monitor covered in every screenshot, each seen within 20 s with its two clouds mirrored
# about its own centre line (once the particles emitted at start are all re-emitted); the primary's
# window is the one the guard finds, as before. Then monitors are removed and added: the saver goes
# on and its windows follow, the primary's too when its size changes (its new window takes the
# foreground from the old one, so the saver never loses it). Wine 8 takes in a new layout but sends
# no WM_DISPLAYCHANGE (Windows does): the probe sends it.
test_monitors_cover_each_about_its_centre_through_display_changes() {
  lw_mon_start "960 540" || return 1
  local out; out=$(lw_probe window Lumenweave_Main; lw_probe monitors Lumenweave_Monitor)
  grep -qx 'window 0 0 1920 1080' <<<"$out" && grep -qx "window 1920 0 3200 1024" <<<"$out" &&
    grep -qx "window 0 1080 1024 1848" <<<"$out" || lw_fail "windows not over their monitors: $out" || return 1
  local start=$SECONDS shot=$LW_RUN_DIR/shots/monitors.png centred=() i
  while ((${#centred[@]} < 3)); do
    ((SECONDS - start < 20)) || lw_fail "only monitors ${!centred[*]} centred (see $shot)" || return 1
    lw_screenshot "$shot" && i=0
    while read -r h _ _ _ other _ ux uy _ lx ly _; do
      ((other == 0)) || lw_fail "monitor $i shows $other desktop pixels" || return 1
      ((ux >= 0 && lx >= 0 && (ux - lx) ** 2 <= 60 ** 2 && (uy + ly - h) ** 2 <= 60 ** 2)) && centred[i]=1
      i=$((i + 1))
    done < <(lw_mon_analyse "$shot" "$LW_MON_LAYOUT")
  done
  local layout n
  for layout in "1920x1080+0+0 1280x1024+1920+0" "1920x1080+0+0" "1280x1024+0+0" "$LW_MON_LAYOUT"; do
    n=$(wc -w <<<"$layout")
    lw_set_monitors "$layout" && lw_wait 10 lw_wine_reports monitor $n && lw_probe displaychange
    lw_wait 10 lw_wine_reports window $((n - 1)) || lw_fail "$layout: not $((n - 1)) windows" || return 1
    lw_alive "$LW_SAVER_PID" || lw_fail "the change to $layout ended the saver" || return 1
  done
  # A window closed under Wine without a window manager holds the saver for two seconds (it waits
  # for a withdrawal nobody confirms): the old primary's does, after the last change.
  covered() { lw_screenshot "$shot" && ! lw_mon_analyse "$shot" "$LW_MON_LAYOUT" | grep -qv ' other 0 '; }
  lw_wait 10 covered || lw_fail "desktop shows after the changes (see $shot)"
}

# A click on a side monitor ends at once; moves anywhere make one count (Wine sends one move when
# the window appears under the pointer, each xdotool move one more: ten leave it running).
test_monitors_input_on_a_side_monitor_ends() {
  local how kind i
  for how in "click 1:2500 500" "click 3:500 1400" "moves:2700 200"; do
    kind=${how%:*}
    lw_mon_start "${how#*:}" && sleep 1 || return 1
    if [[ $kind == click* ]]; then
      xdotool click "${kind#click }"
    else
      for i in $(seq 1 9); do  # from the right monitor over the primary to the one below it
        xdotool mousemove $((2700 - i * 300)) $((200 + i * 140)) && sleep 0.2
      done
      sleep 1
      lw_alive "$LW_SAVER_PID" || lw_fail "ten mouse-move events across monitors ended the saver" || return 1
      xdotool mousemove 2200 200
    fi
    lw_wait_exit "$LW_SAVER_PID" 2 || lw_fail "$how did not end the saver" || return 1
    lw_stop_test_processes
  done
}
