# Helpers for the tests that drive the Windows program under Wine, on top of
# lib.sh. Every such test takes the same arguments:
#   CDSTART.EXE TOOL-FOLDER WINE-RUN WINE-ARCH WINE-PREFIX
# TOOL-FOLDER holds win_recorder.exe and win_probe.exe; WINE-ARCH (win32 or
# win64) is the program's, and the Wine prefix's, which is the test's own.
CDSTART=$1
TOOLS=$(cd "$2" && pwd)
WINE_RUN=$3
ARCH=$4
PREFIX=$5
MEDIUM_PROGRAM=cdstart.exe
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

wine_run() { "$WINE_RUN" --arch "$ARCH" --prefix "$PREFIX" "$@"; }
# Ends the prefix's Wine session, so that the next program starts one that
# sees the display as it is now.
end_wine_session() { WINEPREFIX=$PREFIX wineserver -k >/dev/null 2>&1; sleep 0.2; }
trap 'end_wine_session; e2e_cleanup' EXIT
end_wine_session
# Host programs: the close box's request, as a window manager sends it, and
# the colours a person sees on the screen.
for tool in xclose xpixel; do
  cc -O2 -o "$E2E_WORK/$tool" "$(dirname "${BASH_SOURCE[0]}")/../support/$tool.c" -lX11 || exit 1
done
screen_pixel() { "$E2E_WORK/xpixel" root "$@"; }
probe() { wine_run "$TOOLS/win_probe.exe" "$1" 2>/dev/null | tr -d '\r'; }
# Waits until the window titled $1 is shown (or, with "gone", no longer is).
wait_for() {
  local i
  for i in $(seq 100); do
    if [ "${2:-}" = gone ]; then
      probe "$1" | grep -q 'visible=1' || return 0
    else
      probe "$1" | grep -q 'visible=1' && return 0
    fi
    sleep 0.1
  done
  return 1
}
# The screen point at the centre of the control captioned $2 in window $1.
centre_of() {
  local info
  info=$(probe "$1")
  read -r _ x y _ <<<"$(grep '^window' <<<"$info")"
  grep -F -- " $2" <<<"$(grep '^child' <<<"$info")" | head -1 |
    awk -v x="$x" -v y="$y" '{print x + $3 + int($5 / 2), y + $4 + int($6 / 2)}'
}
click() { xdotool mousemove $(centre_of "$1" "$2") sleep 0.2 click 1; }
visible_buttons() {
  probe "CD-ROM Tarvolin" | awk '$1 == "child" && $2 == 1 {$1=$2=$3=$4=$5=$6=$7=""; sub(/^ */, ""); print}' |
    sort | tr '\n' '|'
}
records() { ls "$1"/started-*.txt 2>/dev/null | wc -l; }
wait_started() {  # wait_started FOLDER COUNT
  local i
  for i in $(seq 100); do [ "$(records "$1")" -ge "$2" ] && break; sleep 0.1; done
  records "$1"
}
start_menu() {
  wine_run "$1/cdstart.exe" &
  PID=$!
  wait_for "CD-ROM Tarvolin"
}
stop_menu() {
  local window
  window=$(xdotool search --name '^CD-ROM Tarvolin$' 2>/dev/null | head -1)
  [ -n "$window" ] && "$E2E_WORK/xclose" "$window"
  wait_exit "$PID"
  [ "$EXIT_CODE" = running ] && wine_run taskkill /f /im cdstart.exe >/dev/null 2>&1
  wait_for "CD-ROM Tarvolin" gone
}
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

