# Packaging: the ZIP, the per-user installer and its uninstaller, run silently under Wine the way
# a user (or Add/Remove Programs) runs them. The packages are made from the current build.

PKG_DIR=$LW_ROOT/build/windows/packages
PKG_DESKTOP='HKCU\Control Panel\Desktop'
PKG_UNINSTALL='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumenweave'

# The packages of the current build (PKG_SETUP, PKG_ZIP, of version PKG_VERSION), made once per
# run: cpack takes about a second, and they depend on more than the saver (README, licence,
# installer script). Without makensis the calling test ends as passed, the reason logged.
pkg_ready() {
  local version; version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$LW_ROOT/build/windows/CMakeCache.txt")
  PKG_SETUP=$PKG_DIR/Lumenweave-$version-win64-setup.exe PKG_ZIP=$PKG_DIR/Lumenweave-$version-win64.zip PKG_VERSION=$version
  [[ -f $LW_RUN_DIR/packages-made ]] && return 0
  command -v makensis >/dev/null || { lw_log "SKIP: makensis missing (scripts/install-deps.sh installs it)"; exit 0; }
  (cd "$LW_ROOT/build/windows" && cpack >"$LW_RUN_DIR/cpack.log" 2>&1) && : >"$LW_RUN_DIR/packages-made" ||
    lw_fail "cpack failed, see $LW_RUN_DIR/cpack.log"
}

pkg_reg_value() {  # pkg_reg_value KEY NAME -> the value's data; fails when absent
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n && $2 ~ /^REG_/ {sub(/^ *[^ ]+ +[^ ]+ +/, ""); print; f = 1} END {exit !f}'
}

# Installs silently, into the default folder or the one given (a path without spaces: Wine
# quotes an argument with spaces, and the installer reads /D= only unquoted); sets the install
# folder as a Windows path and as a Unix path.
pkg_install() {
  PKG_WIN_DIR=${1:-"$(wine cmd /c echo '%LOCALAPPDATA%' 2>/dev/null | tr -d '\r')\\Programs\\Lumenweave"}
  PKG_UNIX_DIR=$(winepath -u "$PKG_WIN_DIR" 2>/dev/null | sed 's:/$::')
  timeout 120 wine "$PKG_SETUP" /S ${1:+"/D=$1"} || lw_fail "the installer ended with $?"
}

