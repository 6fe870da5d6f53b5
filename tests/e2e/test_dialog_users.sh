# The settings dialog as users other than a Japanese mouse user at 96 DPI meet it: English texts
# and high DPI, ownership by the window that opened it, and a screen reader in another process
# (probe access) reading and pressing the controls' accessible objects.
# Uses the helpers of test_dialog.sh (sourced before this file).

# Wine reads the DPI from LogPixels when a program starts; the layout follows it, controls and
# pictures together, each control laid out from its text as measured in the font in use. Wine 8 has
# one DPI for every monitor and sends no WM_DPICHANGED, so only the opening layout shows here. At
# each DPI, in Japanese and in English, no two visible controls overlap and each label is as large
# as its text (the file name is a field, not sized to its path). English "MP3 / WAV" is longer than
# the design's column allows, so "..." and what follows it move right. Rows: dpi | language | the
# font as the string table names it | its height in pixels (9.75 points) | for some, the client
# size, the OK button's size and its pixels (corners and ring scaled with the twips, the caption's
# ink as dlg_buttons_ok takes them), or "english": every text English (Wine's UI language follows
# LANG), the file window's title too, none Japanese.
test_dialog_users_lays_out_for_the_dpi_and_language() {
  dlg_setup fit 600 2 0
  local row dpi lang face height cw ch bw bh looks text
  for row in "96|ja_JP.UTF-8|ＭＳ Ｐゴシック|13|465 191 81 25 Normal" "192|ja_JP.UTF-8|ＭＳ Ｐゴシック|26|" \
    "144|ja_JP.UTF-8|ＭＳ Ｐゴシック|20|698 287 122 38 0,0,E0DCC9 0,19,E2DECB 61,0,E0DCC9 61,2,003C74 61,5,F3F3EE 121,19,F0EEE0 61,37,F8F7F0 ink:10" \
    "96|C.UTF-8|MS Shell Dlg 2|13|english" "144|C.UTF-8|MS Shell Dlg 2|20|" "192|C.UTF-8|MS Shell Dlg 2|26|"; do
    IFS='|' read -r dpi lang face height looks <<<"$row"; read -r cw ch bw bh looks <<<"$looks"
    # The pointer away from where the dialog opens: a button under it would show its hover look.
    export LANG=$lang; lw_dpi "$dpi"; xdotool mousemove 20 20
    dlg_open || return 1
    lw_screenshot "$LW_RUN_DIR/shots/fit-$dpi-${lang%%_*}.png"
    awk '$1=="control" && $8==1 {x[n]=$4; y[n]=$5; w[n]=$6; h[n]=$7; id[n++]=$2}
      END {for (i = 0; i < n; i++) for (j = i + 1; j < n; j++)
             if (x[i] < x[j] + w[j] && x[j] < x[i] + w[i] && y[i] < y[j] + h[j] && y[j] < y[i] + h[i])
               {print "controls " id[i] " and " id[j] " overlap"; bad = 1}
           exit bad}' "$LW_DIALOG" || lw_fail "$dpi DPI, $lang" || return 1
    lw_probe extents '<Lumenweave>' "$face" "$height" >"$LW_RUN_DIR/extents.txt"
    grep -q '^extent' "$LW_RUN_DIR/extents.txt" && awk -v skip=$DLG_FILENAME '$2 != skip && ($3 > $5 || $4 > $6) {print; bad = 1} END {exit bad}' \
      "$LW_RUN_DIR/extents.txt" || lw_fail "$dpi DPI, $lang: a label smaller than its text" || return 1
    if [[ $cw == english ]]; then
      for text in "$DLG_SAVE .* OK" "$DLG_CANCEL .* Cancel" "$DLG_LABEL0 .* None" "$((DLG_LABEL0 + 1)) .* Audio CD" \
        "$((DLG_LABEL0 + 2)) .* MP3 / WAV" ".* Music" ".* Particles" ".* Repeat track"; do
        grep -q "^control $text\$" "$LW_DIALOG" || lw_fail "no control '$text'" || return 1
      done
      ! LC_ALL=C.UTF-8 grep -P '[\x{3000}-\x{30FF}\x{4E00}-\x{9FFF}\x{FF00}-\x{FFEF}]' "$LW_DIALOG" || lw_fail "Japanese text on an English system" || return 1
      lw_dialog_click $DLG_BROWSE && dlg_file_window_escape "Choose a music file" || return 1
    elif [[ -n $cw ]]; then
      dlg_field client | grep -qx "client $cw $ch" && grep -q "^control $DLG_SAVE .* $bw $bh 1 設定\$" "$LW_DIALOG" ||
        lw_fail "$dpi DPI: $(dlg_field client), OK button not $bw x $bh" || return 1
      read -ra looks <<<"$looks"; dlg_buttons_look "dialog-$dpi-dpi" "${looks[@]/#/$DLG_SAVE }" || return 1
    fi
    lw_probe close '<Lumenweave>' box && lw_dialog_closed || return 1
  done
}

