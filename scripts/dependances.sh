#!/usr/bin/env bash
# Installs what building, playing and testing Corvella need on Debian.
# Runs apt-get as root, or through sudo for another user; installs nothing
# when everything is already there.
set -eu
paquets=(
  build-essential cmake pkg-config
  libsdl1.2-compat-dev libsdl-image1.2-dev libsdl-mixer1.2-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libpng-dev zlib1g-dev libacl1-dev
  libgtest-dev
  libx11-dev
  xvfb xauth openbox xdotool wmctrl x11-utils imagemagick
  man-db
)
manquants=()
for p in "${paquets[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || manquants+=("$p")
done
[ ${#manquants[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${manquants[@]}"
