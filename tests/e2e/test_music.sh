# Background music of the running saver, by music source. Oracles: Wine's +mci trace for the
# command strings (and +winmm for the sound player's calls), recordings of the null sink for sound.

# Plays a tone of SECONDS saved as C:\music media\FILE through a copy of the saver, recording the
# null sink: music_play NAME FILE SECONDS WINEDEBUG; the trace goes to $log, the recording to $rec.
music_play() {
  log=$LW_RUN_DIR/$1.trace rec=$LW_RUN_DIR/$1.raw
  mkdir -p "$LW_DRIVE_C/music media" && music_make_tone "$LW_DRIVE_C/music media/$2" "$3" || lw_fail "could not make $2" || return 1
  local folder; folder=$(music_saver_folder "$1" 2 0 "C:\\music media\\$2") || return 1
  music_record_start "$rec"
  WINEDEBUG=$4 lw_run_saver "$folder/Lumenweave.scr" "$log"
}

# Whether the saver still draws: of two screenshots, the second begun SECONDS after the first
# ends, more than 10 pixels differ and the second has more than 10 lit: music_draws NAME SECONDS.
music_draws() {
  local a=$LW_RUN_DIR/shots/$1-a.png b=$LW_RUN_DIR/shots/$1-b.png changed lit
  lw_screenshot "$a"; sleep "$2"; lw_screenshot "$b"
  changed=$(compare -metric AE "$a" "$b" null: 2>&1 | awk '{print int($1)}')
  lit=$(convert "$b" -colorspace Gray -threshold 10% -format '%[fx:int(mean*w*h+0.5)]' info:)
  ((changed > 10 && lit > 10)) || lw_fail "$1: the saver stopped drawing ($changed changed, $lit lit)"
}

test_music_mp3_loops_while_the_saver_runs() {
  local log rec; music_play music_mp3 'two seconds.mp3' 2 +timestamp,+mci || return 1
  lw_wait 10 music_has_command "$log" 1 'play MP3Play' || lw_fail "the MP3 was not started" || return 1
  # After 6 s of running, end the recording shortly after the next replay: the file has ended
  # (at least) twice by then and its last second must hold sound again.
  sleep 6
  local replays; replays=$(music_command_texts "$log" | grep -cxF 'play MP3Play from 0')
  lw_wait 5 music_has_command "$log" $((replays + 1)) 'play MP3Play from 0' || lw_fail "no replay after 6 s" || return 1
  sleep 0.7; music_record_stop
  lw_end_by_key "$LW_SAVER_PID" 15 || lw_fail "a key did not end the saver" || return 1

  local texts; texts=$(music_command_texts "$log")
  local head=$'open "C:\\music media\\two seconds.mp3" type MPEGVideo Alias MP3Play\nplay MP3Play\nstatus MP3Play mode'
  [[ $(head -3 <<<"$texts") == "$head" ]] || lw_fail "open, play and first status not as expected" || return 1
  grep -qzF $'status MP3Play mode\nstop MP3Play\nplay MP3Play from 0\n' <<<"$texts" ||
    lw_fail "no stop and replay after the end of the file" || return 1
  [[ $(tail -2 <<<"$texts" | paste -sd'|') == 'stop MP3Play|close MP3Play' ]] || lw_fail "not stopped and closed at the end" || return 1
  [[ -z $(grep -vxE "$MUSIC_MP3_COMMANDS" <<<"$texts") ]] || lw_fail "a command no MP3 path sends" || return 1
  # The mode is asked once a second (Timer1); the median interval shows the period.
  local median; median=$(music_commands "$log" | awk '$3 == "status" {print $1}' |
    awk 'NR > 1 {print $1 - prev} {prev = $1}' | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}')
  awk -v m="$median" 'BEGIN { exit !(m >= 0.9 && m <= 1.3) }' || lw_fail "mode asked every $median s" || return 1
  local last; last=$(music_rms "$rec" -1)
  music_loud "$last" || lw_fail "no sound in the last second (RMS $last)"
}

# Named as code page 932 cannot, so by a settings file in UTF-16LE.
test_music_wav_loops_until_a_key() {
  local log rec; music_play music_wav 'José, one second.wav' 1 +timestamp,+mci,+winmm || return 1
  # SND_FILENAME | SND_NODEFAULT | SND_ASYNC | SND_LOOP
  lw_wait 10 grep -qi 'MULTIMEDIA_PlaySound .* fdwSound=0002000b' "$log" || lw_fail "PlaySound not called with flags 2000b" || return 1
  sleep 2.5  # more than twice the file's length
  cp "$rec" "$rec.playing"
  lw_end_by_key "$LW_SAVER_PID" 15 || lw_fail "a key did not end the saver" || return 1
  sleep 1; music_record_stop
  grep -q "MULTIMEDIA_PlaySound pszSound='0000000000000000' hmod=0000000000000000 fdwSound=00000000" "$log" ||
    lw_fail "the sound was not stopped" || return 1
  [[ -z $(music_commands "$log") ]] || lw_fail "MCI commands on the WAV path" || return 1
  local playing after; playing=$(music_rms "$rec.playing" -1); after=$(music_rms "$rec" -0.5)
  music_loud "$playing" || lw_fail "no sound after twice the WAV's length (RMS $playing)" || return 1
  music_silent "$after" || lw_fail "sound after the saver ended (RMS $after)"
}