# Runs the uninstaller exactly as Add/Remove Programs does: the registered QuietUninstallString.
# The uninstaller copies itself away and returns at once, so wait for its work to be done.
pkg_uninstall() {
  local quiet
  quiet=$(pkg_reg_value "$PKG_UNINSTALL" QuietUninstallString) || lw_fail "no QuietUninstallString" || return 1
  [[ $quiet =~ ^\"([^\"]+)\"(.*)$ ]] && timeout 60 wine "${BASH_REMATCH[1]}" ${BASH_REMATCH[2]} ||
    lw_fail "the uninstaller failed or QuietUninstallString is not a quoted path: $quiet" || return 1
  lw_wait 60 bash -c "! wine reg query '$PKG_UNINSTALL' && [[ ! -e '$PKG_UNIX_DIR' ]]" ||
    lw_fail "uninstall did not finish: $(ls -A "$PKG_UNIX_DIR" 2>&1)" || return 1
  # The uninstaller's copy of itself (%TEMP%\~nsuN.tmp\Un.exe) may still be finishing its last
  # steps; a new install must not overlap it.
  lw_wait 60 bash -c "! pgrep -f '~nsu[^ ]*[.]tmp' >/dev/null" || lw_fail "the uninstaller's copy did not end"
}

test_zip_holds_the_saver_readme_and_licence() {
  pkg_ready || return 1
  local top listed; top=$(basename "$PKG_ZIP" .zip); listed=$(unzip -Z1 "$PKG_ZIP" | sort)
  [[ $listed == "$(printf '%s\n' "$top/LICENSE.txt" "$top/Lumenweave.scr" "$top/README.txt")" ]] || lw_fail "ZIP holds: $listed" || return 1
  unzip -p "$PKG_ZIP" "$top/Lumenweave.scr" | cmp -s - "$LW_SCR" || lw_fail "the ZIP's saver is not the build's" || return 1
  # The README is the user's part only, readable in Notepad.
  local readme; readme=$(unzip -p "$PKG_ZIP" "$top/README.txt")
  grep -q 'For Windows users' <<<"$readme" || lw_fail "README.txt lacks the user's guide" || return 1
  ! grep -q 'For developers' <<<"$readme" || lw_fail "README.txt carries the developers' part" || return 1
  [[ $(grep -c $'\r$' <<<"$readme") -eq $(wc -l <<<"$readme") ]] || lw_fail "README.txt has bare LF line ends" || return 1
  [[ $readme == $'\xef\xbb\xbf'* ]] || lw_fail "README.txt lacks the UTF-8 byte-order mark"
}

# FILE's resources as icoutils reads them, a row each: type name language, and for a bitmap its
# size and depth, for string block 1 its string 1 (the name the display settings list for a screen
# saver), for the version its fixed versions; then the version strings as NAME=VALUE lines.
pkg_resources() {
  python3 - "$1" <<'EOF'
import re, struct, subprocess, sys
run = lambda *a: subprocess.run(["wrestool", *a, sys.argv[1]], capture_output=True).stdout
for t, n, l in re.findall(rb"--type=(\w+) --name=(\w+) --language=(\d+)", run("-l")):
    d, row, more = run("-x", "--raw", b"-t" + t, b"-n" + n, b"-L" + l), [x.decode() for x in (t, n, l)], []
    if t == b"2": row.append("%dx%d %d" % struct.unpack_from("<4xii2xH", d))
    if t == b"6" and n == b"1": row.append(d[4:4 + 2 * d[2]].decode("utf-16le"))
    if t == b"16":
        v = struct.unpack_from("<8H", d, d.find(struct.pack("<I", 0xFEEF04BD)) + 8)
        row += ["%d.%d.%d.%d" % (v[i + 1], v[i], v[i + 3], v[i + 2]) for i in (0, 4)]
        more = re.findall(r"([A-Z][a-z]+[A-Z]\w+)\0+([^\0]+)\0", d.decode("utf-16le", "replace"))
    print(" ".join(row), *("%s=%s" % kv for kv in more), sep="\n")
EOF
}

# The saver's and the installer's resources: the saver carries exactly the resources it loads (the
# icon in four sizes, the link cursor, the bitmaps, the texts, the version, the manifest), and both
# carry the version; the icons parse in their sizes, and the cursor is the art file itself.
test_resources() {
  pkg_ready || return 1
  local version=$PKG_VERSION file out art=$LW_ROOT/resources/art
  for file in "$PKG_SETUP" "$LW_SCR"; do
    out=$(pkg_resources "$file")
    (($(grep -cxF -e "16 1 1033 $version.0 $version.0" -e "ProductVersion=$version" -e ProductName=Lumenweave \
      -e "CompanyName=Lumenweave developers" <<<"$out") == 4)) || lw_fail "$(basename "$file") version:"$'\n'"$out" || return 1
  done
  local want="1 1 1033;2 101 1033 64x25 24;2 102 1033 64x25 24;2 103 1033 64x25 24;
2 104 1033 64x25 24;2 105 1033 64x25 24;2 106 1033 64x25 24;2 110 1033 556x20 24;2 111 1033 12x12 24;
2 112 1033 12x12 24;2 120 1033 152x112 24;3 1 1033;3 2 1033;3 3 1033;3 4 1033;6 1 1033 Lumenweave;
6 13 1033;6 13 1041;6 14 1033;6 14 1041;12 130 1033;14 1 1033;16 1 1033 $version.0 $version.0;24 1 1033"
  [[ $(grep -v = <<<"$out" | paste -sd';') == "${want//$'\n'/}" ]] || lw_fail "resources differ:"$'\n'"$out" || return 1
  [[ $(wrestool -x -t14 "$LW_SCR" | icotool -l - 2>/dev/null | sed -E 's/^--icon --index=. --width=([0-9]+) --height=\1 --bit-depth=32 .*/\1/' |
        paste -sd' ') == '16 32 48 256' ]] || lw_fail "icons: $(wrestool -x -t14 "$LW_SCR" | icotool -l - 2>&1)" || return 1
  # wrestool's cursor file keeps the resource's size, which counts the hotspot: icotool refuses it.
  cmp -s <(wrestool -x --raw -t1 -n1 "$LW_SCR" | tail -c +5) <(tail -c +23 "$art/link.cur") || lw_fail "the cursor is not link.cur" || return 1
  icotool -l "$art/link.cur" 2>/dev/null | grep -qF -- '--width=32 --height=32 --bit-depth=1 --palette-size=2 --hotspot-x=12 --hotspot-y=10' ||
    lw_fail "link.cur: $(icotool -l "$art/link.cur")"
}

pkg_check_installation() {
  local f name value
  for f in Lumenweave.scr README.txt LICENSE.txt Uninstall.exe; do
    [[ -f $PKG_UNIX_DIR/$f ]] || lw_fail "$f not installed in $PKG_UNIX_DIR" || return 1
  done
  cmp -s "$PKG_UNIX_DIR/Lumenweave.scr" "$LW_SCR" || lw_fail "the installed saver is not the build's" || return 1

  local saver; saver=$(pkg_reg_value "$PKG_DESKTOP" SCRNSAVE.EXE) || lw_fail "SCRNSAVE.EXE not set" || return 1
  [[ $(winepath -u "$saver") -ef $PKG_UNIX_DIR/Lumenweave.scr ]] || lw_fail "SCRNSAVE.EXE names another file" || return 1
  # Every component after the drive an 8.3 name.
  [[ ${saver#?:} =~ ^(\\[^.\ \\]{1,8}(\.[^.\ \\]{1,3})?)+$ ]] || lw_fail "SCRNSAVE.EXE is not the short path" || return 1
  [[ $(pkg_reg_value "$PKG_DESKTOP" ScreenSaveActive) == 1 ]] || lw_fail "ScreenSaveActive is not 1" || return 1

  local -A expected=(
    [DisplayName]='^Lumenweave$'
    [DisplayVersion]="^${PKG_VERSION//./\\.}\$"
    [Publisher]='^Lumenweave developers$'
    [InstallLocation]="^$(sed 's/[\\.]/\\&/g' <<<"$PKG_WIN_DIR")\$"
    [UninstallString]='^"[^"]*\\Uninstall\.exe"$'
    [QuietUninstallString]='^"[^"]*\\Uninstall\.exe" /S$'
    [DisplayIcon]='\\Lumenweave\.scr,0$'
    [NoModify]='^0x1$'
    [NoRepair]='^0x1$'
    [EstimatedSize]='^0x[0-9a-f]*[1-9a-f][0-9a-f]*$'
  )
  for name in "${!expected[@]}"; do
    value=$(pkg_reg_value "$PKG_UNINSTALL" "$name") || lw_fail "$name missing from the uninstall entry" || return 1
    [[ $value =~ ${expected[$name]} ]] || lw_fail "$name = '$value', expected /${expected[$name]}/" || return 1
  done
}

# Installs, checks the installation, runs the installed copy from the registered (short) path as
# the screen-saver service does (first row; with /s it shows and a key ends it; a change made in its
# dialog is saved in Lumenweave.ini in the install folder and nowhere else: under Wine every folder
# is writable, so this shows where the file goes, not that a protected folder would refuse it),
# installs again (an update, which keeps that file as it was), then uninstalls as Add/Remove
# Programs does. Rows: the folder given to the installer (empty: the default one) | what
# SCRNSAVE.EXE holds before uninstalling ("registered": as the installer left it, "long": the
# installed saver's long path, or another saver) | whether the uninstaller clears it ("cleared") or
# leaves it ("kept").
test_installer_and_uninstaller() {
  pkg_ready || return 1
  local rows=("|registered|cleared" 'C:\Savers\LumenweaveScreen|long|cleared' '|C:\windows\system32\scrnsave.scr|kept')
  local row folder before want saver ini added
  for row in "${rows[@]}"; do
    IFS='|' read -r folder before want <<<"$row"
    pkg_install "$folder" && pkg_check_installation || return 1
    saver=$(pkg_reg_value "$PKG_DESKTOP" SCRNSAVE.EXE) ini=$PKG_UNIX_DIR/Lumenweave.ini
    if [[ -n $folder || $want != cleared ]]; then lw_ini 600 1 0 >"$ini"; else
      lw_start "$saver" /s
      lw_wait 30 xdotool search --onlyvisible --name '^Lumenweave_Main$' && lw_end_by_key "$LW_LAST_PID" 10 ||
        lw_fail "the installed saver did not show or did not end on a key" || return 1
      find "$LW_DRIVE_C" -iname Lumenweave.ini | sort >"$LW_RUN_DIR/ini-before"
      lw_dialog_save_cd "$saver" && lw_wait 10 test -f "$ini" || lw_fail "no Lumenweave.ini in $PKG_UNIX_DIR" || return 1
      added=$(find "$LW_DRIVE_C" -iname Lumenweave.ini | sort | comm -13 "$LW_RUN_DIR/ini-before" -)
      [[ $added -ef $ini ]] || lw_fail "settings files appeared elsewhere: $added" || return 1
    fi
    cp "$ini" "$LW_RUN_DIR/ini-before"
    pkg_install "$folder" || return 1
    cmp -s "$ini" "$LW_RUN_DIR/ini-before" || lw_fail "an update changed the settings file" || return 1
    saver=$before; [[ $before == long ]] && saver=$PKG_WIN_DIR\\Lumenweave.scr
    [[ $before == registered ]] || wine reg add "$PKG_DESKTOP" /v SCRNSAVE.EXE /t REG_SZ /d "$saver" /f >/dev/null 2>&1
    : >"$PKG_UNIX_DIR/lwi1A2B.tmp"  # what an interrupted save leaves beside the saver
    pkg_uninstall || return 1
    saver=$(pkg_reg_value "$PKG_DESKTOP" SCRNSAVE.EXE)
    [[ $want == kept || -z $saver ]] || lw_fail "$before: SCRNSAVE.EXE still '$saver'" || return 1
    [[ $want == cleared || $saver == "$before" ]] || lw_fail "$before: SCRNSAVE.EXE became '$saver'" || return 1
  done
}
