# The music module alone, driven by the music_probe program with the real winmm adapters.
# Oracles: Wine's +mci trace for the command strings, the null sink for sound.
source "$(dirname "${BASH_SOURCE[0]}")/music_lib.sh"

music_probe_run() {  # usage: music_probe_run trace-log steps...
  local log=$1; shift
  WINEDEBUG=+timestamp,+mci wine "$LW_PROBES/music_probe.exe" "$@" 2>"$log" | tr -d '\r'
}

test_music_probe_mp3_plays_and_is_replayed() {
  local dir="$LW_DRIVE_C/probe music" log="$LW_RUN_DIR/music_probe_mp3.trace" rec="$LW_RUN_DIR/music_probe_mp3.raw"
  mkdir -p "$dir" && music_make_tone "$dir/two seconds.mp3" 2 || lw_fail "could not make the MP3" || return 1
  music_record_start "$rec"
  local out; out=$(music_probe_run "$log" 'file=C:\probe music\two seconds.mp3' mp3play replayfor=6 isplaying mp3stop)
  music_record_stop
  music_command_texts "$log" | uniq -c | sed 's/^/    /'
  local expected_head=$'open "C:\\probe music\\two seconds.mp3" type MPEGVideo Alias MP3Play\nplay MP3Play\nstatus MP3Play mode'
  [[ $(music_command_texts "$log" | head -3) == "$expected_head" ]] || lw_fail "open and play not as expected" || return 1
  music_command_texts "$log" | grep -qxF 'play MP3Play from 0' || lw_fail "the MP3 was never replayed" || return 1
  [[ $(music_command_texts "$log" | tail -2 | paste -sd'|') == 'stop MP3Play|close MP3Play' ]] || lw_fail "not stopped and closed" || return 1
  [[ $out == playing ]] || lw_fail "not playing at the end: '$out'" || return 1
  local whole; whole=$(music_rms "$rec" 0)
  lw_log "recorded $(music_seconds "$rec") s, RMS $whole"
  music_loud "$whole" || lw_fail "no sound recorded"
}

test_music_probe_cd_without_a_drive_ends_supervision() {
  local log="$LW_RUN_DIR/music_probe_cd.trace"
  local out; out=$(music_probe_run "$log" cdopen cdcheck)
  music_command_texts "$log" | sed 's/^/    /'
  [[ $out == inactive ]] || lw_fail "CD supervision still active: '$out'" || return 1
  local expected=$'open cdaudio\nset cdaudio time format tmsf\nstatus cdaudio current track'
  [[ $(music_command_texts "$log") == "$expected" ]] || lw_fail "CD commands not as expected" || return 1
  [[ $(music_commands "$log" | awk '{print $2}' | paste -sd' ') == '0 0 512' ]] || lw_fail "capacities not 0 0 512"
}

test_music_probe_wav_loops_until_stopped() {
  local dir="$LW_DRIVE_C/probe music" rec="$LW_RUN_DIR/music_probe_wav.raw"
  mkdir -p "$dir" && music_make_tone "$dir/one second.wav" 1 || lw_fail "could not make the WAV" || return 1
  music_record_start "$rec"
  music_probe_run /dev/null 'file=C:\probe music\one second.wav' wavplay sleep=3000 wavstop sleep=1500 >/dev/null
  music_record_stop
  local total; total=$(music_seconds "$rec")
  # The recording ends 1.5 s after the stop: sound in the second before the stop, none after it.
  local before after
  before=$(music_rms "$rec" "=$(awk -v t="$total" 'BEGIN{print t-2.6}')" 1)
  after=$(music_rms "$rec" -1)
  lw_log "recorded $total s, RMS in the second before the stop $before, in the last second $after"
  music_loud "$before" || lw_fail "no sound after twice the WAV's length" || return 1
  music_silent "$after" || lw_fail "sound after the stop"
}
