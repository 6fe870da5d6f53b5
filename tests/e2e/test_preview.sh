# Preview mode: the picture embedded in a host's window, sized to it, ending with it.
# The host is the preview_host probe: a borderless window at a known place that starts the saver
# with "/p <its handle>" and writes what it sees to a log.

PREVIEW_PICTURE=${LW_ROOT}/resources/art/preview.bmp

preview_winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

# Starts a host window of w x h at (x, y). Sets PREVIEW_LOG and PREVIEW_CTL (its request folder).
preview_start_host() {
  local w=$1 h=$2 x=$3 y=$4 name=$5
  PREVIEW_CTL=$LW_RUN_DIR/$name.ctl
  PREVIEW_LOG=$LW_RUN_DIR/$name.log
  rm -rf "$PREVIEW_CTL" && mkdir -p "$PREVIEW_CTL"
  lw_start --log "$PREVIEW_LOG" "$LW_PROBES/preview_host.exe" host "$(preview_winpath "$LW_SCR")" \
    "$w" "$h" "$x" "$y" "$(preview_winpath "$PREVIEW_CTL")" 90
}

preview_line() { grep -a "^$2" "$1" 2>/dev/null | tr -d '\r' | head -n 1; }
preview_has_line() { [[ -n $(preview_line "$1" "$2") ]]; }

# The child line must show a visible child (and no pop-up) covering exactly 0,0,w,h.
preview_check_child() {
  local log=$1 w=$2 h=$3 line style rect
  line=$(preview_line "$log" child)
  read -r _ style _ rect <<<"$line"
  (( (style & 0x40000000) != 0 )) || lw_fail "preview is not a child: $line" || return 1
  (( (style & 0x80000000) == 0 )) || lw_fail "preview is still a pop-up: $line" || return 1
  (( (style & 0x10000000) != 0 )) || lw_fail "preview is not visible: $line" || return 1
  [[ $rect == "0,0,$w,$h" ]] || lw_fail "preview rectangle $rect, expected 0,0,$w,$h" || return 1
}

# True when the screen at (x, y) shows exactly the expected picture, pixel for pixel.
preview_screen_matches() {
  local x=$1 y=$2 expected=$3 shot=$4 w h
  read -r w h < <(identify -format '%w %h' "$expected")
  lw_screenshot "$shot.full.png" || return 1
  convert "$shot.full.png" -crop "${w}x${h}+${x}+${y}" +repage "$shot" || return 1
  [[ $(compare -metric AE "$shot" "$expected" null: 2>&1) == 0 ]]
}

# Destroys the host window and expects the saver to end within a few seconds.
preview_destroy_and_expect_exit() {
  local ctl=$1 log=$2 pid=$3
  : >"$ctl/destroy"
  lw_wait 15 preview_has_line "$log" exited || lw_fail "saver still running after its parent went: $(cat "$log")" || return 1
  lw_wait_exit "$pid" 15 || lw_fail "host probe did not end"
}

# Wine 8.0 does not show what a window draws when its parent belongs to another process (the
# child's device context gets no X drawable), so the host window keeps its own colour on screen.
# The child cases therefore check the embedding (style, place, size) and the lifetime, and the
# painting is checked on screen with the desktop itself as the parent (last test), where Windows
# and Wine both show it.

test_preview_fills_the_standard_area_and_ends_with_its_parent() {
  preview_start_host 152 112 100 120 standard; local host=$LW_LAST_PID log=$PREVIEW_LOG ctl=$PREVIEW_CTL
  lw_wait 30 preview_has_line "$log" child || lw_fail "no preview child: $(cat "$log")" || return 1
  preview_check_child "$log" 152 112 || return 1
  preview_destroy_and_expect_exit "$ctl" "$log" "$host"
}

