# Reliability: starting and ending the saver many times, hostile settings files and command lines,
# awkward folders for the settings file, and music that fails.
source "$(dirname "${BASH_SOURCE[0]}")/reliability_lib.sh"

# Runs of the start/stop tests; each of the three tests does a third (CI may lower it).
REL_RUNS=${LW_RELIABILITY_RUNS:-100}
LW_LIMIT_test_reliability_start_stop_by_key=300
LW_LIMIT_test_reliability_start_stop_by_click=300
LW_LIMIT_test_reliability_start_stop_by_movement=300

# `runs` starts of /S, each ended by `how` at a random moment (a quarter of them as soon as the
# window exists, so the input lands in the first frame). Each must end within a second of the
# input and leave no process, window or file behind, with the pointer shown again.
rel_start_stop() {
  local how=$1 runs=$2 seed=${LW_RELIABILITY_SEED:-$$}
  RANDOM=$seed
  local dir win; dir=$(rel_folder rel_startstop_$how) || return 1; win=$(rel_winpath "$dir")
  local t pid delay ms worst=0 total=0 n=0 lost=0
  lw_log "start/stop by $how: $runs runs, seed $seed"
  for ((t = 1; t <= runs; t++)); do
    xdotool mousemove 960 540
    lw_start "$win\\Lumenweave.scr" /S; pid=$LW_LAST_PID
    lw_wait_window Lumenweave_Main 30 || lw_fail "run $t: no window" || return 1
    delay=$((t % 4 == 1 ? 0 : RANDOM % 1500))
    ((delay)) && sleep "$(printf '0.%03d' "$delay")"
    if ((t % 10 == 2)); then
      [[ $(lw_probe reliability_probe cursor) == showing=0 ]] || lw_fail "run $t: the pointer shows while the saver runs" || return 1
    fi
    rel_input "$how" "$pid"
    local ended=1
    ms=$(rel_exit_ms "$pid" 1000) || ended=0
    if ((!ended && delay == 0)); then
      # Input sent the moment the window appears can reach Wine before it has activated the window
      # and taken it into its pointer routing; it then goes to the window that was there before
      # (as on Windows before the saver is shown), and the saver never sees it. The next one counts.
      lost=$((lost + 1)); ended=1
      rel_input "$how" "$pid"
      ms=$(rel_exit_ms "$pid" 1000) || ended=0
    fi
    ((ended)) || lw_fail "run $t ($how after ${delay} ms): still running ${ms} ms after the input" || return 1
    ((ms > worst)) && worst=$ms
    total=$((total + ms)); n=$((n + 1))
    [[ -z $(lw_find_window Lumenweave_Main) ]] || lw_fail "run $t: a Lumenweave_Main window is left" || return 1
    if ((t % 10 == 0 || t == runs)); then
      [[ $(lw_probe reliability_probe processes Lumenweave.scr) == processes=0 ]] || lw_fail "run $t: a saver process is left" || return 1
      [[ $(lw_probe reliability_probe cursor) == showing=1 ]] || lw_fail "run $t: the pointer stays hidden" || return 1
    fi
  done
  local strays; strays=$(ls -A "$dir" | grep -vx -e Lumenweave.scr -e Lumenweave.ini)
  [[ -z $strays ]] || lw_fail "files left beside the saver: $strays" || return 1
  lw_log "start/stop by $how: $n runs, exit after input: mean $((total / n)) ms, worst $worst ms; first inputs lost before activation: $lost"
}

test_reliability_start_stop_by_key() { rel_start_stop key $(((REL_RUNS + 2) / 3)); }
test_reliability_start_stop_by_click() { rel_start_stop click $(((REL_RUNS + 1) / 3)); }
test_reliability_start_stop_by_movement() { rel_start_stop move $((REL_RUNS / 3)); }

