#!/bin/bash
# Runs the Windows tests (the unit tests and the end-to-end tests under Wine,
# through CTest) on every Windows build that a Wine here can run, and says
# which ran: the 32-bit build under 32-bit Wine, the 64-bit build under
# 64-bit Wine, both where both run. A kernel without 32-bit support runs
# only the 64-bit build; only where no Wine runs at all are the tests
# reported as skipped.
#
# Usage: tools/windows_tests.sh WIN32-BUILD WIN64-BUILD
# Exits non-zero when a suite that ran failed.
# WINE_RUN and CTEST name stand-ins for tools/wine_run.sh and ctest (the
# tests of this script use them); CDSTART_WINE_UNAVAILABLE (see
# tools/wine_run.sh) makes a Wine that is there count as absent.
set -uo pipefail
[ $# -eq 2 ] || { echo "usage: $0 WIN32-BUILD WIN64-BUILD" >&2; exit 2; }
wine_run=${WINE_RUN:-$(dirname "$0")/wine_run.sh}
ctest=${CTEST:-ctest}
jobs=${JOBS:-$(nproc)}

declare -A folder=([win32]=$1 [win64]=$2)
declare -A bits=([win32]=32 [win64]=64)
runnable=()
missing=()
for arch in win32 win64; do
  if reason=$("$wine_run" --arch "$arch" --prefix "${folder[$arch]}/wine-prefix" --check); then
    runnable+=("$arch")
  else
    missing+=("${bits[$arch]}-bit: ${reason:-no reason given}")
  fi
done

if [ ${#runnable[@]} -eq 0 ]; then
  echo "SKIPPED: Windows tests (no Wine can run here; $(IFS=';'; echo "${missing[*]}" | sed 's/;/; /g'))"
  exit 0
fi

failed=0
for arch in "${runnable[@]}"; do
  echo "Windows tests: the ${bits[$arch]}-bit build (${folder[$arch]}/cdstart.exe)" \
       "under ${bits[$arch]}-bit Wine${missing:+; not run on the other build (${missing[*]})}"
  (cd "${folder[$arch]}" && "$ctest" --output-on-failure -j "$jobs") || failed=1
done
exit $failed