# "/c:HWND" as the display settings pass it: owned by that window when it is one. Rows: the
# argument, the owner expected (a handle of no window leaves it ownerless). Owned or not, the dialog
# sits centred across the screen, a third of the free height down, in a fixed frame: caption and
# close box; no sizing border, no minimise or maximise box.
test_dialog_users_owned_by_the_window_given_with_c() {
  dlg_setup owned 600 0 0
  local row args owner l t r b sw sh style
  lw_host owner 200 100 10 10 || return 1
  for row in "/c:$LW_HOST $LW_HOST" "/c 0" "/c:12345 0"; do
    read -r args owner <<<"$row"
    lw_dialog_open "$DLG_DIR/Lumenweave.scr" /dev/null "$args" || return 1
    grep -qx "handle .* owner $owner" "$LW_DIALOG" || lw_fail "$args: $(dlg_field handle)" || return 1
    read -r _ l t r b < <(dlg_field window); read -r _ sw sh < <(dlg_field screen); read -r _ style _ < <(dlg_field style)
    ((l == (sw - (r - l)) / 2 && t == (sh - (b - t)) / 3)) || lw_fail "$args: not centred: $(dlg_field window)" || return 1
    (((16#$style & 0x00C80000) == 0x00C80000 && (16#$style & 0x00070000) == 0)) || lw_fail "$args: style $style" || return 1
    lw_probe close '<Lumenweave>' box && lw_dialog_closed || return 1
  done
}

# Lines: role|name|states|value|default action|description, one per child in creation order. 設定
# is the default button while Enter presses it (the focus on a source), ｷﾝｾﾙ and "..." are not;
# "..." is named by what it does and describes the chosen file; default actions are named in the
# UI's language. The slider and the repeat box are the system's own objects (each right after the
# label that names it), named through the annotation service. Wine 8 differs from Windows there:
# its proxies report every standard control as a plain client named by its own text (the combo
# box "3", the slider nothing), with no value, and its annotation service does not annotate
# (IAccPropServices::SetHwndPropStr is a stub); Windows reports "combo box|曲目をﾘﾋﾟｰﾄ|...|3" with
# its list and "slider|粒子数|...|700". The rows pin what Wine shows, label line then control line.
test_dialog_users_screen_reader_sees_and_presses_the_controls() {
  dlg_setup reader 700 1 3 C:\\lwdlg\\reader\\song.mp3 || return 1
  # reader.log keeps Wine's word on the annotation service (its fixme lines).
  WINEDEBUG=fixme+oleacc lw_dialog_open "$DLG_DIR/Lumenweave.scr" "$LW_RUN_DIR/reader.log" || return 1
  LC_ALL=C.UTF-8 lw_probe access '<Lumenweave>' >"$LW_RUN_DIR/access.txt"  # roles and states in English
  local line seen want=("push button|ﾌｧｲﾙを選択|focusable||押す|C:\\lwdlg\\reader\\song.mp3" "radio button|無し|focusable||チェック|"
    "radio button|音楽CD|focused,checked,focusable||チェック|" "radio button|MP3、WAV|focusable||チェック|"
    "client|曲目をﾘﾋﾟｰﾄ|focusable|||;client|3|focusable|||" "client|粒子数|focusable|||;client||focusable|||"
    "link|https://lumenweave.example/|focusable|https://lumenweave.example/|ジャンプ|"
    "push button|設定|default,focusable||押す|" "push button|ｷﾝｾﾙ|focusable||押す|")
  seen=";$(paste -sd';' "$LW_RUN_DIR/access.txt");"  # a want: a line, or a label's line and its control's
  for line in "${want[@]}"; do [[ $seen == *";$line;"* ]] || lw_fail "not seen: $line" || return 1; done
  lw_probe access '<Lumenweave>' 無し && lw_probe access '<Lumenweave>' 設定 || lw_fail "a default action failed" ||
    return 1
  lw_dialog_closed && lw_ini_is "$DLG_INI" 700 0 3 'C:\lwdlg\reader\song.mp3'
}
