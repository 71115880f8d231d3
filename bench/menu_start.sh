#!/bin/bash
# The menu on a private X server (no window manager): from exec until its
# window is mapped and until it is painted, against a minimal Xlib client
# mapping a window of the same size and a minimal Xft client that also draws
# one line of text, all in the same run; the click on "Programm installieren"
# until the installer runs; peak RSS. Medians over RUNS runs (default 21).
# Usage: bench/menu_start.sh BUILD-FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
runs=${RUNS:-21}
work=$(mktemp -d)
xvfb=
trap '[ -n "$xvfb" ] && kill $xvfb; rm -rf "$work"' EXIT

cc -O2 -o "$work/x_probe" "$here/x_probe.c" -lX11 -lXtst
cc -O2 -o "$work/floor_xlib" "$here/floor_xlib.c" -lX11
cc -O2 -o "$work/floor_xft" "$here/floor_xft.c" $(pkg-config --cflags --libs xft x11)
mkdir "$work/medium"
cp "$build/cdstart" "$work/medium/cdstart"
cc -O2 -o "$work/medium/INST.EXE" "$here/stamp.c"
touch "$work/medium/Handbuch.pdf"

exec {fd}>"$work/display"
Xvfb -displayfd "$fd" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
exec {fd}>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -1 "$work/display")"

# Painted: the window's face shows at a point that every client paints last.
for _ in $(seq "$runs"); do
  "$work/x_probe" --expect 5 5 D4D0C8 -- "$work/floor_xlib" | sed 's/^/xlib /'
  "$work/x_probe" --expect 0 0 000000 --expect 5 5 D4D0C8 -- "$work/floor_xft" | sed 's/^/xft /'
  "$work/x_probe" --expect 26 16 D4D0C8 --click 193 38 --stamp "$work/medium/stamp" \
    -- "$work/medium/cdstart" | sed 's/^/cdstart /'
done >"$work/results"

python3 - "$work/results" <<'PY'
import statistics, sys
rows = {}
for line in open(sys.argv[1]):
    name, *fields = line.split()
    values = dict(f.split("=") for f in fields)
    for key, value in values.items():
        rows.setdefault((name, key), []).append(int(value))
m = {key: statistics.median(values) for key, values in rows.items()}
ms = lambda us: f"{us / 1000:6.2f} ms"
print(f"menu mapped      cdstart {ms(m['cdstart', 'mapped'])}   xlib floor {ms(m['xlib', 'mapped'])}"
      f"   ratio {m['cdstart', 'mapped'] / m['xlib', 'mapped']:4.2f}")
print(f"menu painted     cdstart {ms(m['cdstart', 'painted'])}   xft floor  {ms(m['xft', 'painted'])}"
      f"   ratio {m['cdstart', 'painted'] / m['xft', 'painted']:4.2f}   (goal <= 2)")
print(f"click to start   cdstart {ms(m['cdstart', 'click_to_start'])}"
      f"                                   (goal < 5 ms)")
print(f"menu RSS         {m['cdstart', 'hwm_kb'] / 1024:6.2f} MB peak   xft floor "
      f"{m['xft', 'hwm_kb'] / 1024:5.2f} MB                (goal < 15 MB)")
PY