test_preview_in_a_larger_parent_fills_it_and_closes() {
  preview_start_host 200 150 400 120 larger; local host=$LW_LAST_PID log=$PREVIEW_LOG ctl=$PREVIEW_CTL
  lw_wait 30 preview_has_line "$log" child || lw_fail "no preview child: $(cat "$log")" || return 1
  preview_check_child "$log" 200 150 || return 1
  # Closing the preview window itself ends the program too.
  : >"$ctl/close"
  lw_wait 15 preview_has_line "$log" exited || lw_fail "saver still running after WM_CLOSE: $(cat "$log")" || return 1
  lw_wait_exit "$host" 15 || lw_fail "host probe did not end"
}

test_two_previews_run_side_by_side() {
  preview_start_host 152 112 100 400 left; local hostA=$LW_LAST_PID logA=$PREVIEW_LOG ctlA=$PREVIEW_CTL
  preview_start_host 152 112 300 400 right; local hostB=$LW_LAST_PID logB=$PREVIEW_LOG ctlB=$PREVIEW_CTL
  lw_wait 30 preview_has_line "$logA" child || lw_fail "no first preview: $(cat "$logA")" || return 1
  lw_wait 30 preview_has_line "$logB" child || lw_fail "no second preview: $(cat "$logB")" || return 1
  preview_check_child "$logA" 152 112 || return 1
  preview_check_child "$logB" 152 112 || return 1
  ! preview_has_line "$logA" exited || lw_fail "first preview ended early" || return 1
  preview_destroy_and_expect_exit "$ctlA" "$logA" "$hostA" || return 1
  # The second one lives on when the first goes.
  sleep 1
  ! preview_has_line "$logB" exited || lw_fail "second preview ended with the first" || return 1
  preview_destroy_and_expect_exit "$ctlB" "$logB" "$hostB"
}

test_preview_without_a_window_ends_at_once() {
  local args
  for args in "/p 0" "/p abc" "/p" "/p:-1"; do
    lw_start_scr $args; local pid=$LW_LAST_PID
    lw_wait_exit "$pid" 15 || lw_fail "'$args' still running" || return 1
  done
  local out
  out=$(lw_probe preview_host stale "$(preview_winpath "$LW_SCR")" 15000)
  grep -q '^exited' <<<"$out" || lw_fail "a destroyed window's handle kept the saver running: $out"
}

test_no_preview_starts_while_the_saver_is_open() {
  lw_start_scr /S; local saver=$LW_LAST_PID
  lw_wait_window Lumenweave_Main 30 || lw_fail "no Lumenweave_Main window" || return 1
  preview_start_host 152 112 100 120 guarded; local host=$LW_LAST_PID log=$PREVIEW_LOG
  lw_wait 20 preview_has_line "$log" exited || lw_fail "preview did not end at once: $(cat "$log")" || return 1
  ! preview_has_line "$log" child || lw_fail "a preview window was made while the saver is open" || return 1
  lw_wait_exit "$host" 10 || lw_fail "host probe did not end" || return 1
  xdotool key space
  lw_wait_exit "$saver" 10 || lw_fail "a key did not end the saver"
}

test_preview_paints_the_picture_unscaled_over_black() {
  # The desktop as the parent: the preview covers the screen, the picture at its top-left.
  local ctl=$LW_RUN_DIR/desktop.ctl log=$LW_RUN_DIR/desktop.log
  rm -rf "$ctl" && mkdir -p "$ctl"
  lw_start --log "$log" "$LW_PROBES/preview_host.exe" desktop "$(preview_winpath "$LW_SCR")" "$(preview_winpath "$ctl")" 90
  local host=$LW_LAST_PID
  lw_wait 30 preview_has_line "$log" child || lw_fail "no preview window: $(cat "$log")" || return 1
  local w h
  read -r w h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
  preview_check_child "$log" "$w" "$h" || return 1
  convert "$PREVIEW_PICTURE" -background black -gravity northwest -extent "${w}x${h}" "$LW_RUN_DIR/expected-desktop.png"
  lw_wait 15 preview_screen_matches 0 0 "$LW_RUN_DIR/expected-desktop.png" "$LW_RUN_DIR/shots/preview-desktop.png" ||
    lw_fail "screen differs from the picture on black (see shots/preview-desktop.png)" || return 1
  : >"$ctl/close"
  lw_wait 15 preview_has_line "$log" exited || lw_fail "saver still running after WM_CLOSE: $(cat "$log")" || return 1
  lw_wait_exit "$host" 15 || lw_fail "host probe did not end"
}

