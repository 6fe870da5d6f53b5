# The settings dialog (/C), seen from outside: contents, what reaches the settings file (by mouse
# and by keys), music source and file, slider, link, what it and its buttons look like and how the
# buttons take real pointer input (placement: test_dialog_users.sh). LANG ja_JP: its texts are code
# page 932's. Wine notes: without a window manager Wine draws no frame, so only the client area
# shows on screenshots; DrawAnimatedRects is a stub there, so the open and close outlines are not
# seen.

# Control ids of the dialog, as the probe reports them.
DLG_SAVE=100 DLG_CANCEL=101 DLG_BROWSE=102 DLG_REPEAT=103 DLG_SLIDER=104 DLG_READOUT=105
DLG_FILENAME=106 DLG_LINK=107 DLG_MUSIC=108 DLG_REPEAT_LABEL=109 DLG_PARTICLES=110 DLG_MARK0=120 DLG_LABEL0=130

# A copy of the saver in C:\lwdlg\NAME with an empty song.mp3 and 曲.mp3 and the settings (lw_ini's
# arguments, none for a fresh install) beside it. Sets DLG_DIR, DLG_WIN_DIR and DLG_INI.
dlg_setup() {
  export LANG=ja_JP.UTF-8
  DLG_DIR=$(lw_saver_copy "lwdlg/$1") || return 1
  DLG_WIN_DIR=$(lw_winpath "$DLG_DIR") DLG_INI=$DLG_DIR/Lumenweave.ini
  : >"$DLG_DIR/song.mp3"; : >"$DLG_DIR/曲.mp3"
  (($# == 1)) || lw_ini "${@:2}" >"$DLG_INI"
}
dlg_open() { lw_dialog_open "$DLG_DIR/Lumenweave.scr"; }
dlg_text() { lw_probe window '<Lumenweave>' | awk -v id="$1" '$1=="control" && $2==id {for (i = 0; i < 8; i++) sub(/^[^ ]* /, ""); print; exit}'; }
dlg_text_is() { [[ $(dlg_text "$1") == "$2" ]]; }
dlg_field() { awk -v k="$1" '$1==k {print; exit}' "$LW_DIALOG"; }
# Waits for the file window titled $1 and ends it with Escape (sent a second after it shows, when
# Wine has activated it).
dlg_file_window_escape() {
  lw_wait_window "$1" 30 && sleep 1 && xdotool key Escape && lw_wait 15 bash -c "! xdotool search --name '^$1\$'" ||
    lw_fail "no file window '$1', or Escape left it"
}
# A save that failed: the message names the file, is the dialog's, and once closed the dialog is there.
dlg_message() { lw_probe window Lumenweave >"$LW_RUN_DIR/message.txt" && grep -q '^visible 1' "$LW_RUN_DIR/message.txt"; }
dlg_refused() {
  lw_wait 15 dlg_message || lw_fail "no message box" || return 1
  local dialog; read -r _ dialog _ < <(dlg_field handle)
  grep -qx "handle .* owner $dialog" "$LW_RUN_DIR/message.txt" && grep -qF "$DLG_WIN_DIR\Lumenweave.ini" "$LW_RUN_DIR/message.txt" ||
    { cat "$LW_RUN_DIR/message.txt"; lw_fail "the message is not the dialog's or does not name the file"; return 1; }
  xdotool key Return; lw_wait 10 bash -c '! xdotool search --name "^Lumenweave$"' && lw_alive "$LW_DIALOG_PID" ||
    lw_fail "the message stayed or the dialog closed"
}

# Rows: folder | settings | lines of the dump ("KIND ID TEXT", ;-separated) that must be there.
# A music file that is missing or a folder reads as no music. The repeat box's list has the stored
# track selected (none for 0), so the arrow keys step on from it.
test_dialog_shows_the_settings_file() {
  local rows=(
    "missing|750 2 7 C:\\lwdlg\\missing\\gone.mp3|control $DLG_MARK0 ●;control $DLG_FILENAME"
    "folder|750 2 7 C:\\lwdlg\\folder|control $DLG_MARK0 ●;control $DLG_FILENAME"
    "folder2|750 2 7 C:\\lwdlg\\folder2\\|control $DLG_MARK0 ●;control $DLG_FILENAME"
    "show|750 2 7 C:\\lwdlg\\show\\a&b.mp3|control $DLG_READOUT 750;slider $DLG_SLIDER 750;control $DLG_REPEAT 7;selected $DLG_REPEAT 7;control $DLG_MARK0 ○;control $((DLG_MARK0 + 1)) ○;control $((DLG_MARK0 + 2)) ●;control $DLG_FILENAME C:\\lwdlg\\show\\a&b.mp3"
    "range|50 5 0 |selected $DLG_REPEAT -1;control $DLG_READOUT 50;slider $DLG_SLIDER 600;control $DLG_MARK0 ○;control $((DLG_MARK0 + 1)) ○;control $((DLG_MARK0 + 2)) ○"
  )
  local row name settings lines line kind id text got
  for row in "${rows[@]}"; do
    IFS='|' read -r name settings lines <<<"$row"
    # shellcheck disable=SC2086
    dlg_setup "$name" $settings && : >"$DLG_DIR/a&b.mp3" && dlg_open || return 1
    IFS=';' read -ra lines <<<"$lines"
    for line in "${lines[@]}"; do
      read -r kind id text <<<"$line"
      got=$(awk -v k="$kind" -v id="$id" '$1==k && $2==id' "$LW_DIALOG" | head -1)
      [[ $got == *" $text" ]] || lw_fail "$name: $kind $id is '$got', not ending in '$text'" || return 1
    done
    lw_probe close '<Lumenweave>' box && lw_dialog_closed || return 1
  done
  local want=(" 31$(printf ' [%s]' '' {1..30})" " 無し" " 音楽CD" " MP3、WAV" " https://lumenweave.example/" " 設定"
    " ｷﾝｾﾙ" " ..." " 曲目をﾘﾋﾟｰﾄ" " BGM" " 粒子数")
  for text in "${want[@]}"; do grep -qF -- "$text" "$LW_DIALOG" || lw_fail "no '$text' in the dialog" || return 1; done
}

# What reaches the settings file. Rows: folder | settings before (lw_ini's arguments; - none) |
# steps (hide, lock-file, lock-folder once it is open; click:ID[:MOUSE-BUTTON[:CLICKS]],
# keys:KEY,KEY... to the focused dialog, box, refused) | the file after: lw_ini's arguments,
# "unchanged" or "none". A double click saves once; right and
# middle releases click too. Keys: the focus opens on the selected source; Return presses the
# focused push button (ｷﾝｾﾙ cancels, ... opens the file window), on the link opens it and anywhere
# else presses 設定; a hidden file stays so. A file held open without delete sharing (as a virus
# scanner holds it) cannot be replaced: the save fails as a whole and every byte stays.
# Awkward folders: non-ASCII, a path longer than 260 characters, a read-only folder (chattr +i:
# as root, Unix permissions stop no write) and a read-only file (Wine derives the attribute from
# the write bits), where saving fails: a message box owned by the dialog names the file
# ("refused"), and the dialog stays open until closed. A folder that takes no new files still has
# its file written in place. A music file in code page 932 is written back byte for byte; a file in
# UTF-16LE naming one code page 932 cannot stays in UTF-16LE.
LW_LIMIT_test_dialog_writes_only_what_is_committed=420
test_dialog_writes_only_what_is_committed() {
  local long=long; while ((${#long} < 280)); do long+=/another_long_folder_name_$((${#long} % 5)); done
  # A harmless browser, so Return on the link opens nothing.
  wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d true /f >/dev/null 2>&1
  local rows=(
    "Return|700 1 3 |keys:Return|700 1 3 " "Escape|700 1 3 |keys:Escape|unchanged"
    "Return on ｷﾝｾﾙ|700 1 3 |keys:Down,shift+Tab,Return|unchanged"
    "Return on 設定|700 1 3 |keys:Down,shift+Tab,shift+Tab,Return|700 0 3 "
    "Return on browse|700 1 3 |keys:Down,Tab,Tab,Return filewindow box|unchanged"
    "Return on the link|700 1 3 |keys:Down,Tab,Tab,Tab,Tab,Return box|unchanged"
    "Return on the slider|700 1 3 |keys:Down,Tab,Tab,Tab,Return|700 0 3 "
    "Down Return|700 1 3 |keys:Down,Return|700 0 3 " "Up Return|700 1 3 |keys:Up,Return|700 2 3 "
    "shift+Tab space|700 1 3 |keys:shift+Tab,space|unchanged" "Tab x5 space|700 1 3 |keys:Tab,Tab,Tab,Tab,Tab,space|700 1 3 "
    "Tab x7 Up Return|700 1 3 |keys:Tab,Tab,Tab,Tab,Tab,Tab,Tab,Up,Return|700 2 3 "
    "hidden|700 0 0 |hide click:$((DLG_LABEL0 + 1)) click:$DLG_SAVE|700 1 0 "
    "fresh|-|click:$DLG_SAVE:1:2|600 0 0 "
    "commit|750 2 7 C:\\lwdlg\\commit\\song.mp3|click:$DLG_SAVE|unchanged"
    "曲|700 1 3 C:\\lwdlg\\曲\\曲.mp3|click:$((DLG_LABEL0 + 2)) click:$DLG_SAVE|700 2 3 C:\\lwdlg\\曲\\曲.mp3"
    "é|--utf16 700 2 0 C:\\lwdlg\\é\\曲.mp3|click:$((DLG_LABEL0 + 1)) click:$DLG_SAVE|--utf16 700 1 0 C:\\lwdlg\\é\\曲.mp3"
    "range|5000 5 0 |click:$((DLG_LABEL0 + 1)) click:$DLG_SAVE|5000 1 0 "
    "cancel|700 1 3 |click:$DLG_LABEL0 click:$DLG_CANCEL|unchanged"
    "close box|700 1 3 |click:$((DLG_LABEL0 + 2)) box|unchanged"
    "設定_ü|-|click:$DLG_SAVE:3|600 0 0 "
    "$long|-|click:$DLG_SAVE:2|600 0 0 "
    "read-only|-|lock-folder click:$DLG_SAVE refused box|none"
    "read-only folder's file|700 1 3 |lock-folder click:$DLG_LABEL0 click:$DLG_SAVE|700 0 3 "
    "read-only file|700 1 3 |lock-file click:$DLG_LABEL0 click:$DLG_SAVE refused box|unchanged"
    "held|700 1 3 C:\\lwdlg\\held\\song.mp3|hold click:$DLG_LABEL0 click:$DLG_SAVE refused box|unchanged"
  )
  local row name before steps after step id button clicks
  for row in "${rows[@]}"; do
    IFS='|' read -r name before steps after <<<"$row"
    # shellcheck disable=SC2086
    lw_log "row $name"
    if [[ $before == - ]]; then dlg_setup "$name"; else dlg_setup "$name" $before; fi || return 1
    [[ -f $DLG_INI ]] && cp "$DLG_INI" "$LW_RUN_DIR/before.ini"
    dlg_open || return 1
    for step in $steps; do
      case $step in
        hide) wine cmd /c attrib +h "$DLG_WIN_DIR\\Lumenweave.ini" >/dev/null 2>&1 ;;
        lock-file) chmod a-w "$DLG_INI" ;;
        hold) lw_start --log "$LW_RUN_DIR/hold.log" "$LW_PROBE" lock "$DLG_WIN_DIR\\Lumenweave.ini"
              lw_wait 15 lw_line "$LW_RUN_DIR/hold.log" locked || lw_fail "the probe did not hold the file" ;;
        filewindow) dlg_file_window_escape "ﾌｧｲﾙを選択" ;;
        lock-folder) chattr +i "$DLG_DIR" 2>/dev/null ||
                       { lw_log "chattr +i is not permitted here: row skipped"; lw_stop_test_processes; continue 2; }
                     trap "chattr -i $(printf %q "$DLG_DIR") 2>/dev/null; lw_stop_test_processes" EXIT ;;
        click:*) IFS=: read -r _ id button clicks <<<"$step"; lw_dialog_click "$id" "$button" "$clicks" ;;
        keys:*) xdotool search --name '^<Lumenweave>$' windowfocus --sync 2>/dev/null; sleep 0.5
                xdotool key --delay 200 $(tr , ' ' <<<"${step#keys:}") ;;
        box) lw_probe close '<Lumenweave>' box ;;
        refused) dlg_refused ;;
      esac || return 1
    done
    lw_dialog_closed || lw_fail "$name" || return 1
    chattr -i "$DLG_DIR" 2>/dev/null
    case $after in
      unchanged) cmp "$LW_RUN_DIR/before.ini" "$DLG_INI" || lw_fail "$name: the file changed" || return 1 ;;
      none) [[ ! -e $DLG_INI ]] || lw_fail "$name: a settings file appeared" || return 1 ;;
      *) lw_ini_is "$DLG_INI" $after || lw_fail "$name: wrong bytes" || return 1 ;;
    esac
    [[ -z $(ls -A "$DLG_DIR" | grep -vx -e Lumenweave.scr -e Lumenweave.ini -e song.mp3 -e 曲.mp3) ]] || lw_fail "$name: stray files: $(ls "$DLG_DIR")" || return 1
    [[ $name != hidden || $(wine cmd /c attrib "$DLG_WIN_DIR\\Lumenweave.ini" 2>/dev/null) == *H*C:* ]] || lw_fail "no longer hidden" || return 1
  done
}
# Input through the controls, in one dialog: the slider's read-out follows the thumb while it is
# dragged; a mark selects its source (labels: the table above); the browse button's file dialog
# (titled ﾌｧｲﾙを選択) takes a typed path, and choosing a file selects MP3、WAV alone; the repeat
# box takes typed text, 3.5 saved as 4 (halves to even); each of two clicks on the link hands the
# address to the shell; save writes it all.
test_dialog_input_reaches_the_file() {
  dlg_setup input 600 0 9
  # A harmless browser, so the shell's hand-over ends here; the exec trace shows the call.
  wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d true /f >/dev/null 2>&1
  WINEDEBUG=+exec lw_dialog_open "$DLG_DIR/Lumenweave.scr" "$LW_RUN_DIR/link.log" || return 1
  local x y; read -r _ x y < <(dlg_field thumb); [[ -n $y ]] || { cat "$LW_DIALOG"; lw_fail "no slider thumb"; return 1; }
  xdotool mousemove "$x" "$y"; sleep 0.3; xdotool mousedown 1; sleep 0.3
  xdotool mousemove $((x + 12)) "$y"; sleep 0.3
  lw_wait 5 eval '[[ $(dlg_text $DLG_READOUT) =~ ^[0-9]+$ && $(dlg_text $DLG_READOUT) != 600 ]]' ||
    { xdotool mouseup 1; lw_fail "read-out did not move while dragging"; return 1; }
  xdotool mouseup 1; sleep 0.5
  lw_wait 5 eval 'lw_dialog_dump && grep -q ^slider "$LW_DIALOG"'; local value; value=$(awk '$1=="slider" {print $3}' "$LW_DIALOG")
  ((value > 600)) && grep -q "^control $DLG_READOUT .* $value\$" "$LW_DIALOG" || lw_fail "slider $value" || return 1
  lw_dialog_click $((DLG_MARK0 + 1)) && lw_wait 5 dlg_text_is $((DLG_MARK0 + 1)) ● || lw_fail "the CD mark is not selected" || return 1
  lw_dialog_click $DLG_BROWSE && lw_wait_window "ﾌｧｲﾙを選択" 30 || lw_fail "no file dialog titled ﾌｧｲﾙを選択" || return 1
  sleep 1; xdotool type --delay 30 "$DLG_WIN_DIR\\song.mp3"; xdotool key Return
  lw_wait 15 dlg_text_is $DLG_FILENAME "$DLG_WIN_DIR\\song.mp3" || lw_fail "file label: '$(dlg_text $DLG_FILENAME)'" || return 1
  lw_wait 5 dlg_text_is $((DLG_MARK0 + 2)) ● && dlg_text_is $((DLG_MARK0 + 1)) ○ ||
    lw_fail "choosing a file did not select MP3、WAV alone" || return 1
  read -r x y < <(lw_dialog_centre $DLG_REPEAT)
  xdotool mousemove $((x - 8)) "$y" click 1; sleep 0.3
  xdotool key End BackSpace BackSpace BackSpace; xdotool type "3.5"
  lw_wait 5 dlg_text_is $DLG_REPEAT 3.5 || lw_fail "repeat box: '$(dlg_text $DLG_REPEAT)'" || return 1
  # Two separate clicks, further apart than a double click, which opens once like any label's.
  lw_dialog_click $DLG_LINK; sleep 1; lw_dialog_click $DLG_LINK
  lw_wait 15 bash -c "[[ \$(grep -c 'verb=L\"open\" file=L\"https://lumenweave.example/\"' '$LW_RUN_DIR/link.log') -ge 2 ]]" ||
    { grep -i 'https' "$LW_RUN_DIR/link.log" | head; lw_fail "no two shell opens of the address"; return 1; }
  lw_alive "$LW_DIALOG_PID" || lw_fail "the link closed the dialog" || return 1
  lw_dialog_click $DLG_SAVE && lw_dialog_closed && lw_ini_is "$DLG_INI" "$value" 2 4 'C:\lwdlg\input\song.mp3'
}