# The settings writer (the real Win32 file store) in awkward places: what can be saved is saved,
# a read-only file is refused and kept, nothing crashes, and no temporary file stays behind.
# As root, Unix permissions stop no write: the read-only file is made so by its Windows attribute,
# which the file store must honour itself, and the read-only folder by the immutable flag.
test_reliability_settings_in_awkward_folders() {
  local long=rel_long; while ((${#long} < 280)); do long+=/folder_with_a_long_name_$((${#long} % 7)); done
  local cases=(rel_plain "rel_設定_Ünïcode_フォルダ" "$long")
  local name dir win out
  for name in "${cases[@]}"; do
    dir=$(rel_folder "$name") || return 1; win=$(rel_winpath "$dir")
    out=$(lw_probe reliability_probe save "$win\\Lumenweave.ini" 321)
    [[ $out == saved ]] || lw_fail "$name: save gave '$out'" || return 1
    out=$(lw_probe reliability_probe read "$win\\Lumenweave.ini")
    [[ $out == value=321 ]] || lw_fail "$name: read back '$out'" || return 1
    [[ -z $(lw_probe reliability_probe strays "$win") ]] || lw_fail "$name: temporary file left" || return 1
    # The saver itself starts from there, reads the file and ends on a key.
    lw_start "$win\\Lumenweave.scr" /S; local pid=$LW_LAST_PID
    lw_wait_window Lumenweave_Main 30 || lw_fail "$name: the saver did not open" || return 1
    rel_end_with_key "$pid" >/dev/null || lw_fail "$name: the saver did not end" || return 1
    lw_log "$name (${#win} characters): saved, read back, saver ran"
  done

  # Read-only file: the save is refused and the file keeps its bytes.
  dir=$(rel_folder rel_readonly_file) || return 1; win=$(rel_winpath "$dir")
  printf '[Section]\r\n\x97\xB1\x8E\x71\x90\x94=55\r\n' >"$dir/Lumenweave.ini"
  cp "$dir/Lumenweave.ini" "$LW_RUN_DIR/rel_readonly_before.ini"
  lw_probe reliability_probe readonly "$win\\Lumenweave.ini" 1 || lw_fail "could not set the read-only attribute" || return 1
  out=$(lw_probe reliability_probe save "$win\\Lumenweave.ini" 999)
  [[ $out == refused ]] || lw_fail "read-only file: save gave '$out'" || return 1
  cmp -s "$dir/Lumenweave.ini" "$LW_RUN_DIR/rel_readonly_before.ini" || lw_fail "read-only file changed" || return 1
  [[ -z $(lw_probe reliability_probe strays "$win") ]] || lw_fail "read-only file: temporary file left" || return 1
  [[ $(lw_probe reliability_probe read "$win\\Lumenweave.ini") == value=55 ]] || lw_fail "read-only file unreadable" || return 1
  lw_probe reliability_probe readonly "$win\\Lumenweave.ini" 0

  # Read-only folder: nothing can be created in it.
  dir=$(rel_folder rel_readonly_folder) || return 1; win=$(rel_winpath "$dir")
  if chattr +i "$dir" 2>/dev/null; then
    trap "chattr -i '$dir' 2>/dev/null; lw_stop_test_processes" EXIT
    out=$(lw_probe reliability_probe save "$win\\Lumenweave.ini" 999)
    chattr -i "$dir"
    [[ $out == refused ]] || lw_fail "read-only folder: save gave '$out'" || return 1
    [[ ! -e $dir/Lumenweave.ini ]] || lw_fail "read-only folder: a file appeared" || return 1
  else
    lw_log "read-only folder: chattr +i is not permitted here; case skipped"
  fi
  return 0
}

# Starts the saver copy in `dir` with the arguments; "runs" expects the saver window and an end on
# a key, "ends" expects the process to end by itself without showing the saver.
rel_expect() {
  local expect=$1 win=$2 label=$3; shift 3
  lw_start "$win\\Lumenweave.scr" "$@"; local pid=$LW_LAST_PID ms
  case $expect in
    runs)
      lw_wait_window Lumenweave_Main 30 || lw_fail "$label: no saver window" || return 1
      sleep 0.3
      lw_alive "$pid" || lw_fail "$label: the saver died" || return 1
      ms=$(rel_end_with_key "$pid") || lw_fail "$label: still running ${ms} ms after a key" || return 1 ;;
    ends)
      lw_wait_exit "$pid" 15 || lw_fail "$label: still running" || return 1
      [[ -z $(lw_find_window Lumenweave_Main) ]] || lw_fail "$label: the saver showed" || return 1 ;;
  esac
  lw_log "$label: $expect as expected"
}

rel_dialog_shown() { lw_probe dialog_probe dump | grep -q '^visible 1'; }

# Hostile command lines: very long, non-ASCII, handles that are huge, negative or not numbers.
test_reliability_hostile_command_lines() {
  local dir win; dir=$(rel_folder rel_cmdline) || return 1; win=$(rel_winpath "$dir")
  local long; long=$(head -c 30000 /dev/zero | tr '\0' 'x')
  local digits; digits=$(head -c 5000 /dev/zero | tr '\0' '9')
  rel_expect runs "$win" "very long /S" "/S$long" || return 1
  rel_expect runs "$win" "/s then non-ASCII" "/s日本語ü" || return 1
  rel_expect ends "$win" "full-width S" "/Ｓ" || return 1
  rel_expect ends "$win" "non-ASCII mode letter" "/ß" || return 1
  rel_expect ends "$win" "very long unrecognised" "/X$long" || return 1
  local handle
  for handle in -1 -2147483648 -99999999999 4294967296 99999999999999 "&HFFFFFFFF" "1e300" "$digits" "日本" ""; do
    rel_expect ends "$win" "preview handle '${handle:0:20}'" "/P" "$handle" || return 1
  done
  [[ $(lw_probe reliability_probe processes Lumenweave.scr) == processes=0 ]] || lw_fail "a process is left" || return 1
}

# Hostile settings files beside the saver: each opens the saver, which ends on a key in time, and the
# settings dialog, which closes without touching the file.
test_reliability_hostile_settings_files() {
  local corpus=$LW_RUN_DIR/rel_corpus; mkdir -p "$corpus"
  python3 - "$corpus" <<'PY' || return 1
import os, random, sys
d = sys.argv[1]
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
    open(os.path.join(d, name + ".ini"), "wb").write(data)
PY
  local ini name dir win
  for ini in "$corpus"/*.ini; do
    name=$(basename "$ini" .ini)
    dir=$(rel_folder "rel_hostile_$name" "$ini") || return 1; win=$(rel_winpath "$dir")
    rel_expect runs "$win" "settings file $name" /S || return 1
    # The settings dialog opens on it too, and its close box leaves the file alone.
    lw_start "$win\\Lumenweave.scr" /C; local pid=$LW_LAST_PID
    lw_wait_window "<Lumenweave>" 30 || lw_fail "$name: no settings dialog" || return 1
    lw_wait 20 rel_dialog_shown || lw_fail "$name: the dialog was never shown" || return 1
    lw_probe dialog_probe close || lw_fail "$name: could not press the close box" || return 1
    lw_wait_exit "$pid" 15 || lw_fail "$name: the dialog did not close" || return 1
    cmp -s "$ini" "$dir/Lumenweave.ini" || lw_fail "$name: its settings file changed" || return 1
  done
}

# The Win32 settings writer killed at random moments while it saves again and again: the file is
# always one whole version, and a killed save leaves at most one temporary file, which the next
# save takes over.
LW_LIMIT_test_reliability_settings_writer_killed_under_wine=240
test_reliability_settings_writer_killed_under_wine() {
  local trials=${LW_RELIABILITY_KILLS:-30} seed=${LW_RELIABILITY_SEED:-$$}
  RANDOM=$seed
  local dir win; dir=$(rel_folder rel_killed_writer) || return 1; win=$(rel_winpath "$dir")
  python3 - "$dir" <<'PY' || return 1
import sys
d = sys.argv[1]
head = b"[Notes]\r\n" + b"n" * (512 << 10) + b"\r\n[Section]\r\n\x97\xB1\x8E\x71\x90\x94="
open(d + "/Lumenweave.ini", "wb").write(head + b"222\r\n")
open(d + "/../rel_killed_a.ini", "wb").write(head + b"111\r\n")
open(d + "/../rel_killed_b.ini", "wb").write(head + b"222\r\n")
PY
  local t pid strays mid=0
  for ((t = 1; t <= trials; t++)); do
    lw_start --log "$LW_RUN_DIR/rel_hammer.log" "$LW_PROBES/reliability_probe.exe" hammer "$win\\Lumenweave.ini"; pid=$LW_LAST_PID
    lw_wait 30 grep -q hammering "$LW_RUN_DIR/rel_hammer.log" || lw_fail "trial $t: the writer did not start" || return 1
    sleep "0.$((RANDOM % 900 + 50))"
    kill -KILL "$pid"; wait "$pid" 2>/dev/null
    lw_wait 10 bash -c "! kill -0 $pid 2>/dev/null"
    cmp -s "$dir/Lumenweave.ini" "$LW_DRIVE_C/rel_killed_a.ini" || cmp -s "$dir/Lumenweave.ini" "$LW_DRIVE_C/rel_killed_b.ini" ||
      lw_fail "trial $t: the settings file is neither whole version ($(stat -c %s "$dir/Lumenweave.ini") bytes)" || return 1
    strays=$(ls -A "$dir" | grep -vx -e Lumenweave.scr -e Lumenweave.ini | wc -l)
    ((strays <= 1)) || lw_fail "trial $t: $strays temporary files beside the settings file" || return 1
    ((strays == 1)) && mid=$((mid + 1))
  done
  [[ $(lw_probe reliability_probe save "$win\\Lumenweave.ini" 333) == saved ]] || lw_fail "the last save failed" || return 1
  strays=$(ls -A "$dir" | grep -vx -e Lumenweave.scr -e Lumenweave.ini)
  [[ -z $strays ]] || lw_fail "a completed save left: $strays" || return 1
  lw_log "$trials writers killed (seed $seed), $mid of them in the middle of a save; the file was always whole"
}

# The saver keeps drawing: two screenshots a second apart differ and show lit pixels.
rel_still_draws() {
  local label=$1 a="$LW_RUN_DIR/shots/$1-a.png" b="$LW_RUN_DIR/shots/$1-b.png"
  rel_shot "$a" || return 1; sleep 1; rel_shot "$b" || return 1
  local diff lit; diff=$(rel_pixels_differ "$a" "$b"); lit=$(rel_lit_pixels "$b")
  lw_log "$label: $diff pixels changed in a second, $lit lit"
  ((diff > 100 && lit > 100)) || lw_fail "$label: the saver stopped drawing"
}

# Music that fails: a truncated MP3, a WAV that is text, an MP3 deleted while it plays, and no
# sound server at all. The saver still draws and still ends on input.
test_reliability_music_faults() {
  local dir win pid ms label
  for label in truncated_mp3 text_wav deleted_mp3 no_sound_server_mp3 no_sound_server_wav; do
    dir=$(rel_folder "rel_music_$label") || return 1; win=$(rel_winpath "$dir")
    case $label in
      truncated_mp3) rel_make_mp3 "$dir/song.mp3" 10 && truncate -s 3001 "$dir/song.mp3" ;;
      text_wav|no_sound_server_wav) printf 'This is not a sound, only text.\r\n' >"$dir/song.wav" ;;
      *) rel_make_mp3 "$dir/song.mp3" 20 ;;
    esac || return 1
    [[ $label == *wav ]] && rel_music_ini "$dir/Lumenweave.ini" "$win\\song.wav" || rel_music_ini "$dir/Lumenweave.ini" "$win\\song.mp3"
    if [[ $label == no_sound_server* ]]; then
      PULSE_SERVER=unix:/nonexistent/pulse lw_start "$win\\Lumenweave.scr" /S
    else
      lw_start "$win\\Lumenweave.scr" /S
    fi
    pid=$LW_LAST_PID
    lw_wait_window Lumenweave_Main 30 || lw_fail "$label: no saver window" || return 1
    if [[ $label == deleted_mp3 ]]; then
      # It sounds before the file goes, so the fault strikes music that really plays.
      local raw=$LW_RUN_DIR/rel_deleted.raw rms
      sleep 1; timeout 2 parec -d nullsink.monitor --raw --format=s16le --rate=44100 --channels=2 >"$raw" 2>/dev/null
      rms=$(sox -t raw -r 44100 -e signed -b 16 -c 2 "$raw" -n stat 2>&1 | awk '/RMS     amplitude/ {print $3}')
      awk -v a="${rms:-0}" 'BEGIN { exit !(a > 0.01) }' || lw_fail "deleted_mp3: silent before the deletion (RMS ${rms:-none})" || return 1
      rm -f "$dir/song.mp3"; sleep 2.5
    fi
    rel_still_draws "$label" || return 1
    xdotool key space
    ms=$(rel_exit_ms "$pid" 2000) || lw_fail "$label: still running ${ms} ms after a key" || return 1
    lw_log "$label: ended ${ms} ms after the key"
  done
}

# The settings dialog saves through the same writer: in a non-ASCII folder and a folder path longer
# than 260 characters the file is written; in a read-only folder nothing is, a message says so and
# the dialog stays until closed. LANG ja_JP: the dialog's texts are code page 932.
rel_dialog_save() {  # folder-unix-path [refused] -> clicks the save button and waits for the program to end
  local win; win=$(rel_winpath "$1")
  lw_start "$win\\Lumenweave.scr" /C; local pid=$LW_LAST_PID
  lw_wait_window "<Lumenweave>" 30 || lw_fail "no settings dialog in $1" || return 1
  local dump=$LW_RUN_DIR/rel_dialog_dump.txt
  lw_wait 20 bash -c "wine '$LW_PROBES/dialog_probe.exe' dump 2>/dev/null | tr -d '\r' >'$dump' && grep -q '^visible 1' '$dump'" ||
    lw_fail "the dialog was never shown" || return 1
  local xy; xy=$(awk '$1=="control" && $2==100 {printf "%d %d\n", $4+$6/2, $5+$7/2; exit}' "$dump")
  [[ -n $xy ]] || lw_fail "no save button" || return 1
  xdotool mousemove $xy; sleep 0.3; xdotool click 1
  if [[ ${2:-} == refused ]]; then
    lw_wait 15 bash -c "wine '$LW_PROBES/dialog_probe.exe' message 2>/dev/null | grep -q '^owned 1'" ||
      lw_fail "no message for the failed save" || return 1
    xdotool key Return; sleep 1
    lw_alive "$pid" || lw_fail "the dialog closed after a failed save" || return 1
    wine "$LW_PROBES/dialog_probe.exe" close >/dev/null 2>&1
  fi
  lw_wait_exit "$pid" 15 || lw_fail "the dialog did not close after saving" || return 1
}

test_reliability_dialog_saves_in_awkward_folders() {
  export LANG=ja_JP.UTF-8
  local long=rel_dlg_long; while ((${#long} < 280)); do long+=/another_long_folder_name_$((${#long} % 5)); done
  local name dir
  for name in "rel_dlg_設定_ü" "$long"; do
    dir=$(rel_folder "$name") || return 1
    rel_dialog_save "$dir" || return 1
    grep -qa $'\x97\xB1\x8E\x71\x90\x94=600' "$dir/Lumenweave.ini" 2>/dev/null || lw_fail "$name: nothing saved" || return 1
    [[ -z $(ls -A "$dir" | grep -vx -e Lumenweave.scr -e Lumenweave.ini) ]] || lw_fail "$name: a temporary file is left" || return 1
    lw_log "${name:0:40}... ($((${#dir} - ${#LW_DRIVE_C} + 2)) characters): saved through the dialog"
  done
  dir=$(rel_folder rel_dlg_readonly) || return 1
  if chattr +i "$dir" 2>/dev/null; then
    trap "chattr -i '$dir' 2>/dev/null; lw_stop_test_processes" EXIT
    rel_dialog_save "$dir" refused; local rc=$?
    chattr -i "$dir"
    ((rc == 0)) || return 1
    [[ ! -e $dir/Lumenweave.ini ]] || lw_fail "read-only folder: a settings file appeared" || return 1
    lw_log "read-only folder: nothing saved, a message said so"
  else
    lw_log "read-only folder: chattr +i is not permitted here; case skipped"
  fi
}
