# The saver on three monitors (Xorg's dummy driver; see lib.sh): every monitor covered, each with
# its own animation about its own centre, input on any monitor ending it, display changes survived.
# Wine 8 shows nothing left of or above the primary, so the others sit right of and below it.

LW_MON_LAYOUT="1920x1080+0+0 1280x1024+1920+0 1024x768+0+1080"

# Prints per monitor of the layout ($2): "desktop N lit N upper X Y lower X Y": pixels of the
# desktop's colour (#3366cc), lit pixels, and the mean position of those above and below the
# monitor's centre line, relative to its centre.
lw_mon_analyse() {
  convert "$1" -depth 8 rgb:- | python3 -c '
import sys, re
data, W = sys.stdin.buffer.read(), int(sys.argv[1])
for m in sys.argv[2].split():
    w, h, x0, y0 = map(int, re.split("[x+]", m))
    desktop = 0; s = [[0, 0, 0], [0, 0, 0]]
    for y in range(h):
        row = data[((y0 + y) * W + x0) * 3:((y0 + y) * W + x0 + w) * 3]
        desktop += row.count(bytes.fromhex("3366cc"))
        for x in range(w) if row.count(0) < len(row) else ():
            if row[3 * x:3 * x + 3] != b"\0\0\0":
                half = s[y >= h // 2]; half[0] += x - w // 2; half[1] += y - h // 2; half[2] += 1
    mean = lambda s: (s[0] // s[2], s[1] // s[2]) if s[2] else (9999, 9999)
    print("desktop", desktop, "lit", s[0][2] + s[1][2], "upper", *mean(s[0]), "lower", *mean(s[1]))
' "$(identify -format %w "$1")" "$2"
}

# Three monitors on a server of this test's own, the desktop coloured, the pointer at $1.
lw_mon_start() {
  lw_use_monitors "$LW_MON_LAYOUT" && xsetroot -solid "#3366cc" && xdotool mousemove $1 || return 1
  lw_start_scr /S
  LW_MON_PID=$LW_LAST_PID
  lw_wait 30 lw_wine_reports window 2 || lw_fail "no window on the other monitors"
}

# Within 20 s every monitor is covered in every screenshot and each is seen once with its two
# clouds mirrored about its own centre line (the particles emitted at start all re-emitted). The
# primary's window is the one the guard finds, as before: at (0, 0), the primary's size.
test_monitors_every_monitor_covered_each_about_its_centre() {
  lw_mon_start "960 540" || return 1
  local out; out=$(lw_probe display_window_probe; lw_probe display_window_probe monitors)
  echo "$out"
  grep -qx 'rect 0 0 1920 1080' <<<"$out" || lw_fail "primary window moved" || return 1
  grep -qx "window 1920 0 3200 1024" <<<"$out" && grep -qx "window 0 1080 1024 1848" <<<"$out" ||
    lw_fail "side windows not over their monitors" || return 1
  local start=$SECONDS shot=$LW_RUN_DIR/shots/monitors.png mirrored=() i
  while ((SECONDS - start < 20)); do
    lw_screenshot "$shot"
    i=0
    while read -r _ desktop _ lit _ ux uy _ lx ly; do
      echo "monitor $i: desktop $desktop lit $lit upper $ux,$uy lower $lx,$ly"
      ((desktop == 0)) || lw_fail "monitor $i shows $desktop desktop pixels" || return 1
      (((ux - lx) ** 2 <= 60 ** 2 && (uy + ly) ** 2 <= 60 ** 2 && ux ** 2 <= 570 ** 2)) && mirrored[i]=1
      i=$((i + 1))
    done < <(lw_mon_analyse "$shot" "$LW_MON_LAYOUT")
    ((${#mirrored[@]} == 3)) && return 0
    sleep 0.5
  done
  lw_fail "not every monitor showed clouds mirrored about its centre: ${!mirrored[*]}"
}

# A click on a side monitor ends at once; moves anywhere make one count (Wine sends one move when
# the window appears under the pointer, each xdotool move one more: ten leave it running).
test_monitors_input_on_a_side_monitor_ends() {
  local how kind at p
  for how in "click 1:2500 500" "click 3:500 1400" "moves:2500 500"; do
    kind=${how%:*} at=${how#*:}
    lw_mon_start "$at" && sleep 1 || return 1
    if [[ $kind == click* ]]; then
      xdotool click "${kind#click }"
    else
      for p in "2600 600" "2000 900" "1500 900" "900 1300" "400 1500" "600 1200" "1000 1000" "2300 300" "3000 800"; do
        xdotool mousemove $p && sleep 0.2
      done
      sleep 1
      lw_alive "$LW_MON_PID" || lw_fail "ten mouse-move events across monitors ended the saver" || return 1
      xdotool mousemove 2200 200
    fi
    lw_wait_exit "$LW_MON_PID" 2 || lw_fail "$how did not end the saver" || return 1
    lw_stop_test_processes
  done
}

# Monitors removed and added while the saver runs: it goes on and its windows follow the layout.
# Wine 8 takes in the new layout but sends no WM_DISPLAYCHANGE (Windows does): the probe sends it.
test_monitors_display_change_keeps_running() {
  lw_mon_start "960 540" || return 1
  local layout n
  for layout in "1920x1080+0+0 1280x1024+1920+0" "1920x1080+0+0" "$LW_MON_LAYOUT"; do
    n=$(wc -w <<<"$layout")
    lw_set_monitors "$layout" && lw_wait 10 lw_wine_reports monitor $n || return 1
    lw_probe display_window_probe displaychange
    lw_wait 10 lw_wine_reports window $((n - 1)) || lw_fail "$layout: not $((n - 1)) windows" || return 1
    lw_alive "$LW_MON_PID" || lw_fail "the change to $layout ended the saver" || return 1
  done
  sleep 1
  lw_screenshot "$LW_RUN_DIR/shots/monitors_again.png"
  lw_mon_analyse "$LW_RUN_DIR/shots/monitors_again.png" "$LW_MON_LAYOUT" | tee /dev/stderr | grep -qv '^desktop 0 ' &&
    lw_fail "a monitor shows the desktop after the changes"
  return 0
}
