#!/bin/bash
# The size of the program as it would ship: stripped, pictures included.
# Usage: bench/size.sh BUILD-FOLDER
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
strip -o "$work/cdstart" "$1/cdstart"
size=$(stat -c %s "$work/cdstart")
echo "binary size      build/cdstart stripped $((size / 1024)) KB ($size bytes)       (goal < 300 KB)"
if [ -f "${1}-win32/cdstart.exe" ]; then
  size=$(stat -c %s "${1}-win32/cdstart.exe")
  echo "binary size      cdstart.exe stripped $((size / 1024)) KB ($size bytes)         (goal < 250 KB)"
fi
