#!/usr/bin/env bash
# Installs what building and testing need, with apt-get, only when missing.
# Works as root or through sudo, never asks.
set -euo pipefail

# desktop-file-utils, appstream and file: the installed-tree test validates with them;
# poppler-utils: pdftotext, which the report tests read the PDF with;
# zlib1g-dev: zlib, which reads gzip-compressed session recordings.
# dpkg-dev: dpkg-shlibdeps, which finds the Debian package's dependencies.
# fonts-dejavu-extra: DejaVu Sans Condensed, the narrow stand-in for the window's design font where Tahoma is missing.
# postgresql, libqt6sql6-psql: the team archive's server for the tests and Qt SQL's driver for it.
# libtelnet-dev, pkg-config: Telnet for RFC 2217 serial servers; ser2net: the real serial server the network tests run against.
# qt6-l10n-tools, qt6-tools-dev: lrelease, lupdate and their CMake functions for the English interface; qt6-translations-l10n: Qt's own texts in Russian.
packages=(cmake g++ make qt6-base-dev qt6-serialport-dev qt6-5compat-dev qt6-charts-dev libqt6opengl6-dev libgl-dev zlib1g-dev libtelnet-dev pkg-config ser2net
          qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
          fonts-dejavu-core fonts-dejavu-extra poppler-utils desktop-file-utils appstream file dpkg-dev bc
          postgresql libqt6sql6-psql "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo_cmd=(sudo -n)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
