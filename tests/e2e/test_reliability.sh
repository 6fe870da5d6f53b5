# Reliability: starting and ending the saver many times, hostile settings files, the settings
# writer killed mid-save, and a long run that must not leak.

# Runs of the start/stop tests; each of the three tests does a third (CI may lower it).
REL_RUNS=${LW_RELIABILITY_RUNS:-100}
REL_MINUTES=${LW_RELIABILITY_MINUTES:-3}  # of the long run (2 at least; the full figure is 10)
((REL_MINUTES >= 2)) || REL_MINUTES=2
for how in key click movement; do declare "LW_LIMIT_test_reliability_start_stop_by_$how=300"; done
LW_LIMIT_test_reliability_settings_writer_killed_under_wine=240
LW_LIMIT_test_reliability_longrun=$((REL_MINUTES * 60 + 150))

# Waits for process $1 to end; prints how many milliseconds that took. Fails after $2 ms.
rel_exit_ms() {
  local start=${EPOCHREALTIME//[.,]/} ms
  while ms=$(((${EPOCHREALTIME//[.,]/} - start) / 1000)); kill -0 "$1" 2>/dev/null && ((ms <= $2)); do sleep 0.01; done
  echo "$ms"
  ! kill -0 "$1" 2>/dev/null
}

# Ends the saver the way a user does: key, click or mouse movement (XTEST, never --window); run
# $3 of the clicks takes the left, the right or an extra button (X1, X2), turns the wheel one
# of four ways or closes the window (task switcher, session end) in turn.
rel_input() {
  local clicks=(1 3 8 9 4 5 6 7 close)
  case $1 in
    key) local keys=(space a Escape Return Tab Up Down F5 Shift_L z)
         xdotool key "${keys[RANDOM % ${#keys[@]}]}" ;;
    click) local c=${clicks[$3 % ${#clicks[@]}]}
           if [[ $c == close ]]; then lw_probe close Lumenweave_Main; else xdotool click "$c"; fi ;;
    # The eleventh movement ends it (Wine adds one when the window appears). Moves that arrive
    # within one frame reach the saver as one event, as the system coalesces them, so they are
    # spaced by a little more than a frame; a coalesced one is made up for by one more.
    move) local i pid=${2:-}
          for i in $(seq 1 16); do
            ((i > 12)) && [[ -n $pid ]] && ! kill -0 "$pid" 2>/dev/null && break
            xdotool mousemove $((300 + i * 17 + RANDOM % 5)) $((200 + i * 11)); sleep 0.03
          done ;;
  esac
}

# `runs` starts of /S, each ended by `how` at a random moment (a quarter of them as soon as the
# window exists, so the input lands in the first frame). Each must end within a second of the
# input and leave no process, window or file behind, with the pointer shown again.
rel_start_stop() {
  local how=$1 runs=$2 seed=${LW_RELIABILITY_SEED:-$$}
  RANDOM=$seed
  local dir win; dir=$(lw_saver_copy rel_startstop_$how) || return 1; win=$(lw_winpath "$dir")
  local t pid delay ms worst=0 total=0 n=0 lost=0
  for ((t = 1; t <= runs; t++)); do
    xdotool mousemove 960 540
    lw_run_saver "$win\\Lumenweave.scr" || lw_fail "run $t" || return 1; pid=$LW_SAVER_PID
    delay=$((t % 4 == 1 ? 0 : RANDOM % 1500))
    ((delay)) && sleep "$(printf '0.%03d' "$delay")"
    ((t % 10 != 2)) || lw_wait 5 lw_pointer == || lw_fail "run $t: the pointer shows while the saver runs" || return 1
    rel_input "$how" "$pid" "$t"
    local retries=$((delay == 0))
    until ms=$(rel_exit_ms "$pid" 1000); do
      ((retries--)) || lw_fail "run $t ($how after ${delay} ms): still running ${ms} ms after the input" || return 1
      # Input sent the moment the window appears can reach Wine before it has activated the window
      # and taken it into its pointer routing; it then goes to the window that was there before
      # (as on Windows before the saver is shown), and the saver never sees it. The next one counts.
      lost=$((lost + 1))
      rel_input "$how" "$pid" "$t"
    done
    ((ms > worst)) && worst=$ms
    total=$((total + ms)); n=$((n + 1))
    [[ -z $(lw_find_window Lumenweave_Main) ]] || lw_fail "run $t: a Lumenweave_Main window is left" || return 1
    if ((t % 10 == 0 || t == runs)); then
      lw_no_saver_process || lw_fail "run $t: a saver process is left" || return 1
      lw_wait 5 lw_pointer '>' || lw_fail "run $t: the pointer stays hidden" || return 1
    fi
  done
  [[ $(ls -A "$dir") == Lumenweave.scr ]] || lw_fail "files left beside the saver: $(ls -A "$dir")" || return 1
  lw_log "start/stop by $how (seed $seed): exit after input: mean $((total / n)) ms, worst $worst ms; inputs lost: $lost"
}

test_reliability_start_stop_by_key() { rel_start_stop key $(((REL_RUNS + 2) / 3)); }
test_reliability_start_stop_by_click() { rel_start_stop click $(((REL_RUNS + 1) / 3)); }
test_reliability_start_stop_by_movement() { rel_start_stop move $((REL_RUNS / 3)); }

# Hostile settings files beside the saver: each opens the saver, which ends on a key in time, and
# the settings dialog, whose close box leaves the file alone.
test_reliability_hostile_settings_files() {
  local corpus=$LW_RUN_DIR/rel_corpus; mkdir -p "$corpus"
  python3 - "$corpus" <<'PY' || return 1
import os, random, sys
k = b"\x97\xB1\x8E\x71\x90\x94"  # the particle-count key in code page 932
r = random.Random(11)
files = {
    "binary_junk": bytes(r.randrange(256) for _ in range(65536)),
    "ten_megabytes": b"z" * (10 << 20) + b"\r\n[Section]\r\n" + k + b"=50\r\n",
    "no_final_line_end": b"[Section]\r\n" + k + b"=50",
    "utf16_with_bom": b"\xff\xfe" + "[Section]\r\n粒子数=50\r\nBGM区分=2\r\nBGMﾌｧｲﾙ=C:\\nothing.mp3\r\n".encode("utf-16-le"),
    "duplicate_sections_and_keys": b"[Section]\r\n" + k + b"=50\r\n" + k + b"=70\r\n[Section]\r\n" + k + b"=90\r\n",
    "line_of_100000_bytes": b"[Section]\r\n" + k + b"=" + b"9" * 100000 + b"\r\nBGM\x8B\xE6\x95\xAA=" + b"1" * 100000 + b"\r\n",
    "nul_bytes": b"\0" * 1000 + b"\n[Section]\0\n" + k + b"=5\x000\nBGM\xCC\xA7\xB2\xD9=C:\\\0x.mp3\n",
    "largest_particle_count": b"[Section]\r\n" + k + b"=32767\r\n",
    "negative_particle_count": b"[Section]\r\n" + k + b"=-5\r\n",
    "source_and_track_out_of_range": b"[Section]\r\nBGM\x8B\xE6\x95\xAA=-32768\r\nBGM\xD8\xCB\xDF\xB0\xC4=32767\r\n",
    "music_file_is_a_folder": b"[Section]\r\nBGM\x8B\xE6\x95\xAA=2\r\nBGM\xCC\xA7\xB2\xD9=C:\\windows\\\r\n",
}
for name, data in files.items():
    open(os.path.join(sys.argv[1], name + ".ini"), "wb").write(data)
PY
  local ini name dir pid
  for ini in "$corpus"/*.ini; do
    name=$(basename "$ini" .ini)
    dir=$(lw_saver_copy "rel_hostile_$name") && cp "$ini" "$dir/Lumenweave.ini" || return 1
    lw_run_saver "$dir/Lumenweave.scr" || lw_fail "$name" || return 1
    pid=$LW_SAVER_PID; sleep 0.3
    lw_alive "$pid" || lw_fail "$name: the saver died" || return 1
    lw_end_by_key "$pid" || lw_fail "$name: the saver did not end on a key" || return 1
    lw_dialog_open "$dir/Lumenweave.scr" || lw_fail "$name: no settings dialog" || return 1
    lw_probe close '<Lumenweave>' box && lw_dialog_closed || lw_fail "$name: the dialog did not close" || return 1
    cmp -s "$ini" "$dir/Lumenweave.ini" || lw_fail "$name: its settings file changed" || return 1
  done
}

# The Win32 settings writer killed at random moments while it saves again and again: the file is
# always one whole version, and a killed save leaves at most one temporary file, which the next
# save takes over.
test_reliability_settings_writer_killed_under_wine() {
  local trials=${LW_RELIABILITY_KILLS:-30} seed=${LW_RELIABILITY_SEED:-$$}
  RANDOM=$seed
  local dir win; dir=$(lw_saver_copy rel_killed_writer) || return 1; win=$(lw_winpath "$dir")
  # A file of half a megabyte, so that a save takes long enough to be killed in the middle.
  local notes; notes=$(head -c 524288 /dev/zero | tr '\0' n)
  version() { printf '[Notes]\r\n%s\r\n[Section]\r\n\x97\xB1\x8E\x71\x90\x94=%s\r\n' "$notes" "$1"; }
  version 111 >"$LW_DRIVE_C/rel_killed_a.ini" && version 222 >"$LW_DRIVE_C/rel_killed_b.ini" &&
    cp "$LW_DRIVE_C/rel_killed_b.ini" "$dir/Lumenweave.ini" || return 1
  local t pid strays mid=0
  for ((t = 1; t <= trials; t++)); do
    lw_start --log "$LW_RUN_DIR/rel_hammer.log" "$LW_PROBE" hammer "$win\\Lumenweave.ini"; pid=$LW_LAST_PID
    lw_wait 30 grep -q hammering "$LW_RUN_DIR/rel_hammer.log" || lw_fail "trial $t: the writer did not start" || return 1
    sleep "0.$((RANDOM % 900 + 50))"
    kill -KILL "$pid"; wait "$pid" 2>/dev/null
    cmp -s "$dir/Lumenweave.ini" "$LW_DRIVE_C/rel_killed_a.ini" || cmp -s "$dir/Lumenweave.ini" "$LW_DRIVE_C/rel_killed_b.ini" ||
      lw_fail "trial $t: the settings file is neither whole version ($(stat -c %s "$dir/Lumenweave.ini") bytes)" || return 1
    strays=$(ls -A "$dir" | grep -vx -e Lumenweave.scr -e Lumenweave.ini | wc -l)
    ((strays <= 1)) || lw_fail "trial $t: $strays temporary files beside the settings file" || return 1
    ((strays == 1)) && mid=$((mid + 1))
  done
  lw_dialog_save_cd "$dir/Lumenweave.scr" || return 1
  strays=$(ls -A "$dir" | grep -vx -e Lumenweave.scr -e Lumenweave.ini)
  [[ -z $strays ]] || lw_fail "a completed save left: $strays" || return 1
  lw_log "$trials writers killed (seed $seed), $mid of them in the middle of a save; the file was always whole"
}

# The saver with an MP3 looping for REL_MINUTES minutes. Once a minute the probe counts the
# saver's GDI objects and windows, /proc its anonymous memory, and a screenshot is taken: the
# counts must not grow past minute 1 (by then every lasting object is made), the picture must keep
# changing, and the music must still sound at the end.
test_reliability_longrun() {
  local dir win; dir=$(lw_saver_copy rel_longrun) || return 1; win=$(lw_winpath "$dir")
  music_make_tone "$dir/loop.mp3" 25 && lw_ini 600 2 0 "$win\\loop.mp3" >"$dir/Lumenweave.ini" || return 1
  lw_run_saver "$win\\Lumenweave.scr" || return 1
  local pid=$LW_SAVER_PID start=$SECONDS minute shot prev="" changed gdi user rss first=()
  for ((minute = 0; minute <= REL_MINUTES; minute++)); do
    while ((SECONDS - start < minute * 60)); do sleep 1; done
    lw_alive "$pid" || lw_fail "minute $minute: the saver died" || return 1
    read -r _ gdi _ user < <(lw_probe stats)
    rss=$(awk '/^RssAnon:/ {print $2}' "/proc/$pid/status")  # anonymous resident KiB: what a leak grows
    shot="$LW_RUN_DIR/shots/longrun-$minute.png"
    lw_screenshot "$shot" || lw_fail "minute $minute: no screenshot" || return 1
    changed=-; [[ -n $prev ]] && changed=$(compare -metric AE "$prev" "$shot" null: 2>&1 | awk '{print int($1)}')
    lw_log "minute $minute: gdi $gdi user $user anonymous $rss KiB, $changed pixels changed"
    ((gdi > 0 && user > 0)) || lw_fail "minute $minute: the probe counted nothing" || return 1
    [[ -z $prev ]] || ((changed > 100)) || lw_fail "minute $minute: the picture did not change" || return 1
    prev=$shot
    ((minute == 1)) && first=("$gdi" "$user" "$rss")
  done
  timeout 5 parec -d nullsink.monitor --raw --format=s16le --rate=44100 --channels=2 >"$LW_RUN_DIR/longrun-end.raw" 2>/dev/null
  music_loud "$(music_rms "$LW_RUN_DIR/longrun-end.raw" 0)" || lw_fail "the music is silent at the end" || return 1
  # Memory may wobble with the sound pipeline's buffers; a leak grows past 8 MiB.
  ((gdi <= first[0] && user <= first[1] && rss <= first[2] + 8192)) ||
    lw_fail "grew from minute 1: gdi ${first[0]} -> $gdi, user ${first[1]} -> $user, ${first[2]} -> $rss KiB" || return 1
  lw_end_by_key "$pid" || lw_fail "still running 2 s after a key"
}
