#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build and the tests need and that is missing.
# Safe to run again: packages already present are skipped, so a warm machine pays nothing.
set -euo pipefail

packages=(
  # build: native logic and tests, the cross-compiled saver
  cmake ninja-build g++ clang libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  # the XScreenSaver hack for Linux: Xlib with MIT-SHM, GStreamer, its Debian package and its tests
  pkg-config libx11-dev libxext-dev libgstreamer1.0-dev dpkg-dev xscreensaver x11-xserver-utils procps python3
  # running the saver: Wine in a virtual display, with a sound server and MP3 decoding
  wine wine64 xvfb xdotool x11-utils imagemagick
  # several monitors: Xorg with the dummy driver, laid out with xrandr, root colour by xsetroot
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  pulseaudio pulseaudio-utils sox libsox-fmt-mp3 lame
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly gstreamer1.0-libav
  # Japanese texts render as real glyphs; ja_JP locale makes Wine's ANSI code page 932
  fonts-ipafont-gothic fonts-ipafont-mincho locales
  # packaging, icoutils to read the built files' resources, lintian to check the Debian package
  nsis zip unzip icoutils lintian
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
    echo 'ja_JP.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
