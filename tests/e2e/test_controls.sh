# The Command button control, hosted by "probe controls": its skins and gradient on screen,
# its caption's place, and Click under real pointer input (xdotool's XTEST path). Keys are tested
# on the settings dialog (test_dialog_keys.sh): under Wine, keys sent to this caption-less popup
# host never arrive.
#
# The probe's client area starts at screen (100, 100); at 96 dots per inch buttons 1..3 are 81 x 25
# pixels (1215 x 375 twips) at client x 20, 150, 280, button 4 is 29 x 25 (435 x 375 twips) at
# x 410, all at y 20.

_CTL_LOG=""

# Moves the pointer onto button $1. Each call lands one pixel further right (cycling over 8): Wine drops a
# pointer move back to the very position it last reported after the pointer went over a window of
# another X client, where Windows reports every move.
_CTL_NUDGE=0
_ctl_move() {
  _CTL_NUDGE=$(((_CTL_NUDGE + 1) % 8))
  local x
  case $1 in 1) x=156 ;; 2) x=286 ;; 3) x=416 ;; 4) x=520 ;; esac
  xdotool mousemove "$((x + _CTL_NUDGE))" 132
}

# Starts the probe with the pointer parked away from it; waits until it has drawn its buttons.
_ctl_start() {
  xdotool mousemove 1000 800
  _CTL_LOG="$LW_RUN_DIR/controls_host.$BASHPID.$RANDOM.log"
  lw_start --log "$_CTL_LOG" "$LW_PROBE" controls "$@"
  lw_wait 30 grep -q '^ready' "$_CTL_LOG" || lw_fail "the controls host did not start" || return 1
  lw_wait 10 grep -q '^state 4 ' "$_CTL_LOG"
}

_ctl_lines() { tr -d '\r' <"$_CTL_LOG" | grep -E "$1"; }
_ctl_saw() { _ctl_lines "^$1\$" >/dev/null; }
_ctl_wait_line() { lw_wait "${2:-10}" _ctl_saw "$1" || lw_fail "no '$1' from the probe"; }

