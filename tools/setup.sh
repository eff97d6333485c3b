#!/usr/bin/env bash
# Installs the Debian packages the project needs, when any is missing. Quick when all are there.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ clang clang-format libclang-rt-dev python3
  libicu-dev libjpeg62-turbo-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth trayer openbox xdotool x11-utils imagemagick
  fonts-arphic-uming fonts-wqy-zenhei
  libphonenumber-dev time parallel
  qt6-translations-l10n
  dpkg-dev lintian desktop-file-utils appstream man-db bash-completion rofi
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "These packages are missing; run this as root to install them." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
