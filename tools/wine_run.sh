#!/bin/bash
# Runs a Windows program under the Wine that can run it, quietly, in a Wine
# prefix of its own: a 32-bit program (PE32, i386) under 32-bit Wine in a
# win32 prefix, a 64-bit one (PE32+, x86-64) under 64-bit Wine in a win64
# prefix. The CMake toolchains for Windows make it the cross-compiling
# emulator. The prefix is created on first use. Console programs need no
# display; a program that opens windows gets whatever DISPLAY is set (Xvfb in
# tests).
#
# Usage: tools/wine_run.sh [--arch win32|win64] [--prefix DIR] PROGRAM [ARGUMENTS...]
#        tools/wine_run.sh --arch win32|win64 [--prefix DIR] --check
# Without --arch the architecture is read from PROGRAM's own header; a
# program of Wine's own (reg, taskkill, cmd.exe) needs --arch.
# --check exits 0 when Wine can run programs of that architecture here;
# otherwise it prints the reason on one line and exits 1.
# The prefix is DIR, else $WINEPREFIX, else ./wine-prefix.
#
# CDSTART_WINE_UNAVAILABLE="win32" (or "win64", or both) makes the script
# treat that Wine as absent, to try on one machine what another one meets.
set -uo pipefail

usage() {
  echo "usage: $0 [--arch win32|win64] [--prefix DIR] PROGRAM [ARGUMENTS...] | --check" >&2
  exit 2
}

arch=
prefix=${WINEPREFIX:-$PWD/wine-prefix}
while [ $# -ge 2 ]; do
  case $1 in
    --arch) arch=$2; shift 2 ;;
    --prefix) prefix=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || usage
case $prefix in /*) ;; *) prefix=$PWD/$prefix ;; esac

# The architecture of a PE file: its machine field, 0x14c for i386 and
# 0x8664 for x86-64, follows the "PE\0\0" signature that offset 0x3c points to.
pe_arch() {
  local offset machine
  offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 1
  [ -n "$offset" ] || return 1
  machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
  case $machine in
    014c) echo win32 ;;
    8664) echo win64 ;;
    *) return 1 ;;
  esac
}

if [ -z "$arch" ]; then
  [ "$1" != --check ] && [ -f "$1" ] && arch=$(pe_arch "$1")
  [ -n "$arch" ] || { echo "$0: say --arch win32 or win64 for $1" >&2; exit 2; }
fi
case $arch in
  win32) bits=32; loader_name=wine ;;
  win64) bits=64; loader_name=wine64 ;;
  *) usage ;;
esac

# Debian keeps each loader under /usr/lib/wine; /usr/bin/wine picks the
# 32-bit one whenever it is installed, so the 64-bit one is called directly.
# Elsewhere the loaders are on PATH under the same names.
loader=/usr/lib/wine/$loader_name
[ -x "$loader" ] || loader=$(command -v "$loader_name" 2>/dev/null) || loader=

export WINEPREFIX=$prefix
export WINEARCH=$arch
export WINELOADER=$loader  # what Wine starts further Windows programs with
export WINEDEBUG=${WINEDEBUG:--all}  # quiet, unless asked otherwise
# No Mono or Gecko: creating or updating a prefix would otherwise offer to
# download them, in a dialog that waits for an answer.
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

# Why this Wine cannot be used here, or nothing when it may be.
wine_missing() {
  if [[ " ${CDSTART_WINE_UNAVAILABLE:-} " == *" $arch "* ]]; then
    echo "$bits-bit Wine is switched off by CDSTART_WINE_UNAVAILABLE"
  elif [ -z "$loader" ]; then
    if [ $bits = 32 ] && [ -x /usr/lib/wine/wine64 ]; then
      echo "32-bit Wine is not installed (Debian: wine32:i386)"
    else
      echo "$bits-bit Wine ($loader_name) is not installed"
    fi
  fi
}

# Why the loader itself cannot start (a kernel without 32-bit support says
# "Exec format error"), or nothing when it starts.
loader_broken() {
  local out
  out=$("$loader" --version 2>&1) && return 0
  # Without the shell's own "script: line N:" in front.
  printf '%s\n' "$out" | tail -n 1 | sed 's/^.*: line [0-9]*: //'
}

# Creates the prefix once; parallel runs wait for the first one to finish.
ensure_prefix() {
  local stamp=$prefix/.cdstart-ready log
  [ -f "$stamp" ] && return 0
  mkdir -p "$(dirname "$prefix")" || return 1
  exec {lock}>"$prefix.lock" || return 1
  flock "$lock"
  if [ ! -f "$stamp" ]; then
    log=$(timeout 300 "$loader" wineboot -i 2>&1 && timeout 60 wineserver -w 2>&1)
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
  timeout 60 "$loader" cmd.exe /c exit 0 </dev/null >/dev/null 2>&1
}

if [ "$1" = "--check" ]; then
  reason=$(wine_missing)
  [ -z "$reason" ] || { echo "$reason"; exit 1; }
  reason=$(loader_broken)
  [ -z "$reason" ] || { echo "$reason"; exit 1; }
  if ! err=$(ensure_prefix 2>&1); then
    echo "${err:-cannot create the Wine prefix $prefix}"
    exit 1
  fi
  start_session
  # A program of Wine's own, so that the answer does not depend on ours.
  out=$(timeout 60 "$loader" cmd.exe /c exit 7 2>&1)
  rc=$?
  if [ $rc -ne 7 ]; then
    echo "$bits-bit Wine cannot run a program (exit $rc): $(printf '%s\n' "$out" | tail -n 1)"
    exit 1
  fi
  exit 0
fi

reason=$(wine_missing)
[ -n "$reason" ] || reason=$(loader_broken)
[ -z "$reason" ] || { echo "$0: $reason" >&2; exit 127; }
ensure_prefix || exit 127
start_session

# The program writes into files, which are handed on when it ends, rather
# than into the caller's pipes: should it start the session after all (the
# last one ended just now), Wine's background processes inherit what it was
# given and would keep a pipe open, and the caller waiting, until that
# session ends. A signal that ends this script ends the program too.
output=$(mktemp -d "${TMPDIR:-/tmp}/wine_run-XXXXXX") || exit 127
"$loader" "$@" >"$output/out" 2>"$output/err" 0<&0 &
program=$!
trap 'kill -TERM "$program" 2>/dev/null' TERM INT HUP
while :; do
  wait "$program"
  rc=$?
  kill -0 "$program" 2>/dev/null || break
done
cat "$output/out"
cat "$output/err" >&2
rm -rf "$output"
exit $rc
