#!/usr/bin/env bash
# Installs the Debian packages Vidlatch needs to build, test and run, only
# those that are missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
  cmake make g++ clang pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-webengine-dev libqt6webenginecore6-bin qt6-translations-l10n
  libgl-dev libcurl4-openssl-dev
  fonts-arphic-uming xvfb xauth x11-utils imagemagick
  nodejs npm python3
)

missing=()
for package in "${packages[@]}"; do
  # Node.js and npm may come from elsewhere than Debian; any working pair will do.
  case "$package" in nodejs|npm) command -v node >/dev/null && command -v npm >/dev/null && continue ;; esac
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ "${#missing[@]}" -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
