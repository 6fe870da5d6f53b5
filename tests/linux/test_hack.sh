# The X11 hack seen from outside, natively (no Wine): Xvfb for pixels, a PulseAudio null sink for
# sound, and Debian's real xscreensaver daemon. Run by tests/e2e/run.sh --linux.
HACK=${LW_HACK:-$LW_ROOT/build/linux/lumenweave}

start() { "$HACK" "$@" 2>>"$LW_RUN_DIR/hack.log" & HACK_PID=$!; LW_TEST_PIDS+=("$HACK_PID"); }
# Whether a screenshot of the window $2 (the root unless given) has figures that pass the
# arithmetic test $1: those of lw_display_analyse (lit other ux uy lx ly sx sy) and its size w h.
shot_passes() {
  local f=$LW_RUN_DIR/shots/$fn.png lit other ux uy lx ly sx sy w h
  import -window "${2:-root}" "$f" 2>/dev/null && read -r w h < <(identify -format '%w %h\n' "$f") &&
    read -r _ lit _ other _ ux uy _ lx ly _ sx sy < <(lw_display_analyse "$f" "$w" "$h") && (($1))
}
# Waits up to $1 seconds for such a screenshot: until_shot SECONDS TEST [WINDOW].
until_shot() { lw_wait "$1" shot_passes "${@:2}"; }
# Yellow clouds above and below the centre line, mirrored about it.
MIRRORED='other == 0 && ux >= 0 && lx >= 0 && (ux - lx) ** 2 <= 40 ** 2 && (uy + ly - h) ** 2 <= 40 ** 2'

# Rows: options | what a screenshot shows within 20 s | the signal that ends it cleanly within a
# second. A lone particle paints a trail in trail periods: its dots period shows one pixel (two
# allowed). A missing music file changes nothing else.
test_root_draws_and_ends_on_a_signal() {
  local row options test signal
  for row in "-root|$MIRRORED|TERM" "-root -count 0|lit >= 1 && lit <= 2|TERM" "-root -music $LW_RUN_DIR/missing.mp3|lit > 100|INT"; do
    IFS='|' read -r options test signal <<<"$row"
    start $options
    until_shot 20 "$test" || lw_fail "$options: no frame with $test" || return 1
    kill -"$signal" "$HACK_PID"; { lw_wait_exit "$HACK_PID" 1 && wait "$HACK_PID"; } || lw_fail "$options: did not end cleanly within a second of SIG$signal" || return 1
  done
}

# A 2-second tone is still heard after its end: the file loops.
test_mp3_is_heard_on_the_null_sink() {
  music_make_tone "$LW_RUN_DIR/tone.mp3" 2 || return 1
  music_record_start "$LW_RUN_DIR/rec.raw"
  start -root -count 10 -music "$LW_RUN_DIR/tone.mp3"
  sleep 5; music_record_stop
  local rms; rms=$(music_rms "$LW_RUN_DIR/rec.raw" -1); echo "rms of the last second $rms"
  music_loud "$rms" || lw_fail "no sound"
}

test_own_window_keeps_drawing_when_resized_and_ends_when_closed() {
  start -window
  lw_wait 10 lw_find_window Lumenweave || lw_fail "no window" || return 1
  local id; id=$(lw_find_window Lumenweave | head -1)
  xdotool windowsize "$id" 300 200
  until_shot 20 'lit > 50 && w == 300 && h == 200' "$id" || lw_fail "the window, resized, shows no clouds" || return 1
  xdotool windowclose "$id"; lw_wait_exit "$HACK_PID" 2 || lw_fail "lives on without its window"
}

test_unknown_option_prints_usage_and_exits_1() {
  local err; err=$("$HACK" -bogus 2>&1 >/dev/null); local rc=$?
  [[ $rc == 1 && $(wc -l <<<"$err") == 1 && $err == usage:* ]] || lw_fail "rc $rc: $err"
}

# The daemon refuses to run hacks as root: an ordinary user runs it, with its own settings.
test_xscreensaver_daemon_runs_and_ends_the_hack() {
  local user=lwsaver home su=(); ((EUID)) && su=(sudo)
  id "$user" >/dev/null 2>&1 || "${su[@]}" useradd -m "$user" || return 1
  home=$(getent passwd "$user" | cut -d: -f6)
  "${su[@]}" install -o "$user" -m 755 "$HACK" "$home/lumenweave"
  printf 'mode: one\nselected: 0\nlock: False\nsplash: False\nprograms: %s/lumenweave -root\n' "$home" |
    "${su[@]}" install -o "$user" -m 644 /dev/stdin "$home/.xscreensaver"
  xhost "+SI:localuser:$user" >/dev/null
  as_user() { "${su[@]}" runuser -u "$user" -- env DISPLAY="$DISPLAY" HOME="$home" "$@"; }
  as_user xscreensaver -no-splash >"$LW_RUN_DIR/xscreensaver.log" 2>&1 & LW_TEST_PIDS+=($!)
  lw_wait 15 as_user xscreensaver-command -version || lw_fail "daemon did not start" || return 1
  as_user xscreensaver-command -activate
  lw_wait 15 pgrep -u "$user" -x lumenweave || lw_fail "hack not started" || return 1
  until_shot 20 "$MIRRORED" || lw_fail "no animation on screen" || return 1
  as_user xscreensaver-command -deactivate
  lw_wait 10 bash -c "! pgrep -u $user -x lumenweave" || lw_fail "hack still running after -deactivate" || return 1
  as_user xscreensaver-command -exit >/dev/null
}