# Screenshot NAME and check it: each check is "button,what" where what is a skin name (its ring
# colours), top-white / top-tint (the gradient's direction), caption:RRGGBB (the caption label
# holds ink of that colour), or "x,y,RRGGBB" relative to the button.
_ctl_shot_ok() {
  local shot="$LW_RUN_DIR/shots/$1.png"; shift
  lw_screenshot "$shot" && python3 - "$shot" "$@" <<'EOF'
import subprocess, sys
X0, Y0, W, H = 100, 100, 480, 80
BUTTONS = {1: (20, 81), 2: (150, 81), 3: (280, 81), 4: (410, 29)}
TOP = 20
shot = sys.argv[1]
raw = subprocess.run(["convert", shot, "-crop", f"{W}x{H}+{X0}+{Y0}", "+repage", "-depth", "8", "rgb:-"],
                     capture_output=True, check=True).stdout
def px(x, y):
    i = (y * W + x) * 3
    return tuple(raw[i:i + 3])
BEIGE = [(0, 12, "E2DECB"), ("r", 12, "F0EEE0"), ("m", 0, "E0DCC9"), ("m", 24, "F8F7F0"), (0, 0, "E0DCC9")]
OUTLINE = [("m", 1, "003C74"), ("m", 23, "003C74"), (1, 12, "003C74"), ("r-1", 12, "003C74"),
           (1, 1, "7A95A8"), (2, 1, "255783"), ("r-1", 23, "7A95A8")]
SKINS = {
    "Normal": BEIGE + OUTLINE + [("m", 2, "F3F3EE"), ("m", 3, "F3F3EE"), ("m", 21, "E2DFD6"), ("m", 22, "D6D0C5")],
    "HighLight": BEIGE + OUTLINE + [("m", 2, "FFF0CF"), ("m", 3, "FDD889"), ("m", 21, "F8B330"), ("m", 22, "E59700")],
    "Selected": BEIGE + OUTLINE + [("m", 2, "CEE7FF"), ("m", 3, "B1CCF2"), ("m", 21, "6982EE"), ("m", 22, "6982EE")],
    "Pressed": [("m", 0, "ECE9D8"), ("m", 24, "ECE9D8"), (0, 12, "ECE9D8"), ("r", 12, "ECE9D8"),
                ("m", 1, "E0DCC9"), ("m", 23, "F8F7F0"), (1, 12, "E2DECB"), ("r-1", 12, "F0EEE0"),
                ("m", 2, "003C74"), ("m", 22, "003C74"), (2, 12, "003C74"), ("r-2", 12, "003C74"), (2, 2, "7A95A8"),
                ("m", 3, "D1CCC1"), (3, 12, "D7D4CB"), ("m", 21, "F2F1EE"), ("r-3", 12, "E4E3DC")],
    "Disable": [("m", 0, "ECE9D8"), (0, 12, "ECE9D8"), ("r", 12, "ECE9D8"), ("m", 24, "ECE9D8"),
                ("m", 1, "C9C7BA"), ("m", 23, "C9C7BA"), (1, 12, "C9C7BA"), (1, 1, "D8D5C7"), (2, 1, "CBC9BC"),
                ("m", 2, "F5F4EA"), ("m", 3, "F5F4EA"), ("m", 21, "F5F4EA"), (2, 12, "F5F4EA")],
}
def resolve(x, width):
    if isinstance(x, int): return x
    if x == "m": return width // 2
    return width - 1 - (int(x[2:]) if len(x) > 1 else 0)
bad = []
for check in sys.argv[2:]:
    parts = check.split(",")
    left, width = BUTTONS[int(parts[0])]
    what = parts[1]
    if what in SKINS:
        for x, y, want in SKINS[what]:
            got = px(left + resolve(x, width), TOP + y)
            if any(abs(a - b) > 2 for a, b in zip(got, bytes.fromhex(want))):
                bad.append(f"{check}: ({resolve(x, width)},{y}) is {bytes(got).hex()} not {want}")
    elif what in ("top-white", "top-tint"):
        x = left + 8  # clear of the caption
        top, bottom = px(x, TOP + 5), px(x, TOP + 19)
        white_on_top = top[0] >= 236 and bottom[0] <= 216 and bottom[2] > bottom[0]
        tint_on_top = top[0] <= 216 and top[2] > top[0] and bottom[0] >= 236
        if not (white_on_top if what == "top-white" else tint_on_top):
            bad.append(f"{check}: rows 5/19 are {bytes(top).hex()}/{bytes(bottom).hex()}")
    elif what.startswith("caption:"):
        want = bytes.fromhex(what[8:])
        ink = [px(left + x, TOP + y) for x in range(4, width - 4) for y in range(5, 18)]
        if not any(all(abs(a - b) <= 40 for a, b in zip(p, want)) for p in ink):
            bad.append(f"{check}: no such ink in the caption")
    else:
        x, y, want = int(parts[1]), int(parts[2]), parts[3]
        got = px(left + x, TOP + y)
        if any(abs(a - b) > 2 for a, b in zip(got, bytes.fromhex(want))):
            bad.append(f"{check}: is {bytes(got).hex()}")
for b in bad: print(b)
sys.exit(1 if bad else 0)
EOF
}
# ... retried until the paint has reached the screen.
_ctl_expect_shot() {
  lw_wait 5 _ctl_shot_ok "$@" && return 0
  _ctl_shot_ok "$@" >&2
  lw_fail "screenshot $1 differs"
}

test_controls_skins_gradient_and_caption_on_screen() {
  _ctl_start --focus 2 --disable 4 --red 3 || return 1
  for id in 1 2 3; do
    _ctl_saw "caption_top_px $id 5" || lw_fail "caption of button $id: $(_ctl_lines "^caption_top_px $id")" || return 1
  done
  _ctl_wait_line "state 2 3" || return 1
  _ctl_expect_shot controls_plain 1,Normal 1,top-white 1,caption:000000 2,Selected 2,top-white 3,Normal \
    3,caption:FF0000 4,Disable 4,top-white 4,caption:808080 || return 1

  _ctl_move 3
  _ctl_wait_line "state 3 2" || return 1
  _ctl_expect_shot controls_three_states 1,Normal 1,top-white 2,Selected 2,top-white 3,HighLight 3,top-tint || return 1

  xdotool mousedown 1
  _ctl_wait_line "state 3 4" || return 1
  _ctl_expect_shot controls_pressed 3,Pressed 3,top-tint 2,Normal 2,top-white || return 1

  xdotool mouseup 1
  _ctl_wait_line "click 3" || return 1
  _ctl_expect_shot controls_clicked 3,HighLight 3,top-tint || return 1

  xdotool mousemove 1000 800
  _ctl_wait_line "state 3 3" || return 1
  _ctl_expect_shot controls_left 3,Selected 3,top-white || return 1

  # Back over the focused button: state 4 reached from 3 keeps the white top.
  _ctl_move 3
  lw_wait 5 bash -c "tr -d '\r' <'$_CTL_LOG' | grep -c '^state 3 4' | grep -qx 2" || lw_fail "no 3 -> 4" || return 1
  _ctl_expect_shot controls_hover_focused 3,HighLight 3,top-white || return 1
  [[ $(_ctl_lines '^click' | wc -l) -eq 1 ]] || lw_fail "unexpected clicks: $(_ctl_lines '^click')"
}

