#!/usr/bin/env bash
# The package command: installs what is missing, builds the saver (windows preset) and makes the
# packages a Windows user downloads, in build/windows/packages/:
#   Lumenweave-<version>-win64.zip        portable: Lumenweave.scr, README.txt, LICENSE.txt
#   Lumenweave-<version>-win64-setup.exe  per-user installer (NSIS), no administrator rights
# and, beside them, the XScreenSaver hack for Linux (linux preset) in build/linux/packages/:
#   lumenweave_<version>_amd64.deb        the hack, its settings description and manual page
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
(cd build/windows && cpack)
cmake --preset linux >/dev/null
cmake --build --preset linux
(cd build/linux && cpack)
echo "package: made in $root/build/windows/packages and $root/build/linux/packages:"
ls -1 build/windows/packages/*.zip build/windows/packages/*.exe build/linux/packages/*.deb
