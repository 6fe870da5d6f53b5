# Helpers of the reliability end-to-end tests. Sourced by test_reliability*.sh.

# A folder under C: with a copy of the saver; prints its Unix path. Usage: rel_folder NAME [ini-bytes-file]
rel_folder() {
  local dir="$LW_DRIVE_C/$1"
  mkdir -p "$dir" && cp "$LW_SCR" "$dir/Lumenweave.scr" || return 1
  [[ -n ${2:-} ]] && cp "$2" "$dir/Lumenweave.ini"
  printf '%s\n' "$dir"
}

# The Windows path of a file under the prefix's C: drive.
rel_winpath() { local rel=${1#"$LW_DRIVE_C"/}; printf 'C:\\%s\n' "${rel//\//\\}"; }

rel_now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Waits for the process to end; prints how many milliseconds that took. Fails after `limit` ms.
rel_exit_ms() {
  local pid=$1 limit=$2 start; start=$(rel_now_ms)
  while kill -0 "$pid" 2>/dev/null; do
    (($(rel_now_ms) - start > limit)) && { echo $(($(rel_now_ms) - start)); return 1; }
    sleep 0.01
  done
  echo $(($(rel_now_ms) - start))
}

# Ends the saver the way a user does: key, click or mouse movement (XTEST, never --window).
rel_input() {
  case $1 in
    key) local keys=(space a Escape Return Tab Up Down F5 Shift_L z)
         xdotool key "${keys[RANDOM % ${#keys[@]}]}" ;;
    click) xdotool click 1 ;;
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

# Values of key=value words in a line. Usage: rel_field "a=1 b=2" b
rel_field() { tr ' ' '\n' <<<"$1" | sed -n "s/^$2=//p"; }

# Screenshot of the whole screen; fails when it could not be taken.
rel_shot() { lw_screenshot "$1" && [[ -s $1 ]]; }

# How many pixels of two screenshots differ (ImageMagick's AE metric).
rel_pixels_differ() { compare -metric AE "$1" "$2" null: 2>&1 | awk '{print int($1)}'; }

# Lit (non-black) pixels in a screenshot.
rel_lit_pixels() {
  convert "$1" -colorspace Gray -threshold 10% -format '%[fx:int(mean*w*h+0.5)]' info: 2>/dev/null
}

# A tone of `seconds` as an MP3 file.
rel_make_mp3() {
  local wav="$LW_RUN_DIR/rel_tone_$$.wav"
  sox -n -r 44100 -c 2 -b 16 "$wav" synth "$2" sine 440 vol 0.5 && lame --quiet -b 128 "$wav" "$1"
  local rc=$?; rm -f "$wav"; return $rc
}

# Settings that play `file` (a Windows path) as music.
rel_music_ini() {
  printf '[Section]\r\n\x97\xB1\x8E\x71\x90\x94=600\r\nBGM\x8B\xE6\x95\xAA=2\r\nBGM\xD8\xCB\xDF\xB0\xC4=0\r\nBGM\xCC\xA7\xB2\xD9=%s\r\n' "$2" >"$1"
}


# Ends the saver with a key and prints how long that took. A key that reaches Wine before it has
# activated a window that has just appeared goes elsewhere, so one more is pressed after a second.
rel_end_with_key() {
  local pid=$1 limit=${2:-2000} ms
  xdotool key space
  ms=$(rel_exit_ms "$pid" 1000) && { echo "$ms"; return 0; }
  xdotool key space
  ms=$(rel_exit_ms "$pid" "$limit") && { echo "$ms"; return 0; }
  echo "$ms"; return 1
}
