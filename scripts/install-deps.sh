#!/usr/bin/env bash
# Installs what PLANORA needs to build, test and run, from Debian's packages.
set -euo pipefail
packages=(g++ cmake make pkg-config qt6-base-dev libsqlite3-dev libbenchmark-dev
          fonts-dejavu-core poppler-utils sqlite3 qt6-translations-l10n
          dpkg-dev desktop-file-utils python3 python3-icalendar clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
