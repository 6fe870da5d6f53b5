# Background music of the running saver, by music source. Oracles: Wine's +mci trace for the
# command strings (and +winmm for the sound player's calls), recordings of the null sink for sound.
source "$(dirname "${BASH_SOURCE[0]}")/music_lib.sh"

test_music_mp3_loops_while_the_saver_runs() {
  local media="$LW_DRIVE_C/music media" log="$LW_RUN_DIR/music_mp3.trace" rec="$LW_RUN_DIR/music_mp3.raw"
  local song='C:\music media\two seconds.mp3'
  mkdir -p "$media" && music_make_tone "$media/two seconds.mp3" 2 || lw_fail "could not make the MP3" || return 1
  local folder; folder=$(music_saver_folder "music mp3" 2 0 "$song") || return 1
  music_record_start "$rec"
  music_start_saver "$folder" +timestamp,+mci "$log"; local saver=$LW_LAST_PID
  lw_wait_window Lumenweave_Main 30 || lw_fail "no saver window" || return 1
  music_wait_command "$log" 1 10 'play MP3Play' || lw_fail "the MP3 was not started" || return 1
  local started=$SECONDS
  # After 6 s of running, end the recording shortly after the next replay: the file has ended
  # (at least) twice by then and its last second must hold sound again.
  lw_wait 10 bash -c "((SECONDS - $started >= 6))"
  local replays; replays=$(music_command_texts "$log" | grep -cxF 'play MP3Play from 0')
  music_wait_command "$log" $((replays + 1)) 5 'play MP3Play from 0' || lw_fail "no replay after 6 s" || return 1
  sleep 0.7
  music_record_stop
  music_end_saver "$saver" || lw_fail "a key did not end the saver" || return 1

  music_commands "$log" | sed 's/^/    /'
  local texts; texts=$(music_command_texts "$log")
  local head=$'open "C:\\music media\\two seconds.mp3" type MPEGVideo Alias MP3Play\nplay MP3Play\nstatus MP3Play mode'
  [[ $(head -3 <<<"$texts") == "$head" ]] || lw_fail "open, play and first status not as expected" || return 1
  grep -qzF $'status MP3Play mode\nstop MP3Play\nplay MP3Play from 0\n' <<<"$texts" ||
    lw_fail "no stop and replay after the end of the file" || return 1
  [[ $(tail -2 <<<"$texts" | paste -sd'|') == 'stop MP3Play|close MP3Play' ]] || lw_fail "not stopped and closed at the end" || return 1
  [[ -z $(grep -vxE 'open ".*" type MPEGVideo Alias MP3Play|(play|stop|close) MP3Play|status MP3Play mode|play MP3Play from 0' <<<"$texts") ]] ||
    lw_fail "a command no MP3 path sends" || return 1
  # The mode is asked once a second (Timer1); the median interval shows the period.
  local median; median=$(music_commands "$log" | awk '$3 == "status" {print $1}' |
    awk 'NR > 1 {print $1 - prev} {prev = $1}' | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}')
  lw_log "median interval between mode queries: $median s"
  awk -v m="$median" 'BEGIN { exit !(m >= 0.9 && m <= 1.3) }' || lw_fail "mode not asked about once a second" || return 1
  local last whole; last=$(music_rms "$rec" -1); whole=$(music_rms "$rec" 0)
  lw_log "recorded $(music_seconds "$rec") s: RMS $whole overall, $last in the last second"
  music_loud "$last" || lw_fail "no sound in the last second"
}

