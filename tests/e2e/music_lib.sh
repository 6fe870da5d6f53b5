# Helpers of the music end-to-end tests: test media, the MCI trace and recordings of the null sink.
# Sourced by lib.sh.

# The MCI command strings a program sent, one per line as "<seconds> <capacity> <command>", read
# from a log of WINEDEBUG=+timestamp,+mci. Wine's own nested "open <name> wait" (its automatic
# open of an unknown device name, offered 6 characters) is left out: the program never sends it.
music_commands() {
  perl -ne '
    next unless /^(\d+\.\d+):[0-9a-f]+:trace:mci:mciSendStringW \(L"(.*)", [0-9A-Fa-f]+, (\d+), [0-9A-Fa-f]+\)$/;
    my ($time, $command, $capacity) = ($1, $2, $3);
    $command =~ s/\\(.)/$1/g;
    next if $capacity == 6 && $command =~ /^open \S+ wait$/;
    print "$time $capacity $command\n";' "$1"
}

# Every command an MP3 path may send (a grep -E pattern of whole lines).
MUSIC_MP3_COMMANDS='open ".*" type MPEGVideo Alias MP3Play|(play|stop|close) MP3Play|status MP3Play mode|play MP3Play from 0'

# Commands only, without time and capacity.
music_command_texts() { music_commands "$1" | cut -d' ' -f3-; }

# Makes a tone of `seconds` as an MP3 (lame) if the file's name ends so, else as a WAV file.
music_make_tone() {
  [[ ${1,,} == *.mp3 ]] || { sox -n -r 44100 -c 2 -b 16 -t wav "$1" synth "$2" sine 440 vol 0.5; return; }
  music_make_tone "$1.wav" "$2" && lame --quiet -b 128 "$1.wav" "$1" && rm "$1.wav"
}

# Records the null sink into a raw file in the background; its pid goes to MUSIC_REC_PID.
music_record_start() {
  parec -d nullsink.monitor --latency-msec=20 --raw --format=s16le --rate=44100 --channels=2 >"$1" 2>/dev/null &
  MUSIC_REC_PID=$!; LW_TEST_PIDS+=("$MUSIC_REC_PID")
}
music_record_stop() { kill -TERM "$MUSIC_REC_PID" 2>/dev/null; wait "$MUSIC_REC_PID" 2>/dev/null; return 0; }

# RMS amplitude (0..1) of a raw recording: all of it, or from `start` seconds for `length` seconds
# (a start of -1 means the last second).
music_rms() { sox -t raw -r 44100 -e signed -b 16 -c 2 "$1" -n trim "${@:2}" stat 2>&1 | awk '/RMS     amplitude/ {print $3}'; }
music_loud() { awk -v a="$1" 'BEGIN { exit !(a > 0.01) }'; }
music_silent() { awk -v a="$1" 'BEGIN { exit !(a < 0.001) }'; }

# Whether the log holds `count` lines of the command: music_has_command log count cmd
music_has_command() { (($(music_command_texts "$1" | grep -cxF -- "$3") >= $2)); }

# A copy of the saver in its own folder under C:, with a settings file beside it in code page 932,
# or in UTF-16LE when that cannot name the music file.
# Usage: music_saver_folder name source track music-file-windows-path; prints the folder.
music_saver_folder() {
  local folder utf16=""; iconv -t CP932 <<<"$4" >/dev/null 2>&1 || utf16=--utf16
  folder=$(lw_saver_copy "$1") && lw_ini $utf16 40 "$2" "$3" "$4" >"$folder/Lumenweave.ini" && printf '%s\n' "$folder"
}
