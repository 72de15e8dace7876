#!/usr/bin/env bash
# Installs the Debian packages the build, the frame and the tests need (only what is missing).
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qtbase5-dev qttools5-dev qttools5-dev-tools qtmultimedia5-dev
          libqt5multimedia5-plugins libsqlite3-dev xvfb xauth desktop-file-utils appstream
          modemmanager-qt-dev modemmanager-dev dbus python3-dbusmock qttranslations5-l10n)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
