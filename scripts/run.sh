#!/usr/bin/env bash
# The run command: installs what is missing, builds the saver and starts it full-screen under
# Wine on your display. Without a display it runs the saver for a few seconds in a virtual one
# and writes a screenshot. Arguments are passed to the saver (default /S; try /C or none).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
scr=$root/build/windows/Lumenweave.scr
args=("${@:-/S}")

export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=${WINEDEBUG:--all}
if [[ -n ${DISPLAY:-} ]]; then
  exec wine "$scr" "${args[@]}"
fi

source tests/e2e/lib.sh
export LW_RUN_DIR=$root/build/run
rm -rf "$LW_RUN_DIR" && mkdir -p "$LW_RUN_DIR"
trap 'lw_session_stop' EXIT
echo "run: no display; starting a virtual one (first start prepares Wine, about two minutes)"
lw_session_start
lw_start_scr "${args[@]}"
sleep "${LW_RUN_SECONDS:-8}"
shot=$root/build/screenshot.png
lw_screenshot "$shot"
echo "run: the saver ran for ${LW_RUN_SECONDS:-8} s in a virtual display; screenshot: $shot"
