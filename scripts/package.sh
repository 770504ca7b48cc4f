#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package, has lintian judge it (any error or warning fails), installs it
# with apt-get, checks what it put in place, and removes it again. Needs root (or sudo);
# leaves the .deb in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# cpack reads the package's dependencies off the binary with dpkg-shlibdeps.
dpkg-query -W -f='${Status}' dpkg-dev 2>/dev/null | grep -q 'install ok installed' ||
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends dpkg-dev

cd build
rm -f korvel-jotwell_*.deb
cpack -G DEB
deb=$(ls korvel-jotwell_*.deb)
echo "Built $deb; it depends on: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || { echo "no Qt dependency derived" >&2; exit 1; }

# As a distribution's archive would: errors and warnings fail, notes are only shown.
if ! report=$(lintian --fail-on error,warning --display-info "$deb" 2>&1); then
  echo "$report" >&2
  echo "lintian found errors or warnings in $deb" >&2
  exit 1
fi
echo "lintian: ${report:-no errors, warnings or notes}"

DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "./$deb"
for f in /usr/bin/jotwell /usr/share/applications/org.korvel.Jotwell.desktop \
         /usr/share/metainfo/org.korvel.Jotwell.metainfo.xml \
         /usr/share/icons/hicolor/scalable/apps/org.korvel.Jotwell.svg /usr/share/man/man1/jotwell.1.gz \
         /usr/share/doc/korvel-jotwell/copyright /usr/share/korvel-jotwell/translations/jotwell_de.qm; do
  [ -f "$f" ] || { echo "missing after install: $f" >&2; exit 1; }
done
# Every library the installed program needs is there.
if ldd /usr/bin/jotwell | grep -q 'not found'; then
  ldd /usr/bin/jotwell | grep 'not found' >&2
  exit 1
fi

DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq korvel-jotwell
left=$(dpkg -L korvel-jotwell 2>/dev/null | grep -c . || true)
[ ! -e /usr/bin/jotwell ] && [ "$left" -eq 0 ] || { echo "the package did not remove cleanly" >&2; exit 1; }
echo "Package $deb built, installed and removed cleanly."
