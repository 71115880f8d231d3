#!/bin/bash
# Lays out a sample medium under the build folder and opens the start menu
# on it. Without a display it shows the menu on a private X server and saves
# a screenshot, BUILD-FOLDER/demo.png. Usage: tools/demo.sh [BUILD-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
medium="$build/demo-medium"

# The sample product (stand-in installers that say where they ran, two
# small real PDF documents) beside the program.
rm -rf "$medium"
mkdir -p "$medium"
cp -R sample_product/. "$medium/"
cp "$build/cdstart" "$medium/cdstart"

echo "sample medium: $medium"
if [ -n "${DISPLAY:-}" ]; then
  exec "$medium/cdstart"
fi

# No display: show the menu on a private X server, framed by a window
# manager as on a desktop, and keep a screenshot of it.
tools/install_deps.sh demo
screenshot="$build/demo.png"
work=$(mktemp -d "${TMPDIR:-/tmp}/cdstart-demo-XXXXXX")
pids=()
finish() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap finish EXIT

Xvfb -displayfd 3 -screen 0 480x320x24 -br -nolisten tcp -noreset 3>"$work/display" \
  >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 200); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
[ -s "$work/display" ] || { echo "cannot start Xvfb: $(cat "$work/xvfb.log")" >&2; exit 1; }
export DISPLAY=":$(head -1 "$work/display")"
HOME=$work XDG_CONFIG_HOME=$work openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do  # a screenshot without a frame is better than none
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done

"$medium/cdstart" &
pids+=($!)
# Shown once the install button's face is painted at its place.
face_at() {  # face_at WINDOW X Y
  xwd -silent -id "$1" 2>/dev/null | xwdtopnm 2>/dev/null |
    pnmcut -left "$2" -top "$3" -width 1 -height 1 2>/dev/null | pnmtoplainpnm 2>/dev/null |
    grep -q '^212 208 200'
}
shown=false
for _ in $(seq 200); do
  window=$(xwininfo -name "CD-ROM Tarvolin" 2>/dev/null | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
  if [ -n "$window" ] && face_at "$window" 26 16; then
    shown=true
    break
  fi
  sleep 0.05
done
$shown || { echo "the menu did not appear on the private X server" >&2; exit 1; }
sleep 0.3  # the window manager's frame
xwd -silent -root | xwdtopnm 2>/dev/null | pnmtopng >"$screenshot"
echo "no display here, so the menu ran on a private X server (Xvfb): screenshot $screenshot"
echo "to use the menu live, run it where there is a display: $medium/cdstart"
echo "  (for example make demo in a desktop's terminal, or over ssh -X)"
