# The saver on three monitors (Xorg's dummy driver; see lib.sh): every monitor covered, each with
# its own animation about its own centre, input on any monitor ending it, display changes survived.
# Wine 8 shows nothing left of or above the primary, so the others sit right of and below it.

LW_MON_LAYOUT="1920x1080+0+0 1280x1024+1920+0 1024x768+0+1080"
LW_MON_ROOT="#3366cc"   # the desktop: must show nowhere on a monitor while the saver runs

# Prints per monitor of the layout ($2): "desktop N lit N upper X Y lower X Y" (pixels of the root
# colour, lit pixels, mean position of those above and below the monitor's centre line, relative
# to its centre).
lw_mon_analyse() {
  convert "$1" -depth 8 rgb:- | python3 -c '
import sys, re
data = sys.stdin.buffer.read()
W = int(sys.argv[1])
for m in sys.argv[2].split():
    w, h, x0, y0 = map(int, re.split("[x+]", m))
    desktop = lit = 0; up = [0, 0, 0]; lo = [0, 0, 0]
    for y in range(h):
        row = data[((y0 + y) * W + x0) * 3:((y0 + y) * W + x0 + w) * 3]
        desktop += row.count(bytes.fromhex("3366cc"))
        if row.count(0) == len(row):
            continue
        for x in range(w):
            if row[3 * x:3 * x + 3] != b"\0\0\0":
                lit += 1; s = up if y < h // 2 else lo
                s[0] += x - w // 2; s[1] += y - h // 2; s[2] += 1
    mean = lambda s: (s[0] // s[2], s[1] // s[2]) if s[2] else (9999, 9999)
    print("desktop", desktop, "lit", lit, "upper", *mean(up), "lower", *mean(lo))
' "$(identify -format %w "$1")" "$2"
}

# Three monitors on a server of this test's own, the desktop coloured, the pointer at $1; starts
# the saver once Wine sees every monitor (its first processes may still see the old layout).
lw_mon_start() {
  lw_use_monitors "$LW_MON_LAYOUT" || return 1
  xsetroot -solid "$LW_MON_ROOT"
  xdotool mousemove $1
  lw_wait 30 bash -c "[[ \$(wine '$LW_PROBES/display_window_probe.exe' monitors 2>/dev/null | grep -c ^monitor) == 3 ]]" ||
    lw_fail "Wine does not see three monitors" || return 1
  lw_start_scr /S
  LW_MON_PID=$LW_LAST_PID
  lw_wait_window Lumenweave_Main 30 || lw_fail "no Lumenweave_Main window" || return 1
  lw_wait 10 bash -c "[[ \$(wine '$LW_PROBES/display_window_probe.exe' monitors 2>/dev/null | grep -c ^window) == 2 ]]" ||
    lw_fail "no window on the other monitors"
}

# Within 20 s, every monitor is covered in every screenshot and each is seen once with its two
# clouds mirrored about its own centre line (the particles emitted at start all re-emitted). The
# primary's window is the one the guard finds, as before: at (0, 0), the primary's size.
test_monitors_every_monitor_covered_each_about_its_centre() {
  lw_mon_start "960 540" || return 1
  local out; out=$(lw_probe display_window_probe; lw_probe display_window_probe monitors)
  echo "$out"
  grep -qx 'rect 0 0 1920 1080' <<<"$out" || lw_fail "primary window moved" || return 1
  local w; for w in "1920 0 3200 1024" "0 1080 1024 1848"; do
    grep -qx "window $w" <<<"$out" || lw_fail "no window at $w" || return 1
  done
  local start=$SECONDS shot=$LW_RUN_DIR/shots/monitors.png mirrored=() i line
  while ((SECONDS - start < 20)); do
    lw_screenshot "$shot"
    i=0
    while read -r _ desktop _ lit _ ux uy _ lx ly; do
      echo "monitor $i: desktop $desktop lit $lit upper $ux,$uy lower $lx,$ly"
      ((desktop == 0)) || lw_fail "monitor $i shows $desktop desktop pixels" || return 1
      if ((lit > 0 && (ux - lx) ** 2 <= 60 ** 2 && (uy + ly) ** 2 <= 60 ** 2 && ux ** 2 <= 570 ** 2)); then
        [[ -n ${mirrored[i]:-} ]] || cp "$shot" "$LW_RUN_DIR/shots/monitors_$i.png"
        mirrored[i]=1
      fi
      i=$((i + 1))
    done < <(lw_mon_analyse "$shot" "$LW_MON_LAYOUT")
    ((${#mirrored[@]} == 3)) && return 0
    sleep 0.5
  done
  lw_fail "not every monitor showed clouds mirrored about its centre: ${!mirrored[*]}"
}

# A click on a side monitor ends at once; moves anywhere count as one count (Wine sends one move
# when the window appears under the pointer, each xdotool move one more: ten leave it running).
test_monitors_input_on_a_side_monitor_ends() {
  local how
  for how in "click 1 at 2500 500" "click 3 at 500 1400" "moves from 2500 500"; do
    read -r kind button _ x y <<<"$how"
    [[ $kind == moves ]] && { x=$button; y=$_; }
    lw_mon_start "$x $y" || return 1
    sleep 1
    if [[ $kind == click ]]; then
      xdotool click "$button"
    else
      local p
      for p in "2600 600" "2000 900" "1500 900" "900 1300" "400 1500" "600 1200" "1000 1000" "2300 300" "3000 800"; do
        xdotool mousemove $p
        sleep 0.2
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
test_monitors_display_change_keeps_running() {
  lw_mon_start "960 540" || return 1
  local layout expect
  for layout in "1920x1080+0+0 1280x1024+1920+0:1" "1920x1080+0+0:0" "$LW_MON_LAYOUT:2"; do
    expect=${layout##*:}
    lw_set_monitors "${layout%:*}" || return 1
    lw_wait 10 bash -c "[[ \$(wine '$LW_PROBES/display_window_probe.exe' monitors 2>/dev/null | grep -c ^window) == $expect ]]" ||
      lw_fail "after the change to ${layout%:*}: not $expect other windows" || return 1
    lw_alive "$LW_MON_PID" || lw_fail "the display change to ${layout%:*} ended the saver" || return 1
  done
}