# The dialog's buttons in a screenshot: each check "ID WHAT", WHAT a skin (its ring as its picture has it),
# top-white / top-tint (the gradient's direction), ink:N (the caption's ink starts N rows down) or
# DX,DY,RRGGBB; the controls' places come from the last dump, ID "origin" is the client area's.
dlg_buttons_ok() {
  local shot=$LW_RUN_DIR/shots/$1.png; shift
  lw_screenshot "$shot" && python3 - "$shot" "$LW_DIALOG" "$LW_ROOT/resources/art" "$@" <<'EOF'
import subprocess, sys
shot, dump, art_dir, checks = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
lines = [l.split() for l in open(dump, encoding="utf-8")]
place = {f[1]: list(map(int, f[3:7])) for f in lines if f[0] == "control"}
place["origin"] = [int(v) for f in lines if f[0] == "origin" for v in f[1:]] + [1 << 16] * 2  # no width to wrap at
def pixels(path):  # (x, y) -> 3 bytes
    w = int(subprocess.run(["identify", "-format", "%w", path], capture_output=True, text=True).stdout)
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True).stdout
    return lambda x, y: raw[(y * w + x) * 3:(y * w + x) * 3 + 3]
px = pixels(shot)
near = lambda got, want, d=2: all(abs(a - b) <= d for a, b in zip(got, bytes.fromhex(want)))
def ring(name):  # the ring of a skin at 96 DPI: its picture's edges, the middle stretched
    art = pixels(f"{art_dir}/skin_{name.lower()}.bmp")
    return [(x, y, art(32 if x == "m" else x % 64, y).hex()) for x in (0, 1, 2, 3, "m", -4, -3, -2, -1)
            for y in (0, 1, 2, 3, 12, 21, 22, 23, 24) if (x, y) != ("m", 12)]
