# Preview mode: the picture embedded in a host window, sized to it, ending with it. The host is
# the probe's "preview" command, playing the display settings' part: a borderless window at a
# known place, whose handle the test hands the saver with "/p".
#
# Wine 8.0 does not show what a window draws when its parent belongs to another process (the
# child's device context gets no X drawable), so the host window keeps its own colour on screen.
# The hosted cases check the embedding (style, place, size) and the lifetime; the painting is
# checked with the desktop itself as the parent, where Windows and Wine both show it.

# Starts a host window: pv_host NAME W H X Y (W 0: the desktop). Sets PV_LOG, PV_CTL (its request
# folder) and PV_PARENT (the handle).
pv_host() {
  PV_LOG=$LW_RUN_DIR/$1.log PV_CTL=$LW_RUN_DIR/$1.ctl
  rm -rf "$PV_CTL" && mkdir -p "$PV_CTL"
  lw_start --log "$PV_LOG" "$LW_PROBE" preview "$2" "$3" "$4" "$5" "Z:${PV_CTL//\//\\}" 120
  lw_wait 30 pv_line "$PV_LOG" parent || lw_fail "no host window: $(cat "$PV_LOG")" || return 1
  read -r _ PV_PARENT <<<"$(pv_line "$PV_LOG" parent)"
}
pv_line() { grep -a "^$2" "$1" 2>/dev/null | tr -d '\r' | head -n 1 | grep .; }

# Waits for the preview in the host of `log` and checks it is a visible child (no pop-up)
# covering exactly 0,0,w,h.
pv_expect_child() {
  local log=$1 w=$2 h=$3 style rect
  lw_wait 30 pv_line "$log" child || lw_fail "no preview child: $(cat "$log")" || return 1
  read -r _ style _ rect <<<"$(pv_line "$log" child)"
  (((style & 0xD0000000) == 0x50000000)) || lw_fail "preview style $style is not a visible child" || return 1
  [[ $rect == "0,0,$w,$h" ]] || lw_fail "preview rectangle $rect, expected 0,0,$w,$h"
}

# Three previews side by side, each ended another way: its parent destroyed, the preview closed,
# the parent's process killed. The others live on each time; a destroyed parent's handle, handed
# to a new preview, ends it at once.
test_preview_fills_its_parent_and_ends_with_it() {
  local row name w h x how saver=() log=() ctl=() host=() parent=() i
  local rows=("destroyed 152 112 100 destroy" "closed 200 150 400 close" "orphan 152 112 700 kill")
  for i in 0 1 2; do
    read -r name w h x how <<<"${rows[i]}"
    pv_host "preview_$name" "$w" "$h" "$x" 400 || return 1
    log[i]=$PV_LOG ctl[i]=$PV_CTL host[i]=$LW_LAST_PID parent[i]=$PV_PARENT
    lw_start_scr /p "$PV_PARENT"; saver[i]=$LW_LAST_PID
    pv_expect_child "$PV_LOG" "$w" "$h" || return 1
  done
  for i in 0 1 2; do
    read -r name _ _ _ how <<<"${rows[i]}"
    case $how in
      kill) kill -KILL "${host[i]}" ;;
      *) : >"${ctl[i]}/$how" ;;
    esac
    lw_wait_exit "${saver[i]}" 15 || lw_fail "$name: the preview outlived its parent" || return 1
    local j; for j in 0 1 2; do
      ((j <= i)) || lw_alive "${saver[j]}" || lw_fail "$name: preview $j ended with it" || return 1
    done
  done
  lw_start_scr /p "${parent[0]}"
  lw_wait_exit "$LW_LAST_PID" 15 || lw_fail "a destroyed window's handle kept the saver running"
}

# The desktop as the parent: the preview covers the screen, the picture unscaled at its top-left
# over black, pixel for pixel.
test_preview_paints_the_picture_unscaled_over_black() {
  pv_host desktop 0 0 0 0 || return 1
  lw_start_scr /p "$PV_PARENT"; local saver=$LW_LAST_PID
  local w h expected=$LW_RUN_DIR/expected-desktop.png shot=$LW_RUN_DIR/shots/preview-desktop.png
  read -r w h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
  pv_expect_child "$PV_LOG" "$w" "$h" || return 1
  convert "$LW_ROOT/resources/art/preview.bmp" -background black -gravity northwest -extent "${w}x${h}" "$expected"
  lw_wait 15 bash -c "import -window root '$shot' 2>/dev/null && [[ \$(compare -metric AE '$shot' '$expected' null: 2>&1) == 0 ]]" ||
    lw_fail "screen differs from the picture on black (see $shot)" || return 1
  : >"$PV_CTL/close"
  lw_wait_exit "$saver" 15 || lw_fail "saver still running after WM_CLOSE"
}

# The lit part of a picture as "left top right bottom" (right and bottom exclusive).
pv_lit_box() {
  convert "$1" -bordercolor black -border 1 -trim -format '%X %Y %w %h' info: |
    awk '{ printf "%d %d %d %d\n", $1 - 1, $2 - 1, $1 - 1 + $3, $2 - 1 + $4 }'
}

# At 144 dots per inch the picture keeps its size in twips: what the screen shows lit is the
# picture's lit part scaled by 1.5, within a pixel or two, the rest black.
test_preview_at_144_dpi_keeps_the_pictures_size_in_twips() {
  local shot=$LW_RUN_DIR/shots/preview-144dpi.png want got i
  lw_dpi 144
  pv_host dpi 0 0 0 0 || return 1
  lw_start_scr /p "$PV_PARENT"; local saver=$LW_LAST_PID
  lw_wait 60 pv_line "$PV_LOG" child || lw_fail "no preview window: $(cat "$PV_LOG")" || return 1
  read -ra want < <(pv_lit_box "$LW_ROOT/resources/art/preview.bmp")
  scaled() {
    lw_screenshot "$shot" && read -ra got < <(pv_lit_box "$shot") || return 1
    for i in 0 1 2 3; do awk -v w="${want[i]}" -v g="${got[i]}" 'BEGIN { d = w * 1.5 - g; exit !(d <= 2 && d >= -2) }' || return 1; done
  }
  lw_wait 15 scaled || lw_fail "lit part ${got[*]}, expected 1.5 x ${want[*]} (see $shot)" || return 1
  : >"$PV_CTL/close"
  lw_wait_exit "$saver" 15 || lw_fail "saver still running after WM_CLOSE"
}
