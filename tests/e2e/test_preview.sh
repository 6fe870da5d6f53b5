# Preview mode: the picture embedded in a host window, sized to it, ending with it. The host is
# the probe's "preview" command, playing the display settings' part: a borderless window at a
# known place, whose handle the test hands the saver with "/p".
#
# Wine 8.0 does not show what a window draws when its parent belongs to another process (the
# child's device context gets no X drawable), so the host window keeps its own colour on screen.
# The hosted cases check the embedding (style, place, size) and the lifetime; the painting is
# checked with the desktop itself as the parent, where Windows and Wine both show it.

# Waits for the preview in the host of `log` and checks it is a visible child (no pop-up)
# covering exactly 0,0,w,h.
pv_expect_child() {
  local log=$1 w=$2 h=$3 style rect
  lw_wait 30 lw_line "$log" child || lw_fail "no preview child: $(cat "$log")" || return 1
  read -r _ style _ rect <<<"$(lw_line "$log" child)"
  (((style & 0xD0000000) == 0x50000000)) || lw_fail "preview style $style is not a visible child" || return 1
  [[ $rect == "0,0,$w,$h" ]] || lw_fail "preview rectangle $rect, expected 0,0,$w,$h"
}

# Three previews side by side, each ended another way: its parent destroyed, the preview closed,
# the parent's process killed. The others live on each time; a destroyed parent's handle, handed
# to a new preview, ends it at once.
test_preview_fills_its_parent_and_ends_with_it() {
  local name w h x how saver=() ctl=() host=() parent=() i j
  local rows=("destroyed 152 112 100 destroy" "closed 200 150 400 close" "orphan 152 112 700 kill")
  for i in 0 1 2; do
    read -r name w h x how <<<"${rows[i]}"
    lw_host "preview_$name" "$w" "$h" "$x" 400 || return 1
    ctl[i]=$LW_HOST_CTL host[i]=$LW_LAST_PID parent[i]=$LW_HOST
    lw_start_scr /p "$LW_HOST"; saver[i]=$LW_LAST_PID
    pv_expect_child "$LW_HOST_LOG" "$w" "$h" || return 1
  done
  for i in 0 1 2; do
    read -r name _ _ _ how <<<"${rows[i]}"
    if [[ $how == kill ]]; then kill -KILL "${host[i]}"; else : >"${ctl[i]}/$how"; fi
    lw_wait_exit "${saver[i]}" 15 || lw_fail "$name: the preview outlived its parent" || return 1
    for j in 0 1 2; do ((j <= i)) || lw_alive "${saver[j]}" || lw_fail "$name: preview $j ended too" || return 1; done
  done
  lw_start_scr /p "${parent[0]}"
  lw_wait_exit "$LW_LAST_PID" 15 || lw_fail "a destroyed window's handle kept the saver running"
}

# The lit part of a picture as "left top right bottom" (right and bottom exclusive).
pv_lit_box() {
  convert "$1" -bordercolor black -border 1 -trim -format '%X %Y %w %h' info: |
    awk '{ printf "%d %d %d %d\n", $1 - 1, $2 - 1, $1 - 1 + $3, $2 - 1 + $4 }'
}

# The desktop as the parent: the preview covers the screen, the picture at its top-left over black
# keeping its size in twips: pixel for pixel at 96 dots per inch; at 144 what shows lit is the
# picture's lit part scaled by 1.5, within a pixel or two. WM_CLOSE ends it.
test_preview_paints_the_picture_over_black_at_its_size_in_twips() {
  local art=$LW_ROOT/resources/art/preview.bmp shot expected=$LW_RUN_DIR/expected-desktop.png w h want got dpi i
  read -r w h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
  convert "$art" -background black -gravity northwest -extent "${w}x${h}" "$expected" && read -ra want < <(pv_lit_box "$art")
  shows() {
    lw_screenshot "$shot" || return 1
    ((dpi == 96)) && { [[ $(compare -metric AE "$shot" "$expected" null: 2>&1) == 0 ]]; return; }
    read -ra got < <(pv_lit_box "$shot")
    for i in 0 1 2 3; do awk -v w="${want[i]}" -v g="${got[i]}" 'BEGIN { d = w * 1.5 - g; exit !(d <= 2 && d >= -2) }' || return 1; done
  }
  for dpi in 96 144; do
    lw_dpi "$dpi"; shot=$LW_RUN_DIR/shots/preview-$dpi-dpi.png
    lw_host "desktop_$dpi" 0 0 0 0 && lw_start_scr /p "$LW_HOST" && pv_expect_child "$LW_HOST_LOG" "$w" "$h" || return 1
    lw_wait 15 shows || lw_fail "$dpi DPI: the screen differs (see $shot; lit part ${got[*]}, the picture's ${want[*]})" || return 1
    : >"$LW_HOST_CTL/close"
    lw_wait_exit "$LW_LAST_PID" 15 || lw_fail "$dpi DPI: saver still running after WM_CLOSE" || return 1
  done
}