test_music_cd_without_a_drive_gives_up_after_one_step() {
  local log="$LW_RUN_DIR/music_cd.trace" folder; folder=$(music_saver_folder "music cd" 1 3 '') || return 1
  WINEDEBUG=+timestamp,+mci lw_run_saver "$folder/Lumenweave.scr" "$log" || return 1
  lw_wait 10 music_has_command "$log" 1 'status cdaudio current track' || lw_fail "no supervision step" || return 1
  sleep 2  # ten supervision intervals: a step that was not switched off would show
  lw_end_by_key "$LW_SAVER_PID" 15 || lw_fail "a key did not end the saver" || return 1
  local expected=$'open cdaudio\nset cdaudio time format tmsf\nstatus cdaudio current track'
  [[ $(music_command_texts "$log") == "$expected" ]] || lw_fail "CD commands not as expected" || return 1
  [[ $(music_commands "$log" | awk '{print $2}' | paste -sd' ') == '0 0 512' ]] || lw_fail "reply capacities not 0 0 512"
}

# CD music without a drive: Right pressed 30 times a second for 5 s (no press ends the saver)
# neither spends the frames after it nor leaves a queue of slow presses behind: the screen taken at
# once after the last press and the one begun 0.3 s after that (a screenshot takes about half a
# second here) differ.
test_music_cd_held_arrow_key_leaves_the_animation_moving() {
  local folder; folder=$(music_saver_folder "music cd keys" 1 0 '') || return 1
  lw_run_saver "$folder/Lumenweave.scr" || return 1
  sleep 1  # a key that reaches Wine before it has activated the window goes elsewhere
  xdotool key --delay 33 $(printf 'Right %.0s' {1..150})
  music_draws music_cd_keys 0.3 && lw_alive "$LW_SAVER_PID" || lw_fail "the screen stood still after the keys, or they ended the saver" || return 1
  lw_end_by_key "$LW_SAVER_PID" 15 || lw_fail "a key did not end the saver"
}

# Music that cannot play or fails while playing: the saver still draws and still ends on a key
# within two seconds, sends no command the MP3 path would not, and stops and closes what it opened.
# Rows: name | the settings' music file, in C:\music faults | what the null sink hears: "silent",
# "sounds" (before the file is deleted) or "any".
test_music_faults_leave_the_saver_running() {
  local dir="$LW_DRIVE_C/music faults"
  mkdir -p "$dir" && music_make_tone "$dir/tone.ogg" 1 && music_make_tone "$dir/truncated.mp3" 10 &&
    truncate -s 3001 "$dir/truncated.mp3" && head -c 65536 /dev/zero >"$dir/broken.mp3" &&
    printf 'This is not a sound, only text.\r\n' >"$dir/text.wav" || lw_fail "could not make the files" || return 1
  local rows=(
    "missing|missing.mp3|silent" "other extension|tone.ogg|silent" "corrupt mp3|broken.mp3|silent"
    "truncated mp3|truncated.mp3|any" "text wav|text.wav|silent" "deleted mp3|deleted.mp3|sounds"
    "no sound server, mp3|broken.mp3|any" "no sound server, wav|text.wav|any"
  )
  local row name file hear n=0
  for row in "${rows[@]}"; do
    IFS='|' read -r name file hear <<<"$row"; n=$((n + 1))
    local log="$LW_RUN_DIR/music_fault_$n.trace" rec="$LW_RUN_DIR/music_fault_$n.raw" server=$PULSE_SERVER
    [[ $name == deleted* ]] && { music_make_tone "$dir/deleted.mp3" 20 || return 1; }
    [[ $name == no\ sound* ]] && server=unix:/nonexistent/pulse
    local folder; folder=$(music_saver_folder "music fault $n" 2 0 "C:\\music faults\\$file") || return 1
    music_record_start "$rec"
    PULSE_SERVER=$server WINEDEBUG=+timestamp,+mci lw_run_saver "$folder/Lumenweave.scr" "$log" || lw_fail "$name" || return 1
    sleep 2.5  # two or more Timer1 intervals
    if [[ $hear == sounds ]]; then
      cp "$rec" "$rec.before" && music_loud "$(music_rms "$rec.before" -1)" || lw_fail "$name: silent before the deletion" || return 1
      rm -f "$dir/deleted.mp3"; sleep 2.5
    fi
    music_draws "music_fault_$n" 1 || lw_fail "$name" || return 1
    lw_end_by_key "$LW_SAVER_PID" 15 || lw_fail "$name: a key did not end the saver" || return 1
    music_record_stop
    local texts rms; texts=$(music_command_texts "$log"); rms=$(music_rms "$rec" 0)
    [[ $hear != silent ]] || music_silent "$rms" || lw_fail "$name: sound was recorded (RMS $rms)" || return 1
    [[ -z $(grep -vxE "$MUSIC_MP3_COMMANDS" <<<"$texts") ]] || lw_fail "$name: a command no MP3 path sends" || return 1
    [[ -z $texts || $(tail -2 <<<"$texts" | paste -sd'|') == 'stop MP3Play|close MP3Play' ]] || lw_fail "$name: not stopped and closed" || return 1
  done
}