test_preview_ends_when_its_parents_process_dies() {
  local log=$LW_RUN_DIR/orphan.log
  lw_start --log "$log" "$LW_PROBES/preview_host.exe" window 152 112 600 400 90; local host=$LW_LAST_PID
  lw_wait 30 preview_has_line "$log" parent || lw_fail "no host window: $(cat "$log")" || return 1
  local handle; read -r _ handle <<<"$(preview_line "$log" parent)"
  lw_start_scr /p "$handle"; local saver=$LW_LAST_PID
  sleep 3  # the preview settles in; it must still be running then
  lw_alive "$saver" || lw_fail "preview ended while its parent was there" || return 1
  kill -KILL "$host"
  lw_wait_exit "$saver" 15 || lw_fail "preview outlived its parent's process"
}

test_preview_artwork_loads_as_windows_sees_it() {
  local out expected
  out=$(lw_probe preview_art "$(preview_winpath "$LW_SCR")")
  expected='icon 16 16x16
icon 32 32x32
icon 48 48x48
icon 256 256x256
cursor 32x32 hotspot 12,10
bitmap 120 152x112 24
bitmap 110 556x20 24
bitmap 111 12x12 24
bitmap 112 12x12 24'
  [[ $out == "$expected" ]] || lw_fail "resources differ:"$'\n'"$out"
}

# The lit part of a picture as "left top right bottom" (right and bottom exclusive).
preview_lit_box() {
  convert "$1" -bordercolor black -border 1 -trim -format '%X %Y %w %h' info: |
    awk '{ printf "%d %d %d %d", $1 - 1, $2 - 1, $1 - 1 + $3, $2 - 1 + $4 }'
}

# True when what the screen shows lit is the committed picture's lit part scaled by $1, within a
# pixel or two: the same picture rendered at a larger size, the rest of the screen black.
preview_screen_is_picture_scaled() {
  local scale=$1 shot=$2 i
  lw_screenshot "$shot" || return 1
  local -a want got
  read -ra want < <(preview_lit_box "$PREVIEW_PICTURE")
  read -ra got < <(preview_lit_box "$shot")
  for i in 0 1 2 3; do
    awk -v w="${want[i]}" -v g="${got[i]}" -v s="$scale" 'BEGIN { d = w * s - g; exit !(d <= 2 && d >= -2) }' || return 1
  done
}

test_preview_at_144_dpi_keeps_the_pictures_size_in_twips() {
  # Wine 8 takes the DPI from HKCU\Control Panel\Desktop LogPixels when a program starts.
  local dpikey='HKCU\Control Panel\Desktop' ctl=$LW_RUN_DIR/dpi.ctl log=$LW_RUN_DIR/dpi.log
  wine reg add "$dpikey" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
  rm -rf "$ctl" && mkdir -p "$ctl"
  lw_start --log "$log" "$LW_PROBES/preview_host.exe" desktop "$(preview_winpath "$LW_SCR")" "$(preview_winpath "$ctl")" 90
  local host=$LW_LAST_PID
  lw_wait 60 preview_has_line "$log" child; local shown=$?
  wine reg add "$dpikey" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
  ((shown == 0)) || lw_fail "no preview window: $(cat "$log")" || return 1
  lw_wait 15 preview_screen_is_picture_scaled 1.5 "$LW_RUN_DIR/shots/preview-144dpi.png" ||
    lw_fail "lit part $(preview_lit_box "$LW_RUN_DIR/shots/preview-144dpi.png"), expected 1.5 x" \
      "$(preview_lit_box "$PREVIEW_PICTURE") (see shots/preview-144dpi.png)" || return 1
  : >"$ctl/close"
  lw_wait 15 preview_has_line "$log" exited || lw_fail "saver still running after WM_CLOSE: $(cat "$log")" || return 1
  lw_wait_exit "$host" 15 || lw_fail "host probe did not end"
}
