#!/usr/bin/env bash
# Installs every Debian package Larkvale needs to build, test and run.
# Safe to run again; uses sudo only when not already root.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  clang-format clang-tidy
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
  # libraries
  libplist-dev libcurl4-openssl-dev nlohmann-json3-dev libexpat1-dev
  libicu-dev libssl-dev libcairo2-dev libpango1.0-dev zlib1g-dev
  # the window activation request a second launch hands over on X11
  libxcb1-dev
  # Qt 6: the application's model, windows, desktop services and tests
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  qt6-image-formats-plugins qt6-qpa-plugins libqt6svg6
  # desktop services under test: a private session bus, a virtual display and
  # GLib's launcher (reads back the autostart entry the app writes)
  dbus dbus-x11 xvfb xauth libglib2.0-bin x11-utils
  # a small tray host, so that tests see the tray icon embedded under Xvfb
  trayer
  # run time: fonts for documents, a colour emoji font so that the emoji the
  # catalogue keeps are drawn, zsh for terminal scripts, PDF tools for tests
  fonts-dejavu-core fonts-noto-color-emoji zsh poppler-utils
  # checks the installed desktop entry
  desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
