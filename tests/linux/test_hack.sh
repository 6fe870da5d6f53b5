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

# Rows: options | what a screenshot shows within 20 s | the signal that ends it within a second,
# of which it then dies (status 128 + n), as the daemon expects of a hack. A lone particle paints a
# trail in trail periods: its dots period shows one pixel (two allowed). A missing music file is
# named once on stderr and changes nothing else.
test_root_draws_and_ends_on_a_signal() {
  local row options test signal rc
  for row in "-root|$MIRRORED|TERM" "-root -count 0|lit >= 1 && lit <= 2|TERM" "-root -music $LW_RUN_DIR/missing.mp3|lit > 100|INT"; do
    IFS='|' read -r options test signal <<<"$row"
    start $options
    until_shot 20 "$test" || lw_fail "$options: no frame with $test" || return 1
    kill -"$signal" "$HACK_PID"; lw_wait_exit "$HACK_PID" 1 || lw_fail "$options: alive a second after SIG$signal" || return 1
    wait "$HACK_PID"; rc=$?; ((rc == 128 + $(kill -l "$signal"))) || lw_fail "$options: status $rc after SIG$signal" || return 1
  done
  [[ $(grep -c "^lumenweave: cannot play $LW_RUN_DIR/missing.mp3: " "$LW_RUN_DIR/hack.log") == 1 ]] || lw_fail "missing file not named once"
}

cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{ s += $1 } END { print s }'; }  # all threads' time on a processor, ns
rss_kb() { awk '/^VmRSS/ { print $2 }' /proc/"$1"/status; }
# Rows: a WAV file (a header without frames; one cut to 100 bytes) | how often stderr names it.
# Tried once, it costs no processor and no memory: under 5 % of a core, two samples 10 s apart
# within 2 MB.
test_bad_music_files_cost_nothing() {
  local f named c0 m0 c1 m1
  sox -n -r 44100 -c 2 -b 16 "$LW_RUN_DIR/empty.wav" trim 0 0 && music_make_tone "$LW_RUN_DIR/whole.wav" 2 &&
    head -c 100 "$LW_RUN_DIR/whole.wav" >"$LW_RUN_DIR/cut.wav" || return 1
  for f in empty:1 cut:0; do
    named=${f#*:} f=$LW_RUN_DIR/${f%:*}.wav
    start -root -count 10 -music "$f"; sleep 2
    c0=$(cpu_ns "$HACK_PID") m0=$(rss_kb "$HACK_PID"); sleep 10; c1=$(cpu_ns "$HACK_PID") m1=$(rss_kb "$HACK_PID")
    echo "${f##*/}: $(((c1 - c0) / 10 ** 6)) ms on a processor in 10 s, resident $m0 -> $m1 kB"
    (((c1 - c0) < 5 * 10 ** 8 && m1 - m0 <= 2048)) && [[ $(grep -c "^lumenweave: cannot play $f: " "$LW_RUN_DIR/hack.log") == "$named" ]] ||
      lw_fail "${f##*/}: runs away, or not named $named time(s)" || return 1
    lw_stop_test_processes
  done
}

# The lit area's margins, as fractions of the window, from screenshots taken over 8 s: left top
# right bottom. Usage: margins WIDTH HEIGHT (the hack in its own window, resized; closing the
# window then ends it).
margins() {
  start -window; lw_wait 10 lw_find_window Lumenweave || { lw_stop_test_processes; lw_fail "no window"; return 1; }
  local id i; id=$(lw_find_window Lumenweave | head -1); xdotool windowsize "$id" "$1" "$2"
  for i in 0 1 2 3 4 5 6 7; do sleep 1; timeout 10 import -window "$id" "$LW_RUN_DIR/shots/$fn-$1-$i.png"; done
  xdotool windowclose "$id"; lw_wait_exit "$HACK_PID" 2 || { lw_stop_test_processes; lw_fail "lives on without its window"; return 1; }
  convert "$LW_RUN_DIR/shots/$fn-$1"-*.png -evaluate-sequence max -trim -format '%w %h %X %Y\n' info: |
    awk -v w="$1" -v h="$2" '{ printf "%.3f %.3f %.3f %.3f\n", $3 / w, $4 / h, (w - $3 - $1) / w, (h - $4 - $2) / h }'
}
# Rows: window sizes. Each shows the 1920 x 1080 picture made smaller: the same margins within
# 0.05 of the window (stray sparks move a run's box by about 0.03), all inside it, so the hack
# draws on after a resize. Unscaled, the swing alone (about 460 pixels either side) would reach
# every edge.
test_small_windows_show_the_whole_picture_smaller() {
  local full size small
  full=$(margins 1920 1080) || return 1; echo "1920x1080: $full"
  for size in "480 270" "695 390"; do
    small=$(margins $size) || return 1; echo "${size/ /x}: $small"
    paste -d' ' <(echo "$full") <(echo "$small") | awk '{ for (i = 1; i <= 4; i++) if ($(i + 4) <= 0 || ($i - $(i + 4)) ^ 2 > 0.05 ^ 2) exit 1 }' ||
      lw_fail "${size/ /x}: margins $small, at full size $full" || return 1
  done
}

# A 2-second tone is still heard after its end: the file loops.
test_mp3_is_heard_on_the_null_sink() {
  music_make_tone "$LW_RUN_DIR/tone.mp3" 2 || return 1
  music_record_start "$LW_RUN_DIR/rec.raw"
  start -root -count 10 -music "$LW_RUN_DIR/tone.mp3"
  sleep 5; music_record_stop
  local rms; rms=$(music_rms "$LW_RUN_DIR/rec.raw" -1)
  music_loud "$rms" || lw_fail "no sound in the last second (RMS $rms)"
}

# Rows: arguments | exit status | the first line it prints (stdout with status 0, else stderr).
test_options_are_refused_by_name() {
  local row args want first out rc
  for row in "-bogus|1|lumenweave: unknown option -bogus" "-count 32768|1|lumenweave: -count: \"32768\" is not a whole*" \
    "--count abc|1|lumenweave: --count: \"abc\" is*" "--help|0|usage: lumenweave *" "-display :1999|1|*\":1999\"*"; do
    IFS='|' read -r args want first <<<"$row"
    if [[ $want == 0 ]]; then out=$("$HACK" $args 2>/dev/null); else out=$("$HACK" $args 2>&1 >/dev/null); fi; rc=$?
    [[ $rc == "$want" && ${out%%$'\n'*} == $first ]] || lw_fail "$args: rc $rc: $out" || return 1
  done
}

# The package as built, checked by Debian's own rules: no error and no warning.
test_package_is_lintian_clean() {
  local deb; deb=$(ls "$LW_ROOT"/build/linux/packages/lumenweave_*_amd64.deb 2>/dev/null | head -1)
  [[ -f $deb ]] || lw_fail "no package in build/linux/packages" || return 1
  lintian --fail-on error,warning -I "$deb" 2>&1 | grep -v 'root privileges'; ((PIPESTATUS[0] == 0)) || lw_fail "lintian: $deb"
}

# The daemon refuses to run hacks as root: an ordinary user runs it, with its own settings. Its
# verbose log must show the hack killed by its SIGTERM, not ending by itself.
test_xscreensaver_daemon_runs_and_ends_the_hack() {
  local user=lwsaver home su=(); ((EUID)) && su=(sudo)
  id "$user" >/dev/null 2>&1 || "${su[@]}" useradd -m "$user" || return 1
  home=$(getent passwd "$user" | cut -d: -f6)
  "${su[@]}" install -o "$user" -m 755 "$HACK" "$home/lumenweave"
  printf 'mode: one\nselected: 0\nlock: False\nsplash: False\nprograms: %s/lumenweave -root\n' "$home" |
    "${su[@]}" install -o "$user" -m 644 /dev/stdin "$home/.xscreensaver"
  xhost "+SI:localuser:$user" >/dev/null
  as_user() { "${su[@]}" runuser -u "$user" -- env DISPLAY="$DISPLAY" HOME="$home" "$@"; }
  as_user xscreensaver -no-splash -verbose >"$LW_RUN_DIR/xscreensaver.log" 2>&1 & LW_TEST_PIDS+=($!)
  lw_wait 15 as_user xscreensaver-command -version || lw_fail "daemon did not start" || return 1
  as_user xscreensaver-command -activate
  lw_wait 15 pgrep -u "$user" -x lumenweave || lw_fail "hack not started" || return 1
  until_shot 20 "$MIRRORED" || lw_fail "no animation on screen" || return 1
  as_user xscreensaver-command -deactivate
  lw_wait 10 bash -c "! pgrep -u $user -x lumenweave" || lw_fail "hack still running after -deactivate" || return 1
  lw_wait 5 grep -q 'lumenweave) exited normally with SIGTERM' "$LW_RUN_DIR/xscreensaver.log" || lw_fail "the daemon saw no clean end" || return 1
  as_user xscreensaver-command -exit >/dev/null
}