bad = []
for check in checks:
    id, what = check.split(" ", 1)
    x0, y0, w, h = place[id]
    if what.startswith("top-"):
        top, bottom = px(x0 + 8, y0 + 5), px(x0 + 8, y0 + 19)  # clear of the caption
        white = top[0] >= 236 and bottom[0] <= 216 and bottom[2] > bottom[0]
        tint = top[0] <= 216 and top[2] > top[0] and bottom[0] >= 236
        if not (white if what == "top-white" else tint): bad.append(f"{check}: rows 5/19 are {top.hex()}/{bottom.hex()}")
    elif what.startswith("ink:"):
        m = h * 4 // 25  # clear of the ring
        rows = [y for y in range(m, h - m) if any(sum(px(x0 + x, y0 + y)) < 300 for x in range(m, w - m))]
        if rows[:1] != [int(what[4:])]: bad.append(f"{check}: ink from row {rows[:1]}")
    else:  # a skin's ring or one pixel, DX,DY,RRGGBB
        for x, y, c in ring(what) if what.isalpha() else [what.split(",")]:
            x, y = w // 2 if x == "m" else int(x) % w, int(y)
            got = px(x0 + x, y0 + y)
            if not near(got, c): bad.append(f"{check}: ({x},{y}) is {got.hex()} not {c}")
