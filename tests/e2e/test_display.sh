# The running saver seen from outside: window, pixels, both looks. How input ends it: the start/stop
# runs of test_reliability.sh and the monitor tests.

# Screenshots every 0.4 s: within 10 s a dots frame (at most one pixel per particle) and a trail
# frame (many more) are seen, every pixel pure yellow or black, within reach of the emitters (they
# swing up to ~462 px left/right and ~333 px above/below the centre; particles wander ~100 px
# further). Once the particles emitted at start have all been re-emitted (the second dots period),
# the two clouds mirror each other about the centre line. The window covers the screen, topmost,
# without a frame.
test_display_window_dots_and_trails_in_mirrored_clouds() {
  xdotool mousemove 960 540
  lw_run_saver "$LW_SCR" || return 1
  local start=$SECONDS dots="" trails="" mirrored="" i
  for i in $(seq 1 100); do
    local shot="$LW_RUN_DIR/shots/display_$i.png"
    lw_screenshot "$shot"
    read -r _ lit _ other _ ux uy _ lx ly _ sx sy < <(lw_display_analyse "$shot")
    ((other == 0)) || lw_fail "$shot: $other pixels neither black nor yellow" || return 1
    ((sx <= 470 + 100 && sy <= 340 + 100)) || lw_fail "$shot: 2 % of the lit pixels beyond $sx,$sy" || return 1
    if ((lit > 0 && lit <= 2 * 601)) && [[ -z $dots ]]; then
      dots=$shot
    elif ((lit > 0 && lit <= 2 * 601)) && [[ -n $trails ]]; then
      (((ux - lx) ** 2 <= 60 ** 2 && (uy + ly - 1080) ** 2 <= 60 ** 2)) || lw_fail "$shot: clouds not mirrored ($ux,$uy) ($lx,$ly)" || return 1
      mirrored=$shot
      break
    elif ((lit > 4000)) && [[ -z $trails ]]; then
      trails=$shot
      ((SECONDS - start <= 10)) || lw_fail "first trail frame after $((SECONDS - start)) s" || return 1
    fi
    sleep 0.4
  done
  [[ -n $dots && -n $trails && -n $mirrored ]] || lw_fail "no dots frame, trail frame or dots frame after the trails" || return 1
  local out style exstyle; out=$(lw_probe window Lumenweave_Main)
  grep -qx 'window 0 0 1920 1080' <<<"$out" && grep -qx 'visible 1' <<<"$out" || lw_fail "does not cover the screen: $out" || return 1
  read -r _ style exstyle < <(grep '^style ' <<<"$out")
  (((16#$exstyle & 0x8) != 0)) || lw_fail "not topmost" || return 1
  (((16#$style & 0x00C40000) == 0)) || lw_fail "has a frame" || return 1
}

# One particle (粒子数 0): in the first two seconds (fewer than the 187 emitter steps before the
# first flip to trails) every frame is a dots frame and lights at most the particle's pixel.
test_display_zero_particles_light_at_most_two_pixels() {
  local dir; dir=$(lw_saver_copy display) && lw_ini 0 0 0 >"$dir/Lumenweave.ini" && lw_run_saver "$dir/Lumenweave.scr" || return 1
  local start=$SECONDS samples=0 lit
  while ((SECONDS - start < 2)); do
    lw_screenshot "$LW_RUN_DIR/shots/display_zero.png"
    read -r _ lit _ < <(lw_display_analyse "$LW_RUN_DIR/shots/display_zero.png")
    ((lit <= 2)) || lw_fail "$lit pixels lit with 粒子数 0 in a dots frame" || return 1
    samples=$((samples + 1))
  done
  ((samples >= 2)) || lw_fail "only $samples screenshots in two seconds"
}
