#!/bin/bash
# Installs the Debian 12 packages that building, testing or demonstrating
# cdstart needs. Quiet and quick when everything is there already.
# Usage: tools/install_deps.sh [build|test|bench|win32|demo|medium]
#   build: the program and, as the default build compiles them, its tests.
#   demo:  what tools/demo.sh needs without a display: a private X server,
#          a window manager and the means to save a screenshot.
#   win32: the MinGW-w64 cross compilers (32- and 64-bit), GoogleTest's
#          sources, the means to fetch libjpeg-turbo's Debian source package,
#          and Wine to run the results: 64-bit Wine (wine64) for the 64-bit
#          build, 32-bit Wine (wine32:i386) for the 32-bit one. "test"
#          includes it, as make test runs the Windows tests too.
#   medium: what tools/make_medium.sh needs beyond the two builds: xorriso.
# 32-bit Wine needs the i386 architecture; when it cannot be installed the
# script says so and carries on, and make test tests the 64-bit build only
# (a kernel without 32-bit support cannot run 32-bit Wine either way).
set -euo pipefail

build=(cmake make g++ pkg-config libfltk1.3-dev libjpeg62-turbo-dev libx11-dev libxcursor-dev
       libxft-dev fonts-liberation googletest libgtest-dev libgmock-dev libxfixes-dev)
test=(xvfb xdotool x11-utils xdg-utils shared-mime-info desktop-file-utils file util-linux
      clang-tidy openbox xorriso fuseiso)
demo=(xvfb x11-utils x11-apps netpbm openbox)
medium=(xorriso)
bench=(hyperfine time libxtst-dev python3)
win32=(g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
       googletest dpkg-dev wine wine64)
wine=(wine32:i386)

wanted=("${build[@]}")
with_win32=false
case "${1:-build}" in
  build) ;;
  test) wanted+=("${test[@]}" "${win32[@]}"); with_win32=true ;;
  bench) wanted+=("${test[@]}" "${bench[@]}") ;;
  win32) wanted+=("${win32[@]}"); with_win32=true ;;
  demo) wanted+=("${demo[@]}") ;;
  medium) wanted+=("${medium[@]}") ;;
  *) echo "usage: $0 [build|test|bench|win32|demo|medium]" >&2; exit 2 ;;
esac

installed() {
  [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true)" = "install ok installed" ]
}

missing=()
for package in "${wanted[@]}"; do
  installed "$package" || missing+=("$package")
done

# libjpeg-turbo for Windows is built from Debian's source package, which
# apt-get source fetches only with a deb-src entry.
need_sources=false
missing_wine=()
need_i386=false
if $with_win32; then
  apt-cache showsrc libjpeg-turbo 2>/dev/null | grep -q '^Package:' || need_sources=true
  for package in "${wine[@]}"; do
    installed "$package" || missing_wine+=("$package")
  done
  if [ ${#missing_wine[@]} -gt 0 ] && [ "$(dpkg --print-architecture)" != i386 ] &&
     ! dpkg --print-foreign-architectures | grep -qx i386; then
    need_i386=true
  fi
fi

[ ${#missing[@]} -eq 0 ] && ! $need_sources && [ ${#missing_wine[@]} -eq 0 ] && exit 0

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive

if $need_sources; then
  echo "adding deb-src entries for the apt sources"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    # The same URIs, suites and components, for source packages.
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      $sudo tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
  else
    grep -s '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      $sudo tee /etc/apt/sources.list.d/debian-src.list >/dev/null
  fi
fi
if $need_i386; then
  echo "adding the i386 architecture (for wine32)"
  $sudo dpkg --add-architecture i386 || echo "warning: could not add the i386 architecture" >&2
fi

if ! $sudo apt-get update -qq; then
  # A mirror without i386 fails the update; give up Wine rather than everything.
  $need_i386 || exit 1
  echo "warning: apt-get update failed with the i386 architecture; leaving 32-bit Wine out" >&2
  $sudo dpkg --remove-architecture i386 || true
  $sudo apt-get update -qq
  missing_wine=()
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if [ ${#missing_wine[@]} -gt 0 ]; then
  echo "installing: ${missing_wine[*]}"
  if ! $sudo apt-get install -y -qq --no-install-recommends "${missing_wine[@]}" >/dev/null; then
    echo "warning: could not install ${missing_wine[*]}; 32-bit Windows programs cannot be run here" >&2
  fi
fi
