#!/bin/bash
# The size of the program as it would ship: stripped, pictures included.
# Usage: bench/size.sh BUILD-FOLDER
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
strip -o "$work/cdstart" "$1/cdstart"
size=$(stat -c %s "$work/cdstart")
echo "binary size      build/cdstart stripped $((size / 1024)) KB ($size bytes)       (goal < 300 KB)"
# The Windows programs are linked stripped; the 32-bit one is what ships.
for bits in 32 64; do
  [ -f "${1}-win$bits/cdstart.exe" ] || continue
  size=$(stat -c %s "${1}-win$bits/cdstart.exe")
  echo "binary size      cdstart.exe ($bits-bit) stripped $((size / 1024)) KB ($size bytes)  (goal <= 250 KB)"
done
