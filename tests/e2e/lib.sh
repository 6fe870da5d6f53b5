# Shared machinery of the end-to-end tests: a virtual display, a sound server with a null sink
# and one fresh Wine prefix per run, and helpers that start the saver and wait for conditions.
# Every process is started here and recorded by id, so cleanup stops exactly those.
# Sourced by tests/e2e/run.sh; each test_*.sh file defines test_* functions.

LW_ROOT=${LW_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
LW_SCR=${LW_SCR:-$LW_ROOT/build/windows/Lumenweave.scr}
LW_PROBES=${LW_PROBES:-$LW_ROOT/build/windows/tests}
LW_SESSION_PIDS=()   # processes of the whole run (display, sound server, wineserver)
LW_TEST_PIDS=()      # processes started by the current test
source "$LW_ROOT/tests/e2e/music_lib.sh"

lw_log() { printf '[e2e] %s\n' "$*" >&2; }

# Waits until a command succeeds; fails after `seconds`. Usage: lw_wait seconds cmd args...
lw_wait() {
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do ((SECONDS <= deadline)) && sleep 0.1 || return 1; done
}

# Starts an X server on a free display: lw_x_server PROGRAM ARGS... (":N", -nolisten tcp and for
# Xorg a -logfile are added); exports DISPLAY and sets LW_X_PID.
lw_x_server() {
  local n=90; while [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]]; do ((++n < 200)) || { lw_log "no free display"; return 1; }; done
  [[ $1 == Xorg ]] && set -- "$@" -logfile "$LW_RUN_DIR/xorg-$n.log"
  "$1" ":$n" "${@:2}" -nolisten tcp >"$LW_RUN_DIR/$1-$n.out" 2>&1 & LW_X_PID=$!
  export DISPLAY=":$n"
  lw_wait 20 xdpyinfo || { lw_log "$1 did not start (see $LW_RUN_DIR/$1-$n.*)"; return 1; }
}

# Several monitors. Xvfb cannot show Wine more than one (its Xinerama heads all sit at 0,0 and its
# RandR has one output), so a layout runs on Xorg with the dummy driver, whose RandR outputs
# DUMMY0, DUMMY1, ... Wine reports as monitors. A layout is a list of WxH+X+Y, the first one the
# primary, e.g. "1920x1080+0+0 1280x1024+1920+0 1024x768+0+1080". LW_MONITORS=LAYOUT runs the
# whole session (tests/e2e/run.sh, the benchmarks) on one; inside a test,
# lw_use_monitors LAYOUT moves that test (and Wine's processes) to a server of its own, and
# lw_set_monitors LAYOUT changes the running one (fewer entries switch monitors off). Wine 8 puts
# Windows' (0,0) at the root's origin and shows nothing left of or above it: keep the primary at
# +0+0 and the others right of or below it.
# Xorg is started as root, sharing vt1 (tests/e2e/data/xorg-dummy.conf); the screen grows to hold
# the layout.

# Starts Xorg with the layout; exports DISPLAY and sets LW_X_PID.
lw_start_xorg() { lw_x_server Xorg -config "$LW_ROOT/tests/e2e/data/xorg-dummy.conf" -noreset vt1 -sharevts && lw_set_monitors "$1"; }

