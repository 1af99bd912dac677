#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, when any is missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config ccache qt6-base-dev qt6-base-dev-tools libgl-dev
  libplist-dev nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev libssl-dev
  xvfb xauth x11-utils libqt6svg6 clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi
