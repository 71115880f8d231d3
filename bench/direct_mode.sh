#!/bin/bash
# Direct mode: from exec of cdstart on a medium without driver, manual or
# brochure until the installer has been exec'd and cdstart has exited,
# against the floor_spawn program doing the same start in the same run.
# Usage: bench/direct_mode.sh BUILD-FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cc -O2 -o "$work/floor_spawn" "$here/floor_spawn.c"
mkdir "$work/medium"
cp "$build/cdstart" "$work/medium/cdstart"
cp /bin/true "$work/medium/INST.EXE"   # the cheapest installer there is

# Direct mode never looks at DISPLAY, so it is left as it is.
hyperfine -N --warmup 50 --runs 500 --export-json "$work/times.json" \
  -n floor "$work/floor_spawn $work/medium $work/medium/INST.EXE" \
  -n cdstart "$work/medium/cdstart" >/dev/null

rss_kb=$(env -u DISPLAY /usr/bin/time -f %M "$work/medium/cdstart" 2>&1 >/dev/null | tail -1)
python3 - "$work/times.json" "$rss_kb" <<'PY'
import json, sys
runs = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
floor, ours = runs["floor"]["median"] * 1e3, runs["cdstart"]["median"] * 1e3
print(f"direct mode      cdstart {ours:6.2f} ms   floor {floor:6.2f} ms   ratio {ours / floor:4.2f}   (goal <= 1.5)")
print(f"direct mode RSS  {int(sys.argv[2]) / 1024:6.2f} MB peak                            (goal < 4 MB)")
PY
