# Long run: the saver with an MP3 looping for LW_RELIABILITY_MINUTES minutes (3 unless set; the
# full figure is 10). Once a minute a probe reads the saver's GDI and USER objects and private
# bytes, and a screenshot is taken: the counts must not grow, the picture must keep changing, and
# the music must still sound at the end.
source "$(dirname "${BASH_SOURCE[0]}")/reliability_lib.sh"

REL_MINUTES=${LW_RELIABILITY_MINUTES:-3}
((REL_MINUTES >= 2)) || REL_MINUTES=2
LW_LIMIT_test_reliability_longrun=$((REL_MINUTES * 60 + 150))

# Private memory of a Unix process in KiB (anonymous resident pages, what a leak grows).
rel_rss_anon_kb() { awk '/^RssAnon:/ {print $2}' "/proc/$1/status" 2>/dev/null; }

test_reliability_longrun() {
  local dir win; dir=$(rel_folder rel_longrun) || return 1; win=$(rel_winpath "$dir")
  rel_make_mp3 "$dir/loop.mp3" 25 || return 1
  rel_music_ini "$dir/Lumenweave.ini" "$win\\loop.mp3"
  local csv=$LW_RUN_DIR/longrun.csv
  echo "minute,gdi,user,private_bytes,handles,rss_anon_kb,pixels_changed,lit" >"$csv"

  lw_start "$win\\Lumenweave.scr" /S; local pid=$LW_LAST_PID
  lw_wait_window Lumenweave_Main 30 || lw_fail "no saver window" || return 1
  local start=$SECONDS minute stats shot prev="" changed lit
  local first_gdi= first_user= first_private= first_rss=
  for ((minute = 0; minute <= REL_MINUTES; minute++)); do
    while ((SECONDS - start < minute * 60)); do sleep 1; done
    lw_alive "$pid" || lw_fail "minute $minute: the saver died" || return 1
    stats=$(lw_probe reliability_probe stats)
    [[ $stats == pid=* ]] || lw_fail "minute $minute: probe gave '$stats'" || return 1
    shot="$LW_RUN_DIR/shots/longrun-$minute.png"
    rel_shot "$shot" || lw_fail "minute $minute: no screenshot" || return 1
    changed=-; [[ -n $prev ]] && changed=$(rel_pixels_differ "$prev" "$shot")
    lit=$(rel_lit_pixels "$shot")
    local gdi user private handles rss
    gdi=$(rel_field "$stats" gdi); user=$(rel_field "$stats" user); private=$(rel_field "$stats" private)
    handles=$(rel_field "$stats" handles); rss=$(rel_rss_anon_kb "$pid")
    echo "$minute,$gdi,$user,$private,$handles,$rss,$changed,$lit" >>"$csv"
    lw_log "minute $minute: gdi=$gdi user=$user private=$private handles=$handles rss_anon=${rss}KiB changed=$changed lit=$lit ($stats)"
    if [[ -n $prev ]]; then
      ((changed > 100)) || lw_fail "minute $minute: the picture did not change" || return 1
    fi
    prev=$shot
    # Minute 1 is the baseline: by then every lasting object has been made.
    if ((minute == 1)); then first_gdi=$gdi first_user=$user first_private=$private first_rss=$rss; fi
    if ((minute == REL_MINUTES)); then
      # The music still sounds: record the null sink for five seconds.
      local raw=$LW_RUN_DIR/longrun-end.raw
      timeout 5 parec -d nullsink.monitor --raw --format=s16le --rate=44100 --channels=2 >"$raw" 2>/dev/null
      local rms; rms=$(sox -t raw -r 44100 -e signed -b 16 -c 2 "$raw" -n stat 2>&1 | awk '/RMS     amplitude/ {print $3}')
      lw_log "minute $minute: music RMS over 5 s = ${rms:-none}"
      awk -v a="${rms:-0}" 'BEGIN { exit !(a > 0.01) }' || lw_fail "the music is silent at the end" || return 1
    fi
  done
  ((gdi <= first_gdi)) || lw_fail "GDI objects grew: $first_gdi -> $gdi" || return 1
  ((user <= first_user)) || lw_fail "USER objects grew: $first_user -> $user" || return 1
  # Private memory may wobble with the sound pipeline's buffers; a leak grows past 8 MiB.
  ((private <= first_private + 8 * 1024 * 1024)) || lw_fail "private bytes grew: $first_private -> $private" || return 1
  ((rss <= first_rss + 8192)) || lw_fail "anonymous memory grew: ${first_rss} -> ${rss} KiB" || return 1
  xdotool key space
  local ms; ms=$(rel_exit_ms "$pid" 2000) || lw_fail "still running ${ms} ms after a key" || return 1
  lw_log "ended ${ms} ms after the key; figures in $csv"
}
