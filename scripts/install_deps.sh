#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the headless run need.
# Only what is missing is installed; safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ccache pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libgl-dev
  libhidapi-dev libopencv-core-dev libopencv-imgproc-dev
  libbenchmark-dev liblo-dev liblo-tools
  fonts-wqy-microhei qt6-translations-l10n qt6-l10n-tools qt6-tools-dev
  xvfb xauth x11-apps imagemagick
  desktop-file-utils appstream dpkg-dev file
)
[ "${KESTRANE_EXTRA_PACKAGES:-}" ] && packages+=(${KESTRANE_EXTRA_PACKAGES})

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