# Twips follow the screen's resolution: at 144 dots per inch a 1215 x 375 twip button is 122 x 38
# pixels with 6-pixel corners, its caption 8 pixels down; a transparent button shows only its caption.
test_controls_follow_the_screen_resolution() {
  lw_dpi 144
  _ctl_start --transparent 4 || return 1
  _ctl_saw "dpi 144" || lw_fail "the probe sees $(_ctl_lines '^dpi')" || return 1
  _ctl_saw "caption_top_px 1 8" || lw_fail "caption: $(_ctl_lines '^caption_top_px 1')" || return 1
  _ctl_expect_shot controls_144dpi 1,0,0,E0DCC9 1,0,19,E2DECB 1,61,0,E0DCC9 1,61,2,003C74 1,61,5,F3F3EE \
    1,121,19,F0EEE0 1,122,19,808080 1,61,37,F8F7F0 1,61,38,808080 \
    4,1,1,808080 4,42,36,808080 4,2,19,808080
}

# One input step against the probe; see the table below.
_ctl_step() {
  local step=$1
  case $step in
    move:*) _ctl_move "${step#move:}" ;;
    away) xdotool mousemove 1000 800 ;;
    down) xdotool mousedown 1 ;;
    up) xdotool mouseup 1 ;;
    rdown) xdotool mousedown 3 ;;
    rup) xdotool mouseup 3 ;;
    mclick) xdotool click 2 ;;
    dbl) xdotool click --repeat 2 --delay 60 1 ;;
    wait:*) _ctl_wait_line "$(tr _ ' ' <<<"${step#wait:}")" ;;
    look:*) local b=${step#look:}; _ctl_expect_shot "controls_look_${b/,/_}" "$b" ;;
    sentinel) _ctl_move 3 && xdotool click 2 ;;  # a click that must come last
    *) lw_fail "unknown step $step" ;;
  esac
}

test_controls_clicks_under_real_input() {
  # name | probe options | steps | click lines expected, in order
  local rows=(
    "left click on an unfocused button||move:1 wait:state_1_2 down wait:state_1_4 look:1,Pressed up|1"
    "press, drag off, a tick, release||move:1 down wait:state_1_4 away wait:state_1_3 up look:1,Selected sentinel|3"
    "drag off, tick, back on, release||move:1 down wait:state_1_4 away wait:state_1_3 move:1 up sentinel|3"
    "right release clicks without the pressed look||move:1 wait:state_1_2 rdown look:1,HighLight rup|1"
    "middle release clicks||move:1 wait:state_1_2 mclick|1"
    "double click clicks twice||move:1 wait:state_1_2 dbl|1 1"
    "a disabled button never clicks|--disable 1|move:1 down up rdown rup look:1,Disable sentinel|3"
    "the host destroys the button from Click|--destroy-on-click 1|move:1 down up wait:destroyed_1 sentinel|1 3"
  )
  local row name options steps expected step
  for row in "${rows[@]}"; do
    IFS='|' read -r name options steps expected <<<"$row"
    lw_log "row: $name"
    # shellcheck disable=SC2086
    _ctl_start $options || return 1
    for step in $steps; do _ctl_step "$step" || { lw_fail "$name: step $step"; return 1; }; done
    local want; want=$(for id in $expected; do echo "click $id"; done)
    lw_wait 10 bash -c "[[ \$(tr -d '\r' <'$_CTL_LOG' | grep -c '^click') -ge $(wc -w <<<"$expected") ]]"
    local got; got=$(_ctl_lines '^click')
    [[ $got == "$want" ]] || lw_fail "$name: clicks '${got//$'\n'/, }', expected '${want//$'\n'/, }'" || return 1
    lw_stop_test_processes
  done
}