test_music_wav_loops_until_a_key() {
  local media="$LW_DRIVE_C/music media" log="$LW_RUN_DIR/music_wav.trace" rec="$LW_RUN_DIR/music_wav.raw"
  mkdir -p "$media" && music_make_tone "$media/one second.wav" 1 || lw_fail "could not make the WAV" || return 1
  local folder; folder=$(music_saver_folder "music wav" 2 0 'C:\music media\one second.wav') || return 1
  music_record_start "$rec"
  music_start_saver "$folder" +timestamp,+mci,+winmm "$log"; local saver=$LW_LAST_PID
  lw_wait_window Lumenweave_Main 30 || lw_fail "no saver window" || return 1
  # SND_FILENAME | SND_NODEFAULT | SND_ASYNC | SND_LOOP
  lw_wait 10 grep -qi 'MULTIMEDIA_PlaySound .* fdwSound=0002000b' "$log" || lw_fail "PlaySound not called with flags 2000b" || return 1
  sleep 2.5  # more than twice the file's length
  cp "$rec" "$rec.playing"
  music_end_saver "$saver" || lw_fail "a key did not end the saver" || return 1
  sleep 1
  music_record_stop
  grep -F 'MULTIMEDIA_PlaySound' "$log" | sed 's/^/    /'
  grep -q "MULTIMEDIA_PlaySound pszSound='0000000000000000' hmod=0000000000000000 fdwSound=00000000" "$log" ||
    lw_fail "the sound was not stopped" || return 1
  [[ -z $(music_commands "$log") ]] || lw_fail "MCI commands on the WAV path" || return 1
  local playing after; playing=$(music_rms "$rec.playing" -1); after=$(music_rms "$rec" -0.5)
  lw_log "RMS in the last second while running $playing, in the last half second after the end $after"
  music_loud "$playing" || lw_fail "no sound after twice the WAV's length" || return 1
  music_silent "$after" || lw_fail "sound after the saver ended"
}

test_music_cd_without_a_drive_gives_up_after_one_step() {
  local log="$LW_RUN_DIR/music_cd.trace"
  local folder; folder=$(music_saver_folder "music cd" 1 3 '') || return 1
  music_start_saver "$folder" +timestamp,+mci "$log"; local saver=$LW_LAST_PID
  lw_wait_window Lumenweave_Main 30 || lw_fail "no saver window" || return 1
  music_wait_command "$log" 1 10 'status cdaudio current track' || lw_fail "no supervision step" || return 1
  sleep 2  # ten supervision intervals: a step that was not switched off would show
  music_end_saver "$saver" || lw_fail "a key did not end the saver" || return 1
  music_commands "$log" | sed 's/^/    /'
  local expected=$'open cdaudio\nset cdaudio time format tmsf\nstatus cdaudio current track'
  [[ $(music_command_texts "$log") == "$expected" ]] || lw_fail "CD commands not as expected"
}

test_music_unplayable_files_leave_the_saver_silent() {
  local media="$LW_DRIVE_C/music media"
  mkdir -p "$media" && music_make_tone "$media/tone.ogg" 1 && head -c 65536 /dev/zero >"$media/broken.mp3" ||
    lw_fail "could not make the files" || return 1
  local -a cases=(
    'missing|C:\music media\missing.mp3|^$'
    'other extension|C:\music media\tone.ogg|^$'
    'corrupt mp3|C:\music media\broken.mp3|^open "C:\\music media\\broken.mp3" type MPEGVideo Alias MP3Play'
  )
  local entry name path first n=0
  for entry in "${cases[@]}"; do
    IFS='|' read -r name path first <<<"$entry"
    n=$((n + 1))
    local log="$LW_RUN_DIR/music_unplayable_$n.trace" rec="$LW_RUN_DIR/music_unplayable_$n.raw"
    local folder; folder=$(music_saver_folder "music unplayable $n" 2 0 "$path") || return 1
    music_record_start "$rec"
    music_start_saver "$folder" +timestamp,+mci "$log"; local saver=$LW_LAST_PID
    lw_wait_window Lumenweave_Main 30 || lw_fail "$name: no saver window" || return 1
    sleep 2.5  # two or more Timer1 intervals
    music_end_saver "$saver" || lw_fail "$name: a key did not end the saver" || return 1
    music_record_stop
    local texts rms; texts=$(music_command_texts "$log"); rms=$(music_rms "$rec" 0)
    lw_log "$name: RMS $rms, $(grep -c . <<<"$texts") MCI commands"
    sed 's/^/    /' <<<"$texts"
    music_silent "$rms" || lw_fail "$name: sound was recorded" || return 1
    [[ $(head -1 <<<"$texts") =~ $first ]] || lw_fail "$name: first command not as expected" || return 1
    if [[ -n $texts ]]; then
      [[ -z $(grep -vxE 'open ".*" type MPEGVideo Alias MP3Play|(play|stop|close) MP3Play|status MP3Play mode|play MP3Play from 0' <<<"$texts") ]] ||
        lw_fail "$name: a command no MP3 path sends" || return 1
      [[ $(tail -2 <<<"$texts" | paste -sd'|') == 'stop MP3Play|close MP3Play' ]] || lw_fail "$name: not stopped and closed" || return 1
    fi
  done
}