sys.exit("\n".join(bad) or None)
EOF
}
# ... retried until the paint has reached the screen.
dlg_buttons_look() { lw_wait 15 dlg_buttons_ok "$@" || { dlg_buttons_ok "$@" >&2; lw_fail "screenshot $1 differs"; }; }

# The dialog's looks, and its buttons' skins and gradient under real pointer input (xdotool's XTEST
# path). The background: dark blue at the top, lavender at mid-height (left margin column), the
# last visible row, 190, one short of the row at the full height that is dark blue again; the panel
# is covered with the strip picture (not a plain fill) repeated every 20 rows from its top (client
# row 16). Rows: input | checks (;-separated). Focus opens on the CD mark, so no button has it at
# first; a left press takes it, a right one does not; a press that left the button clicks nothing,
# even released back on it, and so does one beside it released over it (Wine sends that release to
# the window pressed, as X's implicit grab does; Windows to the button); a right release clicks.
# Each move lands a pixel further right: Wine drops a move back to the very position it last
# reported.
test_dialog_buttons_look_and_click_under_real_input() {
  dlg_setup buttons 700 1 3 && cp "$DLG_INI" "$LW_RUN_DIR/before.ini" && xdotool mousemove 20 20 && dlg_open || return 1
  xdotool search --name '^<Lumenweave>$' windowfocus --sync 2>/dev/null
  local S=$DLG_SAVE C=$DLG_CANCEL; local rows=(
    "|$S Normal;$S top-white;$S ink:5;$C Normal;$C ink:6;$DLG_BROWSE Normal"
    "key shift+Tab|$C Selected;$C top-white;$S Normal;origin 4,0,00001E;origin 4,95,DCDCFA;origin 4,190,040422"
    "move $S|$S HighLight;$S top-tint;$C Selected"
    "mousedown 1|$S Pressed;$S top-tint;$C Normal;$C top-white"
    "away|$S Selected;$S top-white"
    "mouseup 1|$S Selected"
    "move $S|$S HighLight;$S top-white"
    "move $C|$C HighLight;$C top-tint;$S Selected"
    "mousedown 1|$C Pressed"
    "away|$C Selected"
    "move $C|$C Selected"
    "mouseup 1|$C HighLight"
    "move $S -70|" "mousedown 1|" "move $S|" "mouseup 1|"
    "mousedown 3|" "move $S 150|" "mouseup 3|"
    "move $C|" "mousedown 3|$C HighLight"
  )
  local row input checks n=0 nudge=0 x y id dx
  for row in "${rows[@]}"; do
    IFS='|' read -r input checks <<<"$row"
    case $input in
      move*) read -r _ id dx <<<"$input"; read -r x y < <(lw_dialog_centre "$id"); nudge=$(((nudge + 1) % 8))
             xdotool mousemove $((x + ${dx:-0} + nudge)) "$y" ;;
      away) xdotool mousemove 20 20 ;;
      ?*) xdotool $input ;;
    esac
    IFS=';' read -ra checks <<<"$checks"
    dlg_buttons_look "buttons_$((n++))" "${checks[@]}" || lw_fail "after '$input'" || return 1
    lw_alive "$LW_DIALOG_PID" && cmp -s "$LW_RUN_DIR/before.ini" "$DLG_INI" || lw_fail "'$input' clicked" || return 1
  done
  local ox oy; read -r _ ox oy < <(dlg_field origin)
  panel() { convert "$LW_RUN_DIR/shots/buttons_0.png" -crop "22x$2+$((ox + 18))+$((oy + $1))" "${@:3}"; }
  [[ $(panel 65 4 -depth 8 rgb:- | md5sum) == "$(panel 125 4 -depth 8 rgb:- | md5sum)" ]] &&
    (($(panel 56 20 -unique-colors txt:- | wc -l) > 3)) || lw_fail "the panel is not the strip repeated every 20 rows" || return 1
  xdotool mouseup 3 && lw_dialog_closed && cmp -s "$LW_RUN_DIR/before.ini" "$DLG_INI" ||
    lw_fail "the right release did not cancel"
}
