#!/bin/bash
# Runs a 32-bit Windows program under Wine, quietly, in a Wine prefix of its
# own; the CMake toolchain for Windows makes it the cross-compiling emulator.
# The prefix is created on first use. Console programs need no display;
# a program that opens windows gets whatever DISPLAY is set (Xvfb in tests).
#
# Usage: tools/wine_run.sh [--prefix DIR] PROGRAM.exe [ARGUMENTS...]
#        tools/wine_run.sh [--prefix DIR] --check
# --check exits 0 when Wine can run 32-bit programs here; otherwise it prints
# the reason on one line and exits 1.
# The prefix is DIR, else $WINEPREFIX, else ./wine-prefix.
set -uo pipefail

prefix=${WINEPREFIX:-$PWD/wine-prefix}
if [ "${1:-}" = "--prefix" ]; then
  [ $# -ge 2 ] || { echo "usage: $0 [--prefix DIR] PROGRAM.exe [ARGUMENTS...] | --check" >&2; exit 2; }
  prefix=$2
  shift 2
fi
[ $# -ge 1 ] || { echo "usage: $0 [--prefix DIR] PROGRAM.exe [ARGUMENTS...] | --check" >&2; exit 2; }
case $prefix in /*) ;; *) prefix=$PWD/$prefix ;; esac

export WINEPREFIX=$prefix
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}  # quiet, unless asked otherwise
# No Mono or Gecko: creating or updating a prefix would otherwise offer to
# download them, in a dialog that waits for an answer.
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

# Why Wine cannot run 32-bit programs here, or nothing when it can.
wine_missing() {
  if ! command -v wine >/dev/null 2>&1; then
    echo "wine is not installed"
  elif [ -x /usr/lib/wine/wine64 ] && [ ! -x /usr/lib/wine/wine ]; then
    # Debian's layout: the 32-bit loader comes with wine32:i386.
    echo "wine32 (i386) is not installed"
  fi
}

# Creates the prefix once; parallel runs wait for the first one to finish.
ensure_prefix() {
  local stamp=$prefix/.cdstart-ready log
  [ -f "$stamp" ] && return 0
  mkdir -p "$(dirname "$prefix")" || return 1
  exec {lock}>"$prefix.lock" || return 1
  flock "$lock"
  if [ ! -f "$stamp" ]; then
    log=$(timeout 300 wineboot -i 2>&1 && timeout 60 wineserver -w 2>&1)
    local rc=$?
    if [ $rc -ne 0 ] || [ ! -f "$prefix/system.reg" ]; then
      echo "wineboot failed (exit $rc): $(printf '%s\n' "$log" | tail -n 1)" >&2
      flock -u "$lock"
      return 1
    fi
    : >"$stamp"
  fi
  flock -u "$lock"
  exec {lock}>&-
}

# The first Wine program of a session starts Wine's own background processes
# (services, device drivers), which keep its output open until the session
# ends, a few seconds after the last program. Started by a program of no
# interest with its output elsewhere, they leave the caller's pipes alone,
# and CTest sees each test end when it ends.
start_session() {
  timeout 60 wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1
}

if [ "$1" = "--check" ]; then
  reason=$(wine_missing)
  [ -z "$reason" ] || { echo "$reason"; exit 1; }
  if ! err=$(ensure_prefix 2>&1); then
    echo "${err:-cannot create the Wine prefix $prefix}"
    exit 1
  fi
  start_session
  # A 32-bit program of Wine's own, so that the answer does not depend on ours.
  out=$(timeout 60 wine cmd.exe /c exit 7 2>&1)
  rc=$?
  if [ $rc -ne 7 ]; then
    echo "wine cannot run a 32-bit program (exit $rc): $(printf '%s\n' "$out" | tail -n 1)"
    exit 1
  fi
  exit 0
fi

reason=$(wine_missing)
if [ -n "$reason" ]; then
  echo "$0: $reason" >&2
  exit 127
fi
ensure_prefix || exit 127
start_session
exec wine "$@"