# Gives output DUMMYi the i-th monitor of the layout (sizes from the dummy driver's list of
# modes) and switches the others off.
lw_set_monitors() {
  local args=() i=0 m mw mh mx my out
  for m in $1; do
    IFS='x+' read -r mw mh mx my <<<"$m"
    xrandr --addmode "DUMMY$i" "${mw}x${mh}" 2>/dev/null
    args+=(--output "DUMMY$((i++))" --mode "${mw}x${mh}" --pos "${mx}x${my}")
  done
  for out in $(xrandr | grep -oE '^DUMMY[0-9]+'); do
    ((${out#DUMMY} < i)) || args+=(--output "$out" --off)
  done
  xrandr "${args[@]}" --output DUMMY0 --primary || { lw_log "xrandr refused the layout $1"; return 1; }
}

# Moves the current test to a server of its own with the layout. Wine's processes are ended now
# and again when the test ends, so that they start on the display current for them.
lw_use_monitors() {
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
  lw_start_xorg "$1" || return 1
  LW_TEST_PIDS+=("$LW_X_PID")
  LW_TEST_OWN_DISPLAY=1
  lw_wine_sees_monitors "$1"
}

# Wine's desktop process starts from the monitors its prefix saw last and reads the server's
# layout again only on a RandR change: start it, then lay the monitors out once more, until Wine
# reports them all.
lw_wine_sees_monitors() {
  for _ in 1 2 3; do
    wine reg query 'HKCU\Software\Wine' >/dev/null 2>&1
    lw_set_monitors "${1%% *}" && lw_set_monitors "$1" || return 1
    lw_wait 10 lw_wine_reports monitor "$(wc -w <<<"$1")" && return 0
  done
  lw_log "Wine does not see the monitors $1"; return 1
}

# Whether Wine reports $2 monitors (or, with $1 "window", saver windows besides the primary's).
lw_wine_reports() { [[ $(lw_probe monitors Lumenweave_Monitor | grep -c "^$1") == "$2" ]]; }

lw_start_sound() {
  export XDG_RUNTIME_DIR="$LW_RUN_DIR/xdg" PULSE_STATE_PATH="$LW_RUN_DIR/pulse-state"
  export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse" PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
  mkdir -p "$PULSE_RUNTIME_PATH" "$PULSE_STATE_PATH" && chmod 700 "$XDG_RUNTIME_DIR"
  pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n \
    --load="module-native-protocol-unix socket=$PULSE_RUNTIME_PATH/native auth-anonymous=1" \
    --load="module-null-sink sink_name=nullsink" \
    --load="module-always-sink" >"$LW_RUN_DIR/pulse.log" 2>&1 &
  LW_SESSION_PIDS+=($!)
  lw_wait 20 pactl info || { lw_log "PulseAudio did not start"; return 1; }
  pactl set-default-sink nullsink >/dev/null
}

lw_start_wine() {
  export WINEPREFIX="$LW_RUN_DIR/prefix" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=${WINEDEBUG:--all}
  # Development shortcut: copy a prefix made earlier instead of preparing one (CI never sets it).
  # Copied before the server starts: a server started first keeps an empty registry and saves it
  # over the copy, which leaves COM classes (and so MCI's MPEGVideo player) unregistered.
  [[ -z ${LW_WINE_TEMPLATE:-} || ! -d $LW_WINE_TEMPLATE ]] || cp -a "$LW_WINE_TEMPLATE" "$WINEPREFIX"
  wineserver -p -f >"$LW_RUN_DIR/wineserver.log" 2>&1 &
  LW_SESSION_PIDS+=($!)
  [[ -e $WINEPREFIX/system.reg ]] || wine wineboot -i >"$LW_RUN_DIR/wineboot.log" 2>&1 || { lw_log "wineboot failed"; return 1; }
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d pulse /f >/dev/null 2>&1
  LW_DRIVE_C="$WINEPREFIX/drive_c"
}

# Sets up the whole run once. LW_RUN_DIR holds logs, the prefix and screenshots.
lw_session_start() {
  export LW_RUN_DIR=${LW_RUN_DIR:-$(mktemp -d /tmp/lw-e2e.XXXXXX)}
  mkdir -p "$LW_RUN_DIR/shots"
  if [[ -n ${LW_MONITORS:-} ]]; then lw_start_xorg "$LW_MONITORS"; else lw_x_server Xvfb -screen 0 1920x1080x24; fi &&
    LW_SESSION_PIDS+=("$LW_X_PID") && lw_start_sound && { [[ -n ${LW_NO_WINE:-} ]] || lw_start_wine; } || return 1
  [[ -z ${LW_MONITORS:-} ]] || lw_wine_sees_monitors "$LW_MONITORS"
}

# Ends the processes given: lw_end_pids SECONDS PID...; TERM first, KILL those alive SECONDS later.
lw_end_pids() {
  local seconds=$1 pid; shift; kill -TERM "$@" 2>/dev/null
  for pid; do lw_wait_exit "$pid" "$seconds" || kill -KILL "$pid" 2>/dev/null; done; return 0
}

lw_session_stop() {
  lw_stop_test_processes
  lw_end_pids 5 "${LW_SESSION_PIDS[@]}"; LW_SESSION_PIDS=()
  # A prefix is about 700 MB; logs and screenshots stay for reading, the prefix goes.
  [[ -n ${LW_KEEP_PREFIX:-} || ${WINEPREFIX:-} != "$LW_RUN_DIR"/prefix ]] || rm -rf "$WINEPREFIX"
}

# Starts a Windows program under Wine in the background; its pid goes to LW_LAST_PID.
# Usage: lw_start [--log FILE] program.exe args...
lw_start() {
  local log=/dev/null; [[ $1 != --log ]] || { log=$2; shift 2; }
  wine "$@" >"$log" 2>&1 & LW_LAST_PID=$!; LW_TEST_PIDS+=("$LW_LAST_PID")
}

# Starts the saver (a copy of it can be chosen with LW_SCR) with the given arguments.
lw_start_scr() { lw_start "$LW_SCR" "$@"; }
# Starts the saver PROGRAM with /S (Wine's channels as WINEDEBUG says, into LOG) and waits for its
# window: lw_run_saver PROGRAM [LOG]; its pid goes to LW_SAVER_PID.
lw_run_saver() {
  lw_start --log "${2:-/dev/null}" "$1" /S; LW_SAVER_PID=$LW_LAST_PID
  lw_wait_window Lumenweave_Main 30 || lw_fail "no saver window"
}

# Runs a command of the tests' probe program (tests/probe) in the foreground and prints its output.
LW_PROBE=$LW_PROBES/probe.exe
lw_probe() { wine "$LW_PROBE" "$@" 2>/dev/null | tr -d '\r'; }

# A host window of the probe (its "preview" command) for the preview and ownership tests:
# lw_host NAME W H X Y (W 0: the desktop). Sets LW_HOST_LOG, LW_HOST_CTL (its request
# folder) and LW_HOST (the handle).
lw_host() {
  LW_HOST_LOG=$LW_RUN_DIR/$1.log LW_HOST_CTL=$LW_RUN_DIR/$1.ctl
  rm -rf "$LW_HOST_CTL" && mkdir -p "$LW_HOST_CTL"
  lw_start --log "$LW_HOST_LOG" "$LW_PROBE" preview "$2" "$3" "$4" "$5" "Z:${LW_HOST_CTL//\//\\}" 150
  lw_wait 30 lw_line "$LW_HOST_LOG" parent || lw_fail "no host window: $(cat "$LW_HOST_LOG")" || return 1
  read -r _ LW_HOST <<<"$(lw_line "$LW_HOST_LOG" parent)"
}
lw_line() { grep -a "^$2" "$1" 2>/dev/null | tr -d '\r' | head -n 1 | grep .; }

lw_alive() { kill -0 "$1" 2>/dev/null; }
lw_wait_exit() { lw_wait "$2" bash -c "! kill -0 $1 2>/dev/null"; }
# Ends a saver with a key: true once process $1 has ended, within a second or, after one more key,
# within $2 seconds (2 unless given). A key that reaches Wine before it has activated a window just
# shown goes elsewhere.
lw_end_by_key() { xdotool key space; lw_wait_exit "$1" 1 || { xdotool key space; lw_wait_exit "$1" "${2:-2}"; }; }
# Whether no saver process of this run is left (Wine's processes carry the Windows program's path;
# those of other runs on the machine, with prefixes of their own, do not count).
lw_no_saver_process() {
  local pid; for pid in $(pgrep -fi 'lumenweave\.scr'); do ! grep -qzxF "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null || return 1; done
}

# X window ids whose title is exactly $1.
lw_find_window() { xdotool search --name "^$(printf '%s' "$1" | sed 's/[][\\.^$*+?(){}|]/\\&/g')\$" 2>/dev/null; }
lw_wait_window() { lw_wait "$2" lw_find_window "$1"; }

lw_screenshot() { import -window root "$1" >/dev/null 2>&1; }

lw_stop_test_processes() {
  if [[ -n ${LW_TEST_OWN_DISPLAY:-} ]]; then wineserver -k 2>/dev/null; LW_TEST_OWN_DISPLAY=; fi
  lw_end_pids 3 "${LW_TEST_PIDS[@]}"; LW_TEST_PIDS=()
}

lw_fail() { lw_log "FAIL: $*"; return 1; }

# A copy of the saver in its own folder C:\NAME (NAME may hold slashes); prints the Unix path.
lw_saver_copy() { local dir=$LW_DRIVE_C/$1; rm -rf "$dir" && mkdir -p "$dir" && cp "$LW_SCR" "$dir/Lumenweave.scr" && printf '%s\n' "$dir"; }
# The Windows path of a file or folder under the prefix's C: drive.
lw_winpath() { local rel=${1#"$LW_DRIVE_C"/}; printf 'C:\\%s\n' "${rel//\//\\}"; }

# A settings file's bytes in code page 932, or with --utf16 in UTF-16LE with a byte-order mark:
# lw_ini [--utf16] COUNT SOURCE TRACK [MUSIC-FILE] >file
lw_ini() {
  local to=CP932; [[ $1 == --utf16 ]] && { to=UTF-16LE; printf '\xFF\xFE'; shift; }
  printf '[Section]\r\n粒子数=%s\r\nBGM区分=%s\r\nBGMﾘﾋﾟｰﾄ=%s\r\nBGMﾌｧｲﾙ=%s\r\n' "$1" "$2" "$3" "${4:-}" | iconv -f UTF-8 -t "$to"
}
# Whether FILE holds exactly what lw_ini writes for the arguments after it: lw_ini_is FILE ARGS...
lw_ini_is() { cmp <(lw_ini "${@:2}") "$1" || { od -c "$1" | head -20; lw_fail "settings file differs"; }; }

# The settings dialog "<Lumenweave>": lw_dialog_open SCR [LOG [ARGS]] starts the program with /c
# (or ARGS), as the display settings do, and waits until the dialog shows (a dump before then would
# be half made); LW_DIALOG holds the probe's last dump, LW_DIALOG_PID the program, which
# lw_dialog_closed waits for.
lw_dialog_dump() { lw_probe window '<Lumenweave>' >"$LW_DIALOG" && grep -q '^visible 1' "$LW_DIALOG"; }
lw_dialog_open() {
  LW_DIALOG=$LW_RUN_DIR/dialog.txt
  lw_start --log "${2:-/dev/null}" "$1" "${3:-/c}"; LW_DIALOG_PID=$LW_LAST_PID
  lw_wait_window "<Lumenweave>" 60 && lw_wait 20 lw_dialog_dump || lw_fail "the dialog did not show"
}
lw_dialog_closed() { lw_wait_exit "$LW_DIALOG_PID" 20 || lw_fail "the dialog did not end the program"; }
# Screen centre of the control with that id in the last dump, and a click there:
# lw_dialog_click ID [MOUSE-BUTTON [CLICKS]].
lw_dialog_centre() { awk -v id="$1" '$1=="control" && $2==id {printf "%d %d\n", $4+$6/2, $5+$7/2; exit}' "$LW_DIALOG"; }
lw_dialog_click() {
  local xy; xy=$(lw_dialog_centre "$1"); [[ -n $xy ]] || lw_fail "no control $1 in the dialog" || return 1
  xdotool mousemove $xy; sleep 0.2; xdotool click --repeat "${3:-1}" --delay 80 "${2:-1}"
}
# Opens the dialog of the saver SCR, picks the music CD as the source and saves; waits for the end.
lw_dialog_save_cd() { lw_dialog_open "$1" && lw_dialog_click 131 && sleep 0.3 && lw_dialog_click 100 && lw_dialog_closed; }

# Sets the screen resolution programs started from now on see (Wine 8 reads HKCU\Control
# Panel\Desktop LogPixels when a program starts), until the test ends: then the value goes again.
lw_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  trap "wine reg delete 'HKCU\\Control Panel\\Desktop' /v LogPixels /f >/dev/null 2>&1; lw_stop_test_processes" EXIT
}

# Whether the X pointer shows: its image's non-transparent pixels compared with 0 (== hidden, > shown).
lw_pointer() {
  (($(python3 -c '
import ctypes as c
x11, xfixes = c.CDLL("libX11.so.6"), c.CDLL("libXfixes.so.3")
class Image(c.Structure):  # XFixesCursorImage up to its pixels
    _fields_ = [("x", c.c_short), ("y", c.c_short), ("size", c.c_ushort * 4), ("serial", c.c_ulong), ("pixels", c.POINTER(c.c_ulong))]
x11.XOpenDisplay.restype = c.c_void_p
xfixes.XFixesGetCursorImage.restype, xfixes.XFixesGetCursorImage.argtypes = c.POINTER(Image), [c.c_void_p]
i = xfixes.XFixesGetCursorImage(x11.XOpenDisplay(None)).contents
print(sum(1 for n in range(i.size[0] * i.size[1]) if i.pixels[n] >> 24))') $1 0))
}

# Prints "lit N other N upper X Y lower X Y spread DX DY" for a screenshot (1920 x 1080 unless
# its width and height follow): lit (non-black)
# pixels, how many of them are not pure yellow, the mean position of the lit pixels above and
# below the centre line, and how far from the centre 98 % of them lie (horizontally, vertically).
lw_display_analyse() {
  convert "$1" -transparent black sparse-color: | tr ' ' '\n' | awk -F, -v w="${2:-1920}" -v h="${3:-1080}" '
    function m(v, s) { return c[s] ? int(v[s] / c[s]) : -1 }
    function q(a,   i, k) { for (i = 0; n && i <= w; i++) if ((k += a[i]) > int(0.98 * n)) return i; return 0 }
    NF > 2 { n++; other += $0 !~ /,srgba\(255,255,0,1\)$/; s = $2 < h / 2; c[s]++; sx[s] += $1; sy[s] += $2
              dx[$1 < w / 2 ? w / 2 - $1 : $1 - w / 2]++; dy[$2 < h / 2 ? h / 2 - $2 : $2 - h / 2]++ }
    END { print "lit", n + 0, "other", other + 0, "upper", m(sx, 1), m(sy, 1), "lower", m(sx, 0), m(sy, 0), "spread", q(dx), q(dy) }'
}
