#!/bin/bash
# Installs the Debian 12 packages that building, testing or demonstrating
# cdstart needs. Quiet and quick when everything is there already.
# Usage: tools/install_deps.sh [build|test|bench]
set -euo pipefail

build=(cmake make g++ pkg-config libfltk1.3-dev libjpeg62-turbo-dev libx11-dev libxcursor-dev
       libxft-dev fonts-liberation)
test=(googletest libgtest-dev libgmock-dev xvfb xdotool x11-utils xdg-utils shared-mime-info
      desktop-file-utils file)
bench=(hyperfine time libxtst-dev python3)

wanted=("${build[@]}")
case "${1:-build}" in
  build) ;;
  test) wanted+=("${test[@]}") ;;
  bench) wanted+=("${test[@]}" "${bench[@]}") ;;
  *) echo "usage: $0 [build|test|bench]" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
