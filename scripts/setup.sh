#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# A no-op when everything is already there.
set -euo pipefail

PACKAGES=(
  cmake g++ pkg-config
  qt6-base-dev qt6-webengine-dev
  libqt6webengine6-data
  libjpeg-dev
  libssl-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wqy-microhei
  qt6-translations-l10n
  xvfb xauth trayer
  desktop-file-utils lintian help2man
  parallel
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
