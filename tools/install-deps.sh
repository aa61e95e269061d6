#!/usr/bin/env bash
# Installs what Vidlatch needs to build, test and run, only what is missing,
# on Debian 12 or 13: Debian packages (through sudo when not root), then the
# Flash preview's player from the npm registry, pinned by package-lock.json.
# Packages are installed without what they only recommend: whatever the
# scripts use is named here (the sanitizers' runtime, libclang-rt-dev, among it).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake make g++ clang libclang-rt-dev pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-private-dev qt6-webengine-dev libqt6webenginecore6-bin qt6-translations-l10n qt6-l10n-tools
  opencc
  libgl-dev libcurl4-openssl-dev zlib1g-dev libxcb1-dev
  fonts-arphic-uming fonts-dejavu-core librsvg2-bin xvfb xauth x11-utils imagemagick strace openssl
  desktop-file-utils appstream groff-base dpkg-dev lintian debootstrap
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

if [ "${#missing[@]}" -gt 0 ]; then
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  echo "Installing the Ruffle player (npm ci)"
  npm ci --ignore-scripts --no-audit --no-fund
fi
