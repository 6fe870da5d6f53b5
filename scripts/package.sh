#!/usr/bin/env bash
# The package command: installs what is missing, builds the saver (windows preset) and makes the
# packages a Windows user downloads, in build/windows/packages/:
#   Lumenweave-<version>-win64.zip        portable: Lumenweave.scr, README.txt, LICENSE.txt
#   Lumenweave-<version>-win64-setup.exe  per-user installer (NSIS), no administrator rights
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
(cd build/windows && cpack)
echo "package: made in $root/build/windows/packages:"
ls -1 build/windows/packages/*.zip build/windows/packages/*.exe
