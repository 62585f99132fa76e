#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Formulon need,
# skipping those already present. Uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libcairo2-dev libpango1.0-dev libx11-dev libxext-dev libxkbcommon-dev
  fonts-liberation fonts-dejavu-core
  libpcre2-dev libpng-dev duktape-dev
  libespeak-ng-dev libpcaudio-dev
  libsystemd-dev dbus-daemon systemd libglib2.0-bin python3-gi
  libcups2-dev poppler-utils
  libcurl4-openssl-dev
  xvfb xauth xdotool xclip openbox x11-xkb-utils
)
# Extra tools for `make bench` and `make fuzz` only.
if [[ "${1:-}" == "--all" ]]; then
  packages+=(libmuparser-dev libxdamage-dev clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
