#!/bin/bash
# Runs clang-tidy with the project's .clang-tidy over the Linux sources
# under src/ (the Windows ones are checked by the cross-compiler's warnings).
# Usage: tools/tidy.sh [BUILD-FOLDER]
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
command -v clang-tidy >/dev/null || { echo "clang-tidy is not installed" >&2; exit 1; }
[ -f "$build/compile_commands.json" ] || cmake -S . -B "$build" >/dev/null
mapfile -t files < <(git ls-files 'src/*.cpp' | grep -v '/win32/')
if output=$(clang-tidy -p "$build" --quiet "${files[@]}" 2>&1); then
  echo "clang-tidy: ${#files[@]} files clean"
else
  grep -v 'warnings generated' <<<"$output"
  exit 1
fi
