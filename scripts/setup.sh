#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building and testing need, only those that are missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config lld
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins qt6-l10n-tools qt6-tools-dev
  libsqlite3-dev zlib1g-dev libpugixml-dev
  libgl-dev libxkbcommon-dev
  fonts-dejavu-core xvfb xdotool openbox trayer x11-utils imagemagick xdg-utils poppler-utils
  desktop-file-utils appstream bash-completion
  qt6-translations-l10n lintian
  at-spi2-core dbus-x11 python3-pyatspi
  syncthing
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
