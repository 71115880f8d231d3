#!/bin/bash
# Runs every benchmark and prints one figure a line.
# Usage: bench/run.sh [BUILD-FOLDER]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
for bench in "$here"/direct_mode.sh "$here"/menu_start.sh "$here"/size.sh; do
  "$bench" "$build"
done
