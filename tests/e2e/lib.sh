# Helpers for end-to-end tests: a private X server, medium folders, recording
# targets, and a tally that ends in "N passed, N failed".
set -u

E2E_PASSED=0
E2E_FAILED=0
E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/cdstart-e2e-XXXXXX")
XVFB_PID=
WM_PID=
E2E_CLEANUP=()  # commands that run at exit before the work folder goes

e2e_cleanup() {
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  local command
  for command in "${E2E_CLEANUP[@]}"; do eval "$command"; done
  pkill -f "$E2E_WORK/" 2>/dev/null
  rm -rf "$E2E_WORK"
}
trap e2e_cleanup EXIT

pass() { E2E_PASSED=$((E2E_PASSED + 1)); echo "ok   $1"; }
fail() { E2E_FAILED=$((E2E_FAILED + 1)); echo "FAIL $1${2:+: $2}"; }
check() {  # check NAME COMMAND...: passes when the command succeeds
  local name=$1; shift
  if "$@"; then pass "$name"; else fail "$name"; fi
}
finish() {
  if [ "$E2E_FAILED" -ne 0 ] && [ -s "$E2E_WORK/xvfb.log" ]; then
    echo "--- the X server's log:"
    tail -n 20 "$E2E_WORK/xvfb.log"
  fi
  echo "$E2E_PASSED passed, $E2E_FAILED failed"
  [ "$E2E_FAILED" -eq 0 ]
}

# Starts a private Xvfb on a display number it picks itself and exports
# DISPLAY for it.
start_x() {
  local size=${1:-1024x768x24} i number=
  exec {fd}>"$E2E_WORK/display"
  # -noreset: no server reset whenever the last client leaves, during which
  # new clients would be turned away.
  Xvfb -displayfd "$fd" -screen 0 "$size" -nolisten tcp -noreset >"$E2E_WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  exec {fd}>&-
  for i in $(seq 200); do
    number=$(head -1 "$E2E_WORK/display" 2>/dev/null)
    [ -n "$number" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  if [ -z "$number" ]; then
    echo "cannot start Xvfb: $(cat "$E2E_WORK/xvfb.log")" >&2
    return 1
  fi
  export DISPLAY=":$number"
  # Ready when a client gets through.
  for i in $(seq 200); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  echo "Xvfb on $DISPLAY takes no clients" >&2
  return 1
}

# Starts openbox, a real EWMH window manager, on the private X server, with
# its stock configuration (none of the user's), and waits until it manages
# the screen.
start_wm() {
  local i home="$E2E_WORK/wm-home"
  mkdir -p "$home"
  HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data \
    openbox --sm-disable >"$E2E_WORK/openbox.log" 2>&1 &
  WM_PID=$!
  for i in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    kill -0 "$WM_PID" 2>/dev/null || break
    sleep 0.05
  done
  echo "cannot start openbox: $(cat "$E2E_WORK/openbox.log")" >&2
  return 1
}

# The frame the window manager put around a window, in root coordinates;
# sets FX FY FW FH (the window itself without a window manager).
frame_geometry() {
  local x y width height left=0 right=0 top=0 bottom=0 extents info
  # (xdotool getwindowgeometry miscounts a window inside a frame.)
  info=$(xwininfo -id "$1")
  x=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info")
  y=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")
  width=$(sed -n 's/^ *Width: *//p' <<<"$info")
  height=$(sed -n 's/^ *Height: *//p' <<<"$info")
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ,)
  [ -n "$extents" ] && read -r left right top bottom <<<"$extents"
  FX=$((x - left)) FY=$((y - top)) FW=$((width + left + right)) FH=$((height + top + bottom))
}

# What the window manager lets the user do with a window: one
# _NET_WM_ACTION_... name a line.
allowed_actions() {
  xprop -id "$1" _NET_WM_ALLOWED_ACTIONS | sed -n 's/.*= //p' | tr -d ' ' | tr , '\n'
}

# The given windows from the top of the screen's stack down.
stacking() { "$TOOLS/xstack" "$@"; }
active_window() { xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*# //p'; }
# Whether two window ids, decimal or hexadecimal, name the same window.
same_window() { [ -n "$1" ] && [ -n "$2" ] && [ $(($1)) -eq $(($2)) ]; }

# A fresh medium folder holding a copy of the program, named
# $MEDIUM_PROGRAM (cdstart unless set); prints its path. Extra arguments
# are folder names to nest it in (odd names welcome).
new_medium() {
  local dir
  dir=$(mktemp -d "$E2E_WORK/medium-XXXXXX")
  for part in "$@"; do dir="$dir/$part"; done
  mkdir -p "$dir"
  cp "$CDSTART" "$dir/${MEDIUM_PROGRAM:-cdstart}"
  printf '%s\n' "$dir"
}

# An executable target that records, one file per start, its working folder
# and arguments: record_target PATH RECORD-FOLDER
record_target() {
  mkdir -p "$2"
  cat >"$1" <<SCRIPT
#!/bin/sh
out=\$(mktemp "$2/start-XXXXXX")
{ pwd; for a in "\$0" "\$@"; do printf 'arg=%s\n' "\$a"; done; } >"\$out"
SCRIPT
  chmod +x "$1"
}

# Waits until the folder holds N records (or 20 s pass); prints the count.
wait_records() {
  local i
  for i in $(seq 400); do
    [ "$(ls "$1" 2>/dev/null | wc -l)" -ge "$2" ] && break
    sleep 0.05
  done
  ls "$1" 2>/dev/null | wc -l
}

# Waits for the window titled "CD-ROM Tarvolin" of the given process; prints its id.
wait_window() {
  local pid=$1 title=${2:-CD-ROM Tarvolin} i id
  for i in $(seq 200); do
    id=$(xdotool search --all --pid "$pid" --onlyvisible --name "^$title\$" 2>/dev/null | head -1)
    [ -n "$id" ] && { printf '%s\n' "$id"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}

# Waits for a background job of this shell to end (up to 10 s) and sets
# EXIT_CODE to its exit code, or to "running" after killing it. Not for $(...):
# only this shell can wait for its own children.
wait_exit() {
  local pid=$1 i
  for i in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    wait "$pid" 2>/dev/null
    EXIT_CODE=running
    return
  fi
  wait "$pid"
  EXIT_CODE=$?
}

pixel() { "$TOOLS/xpixel" "$@"; }

# Starts the menu on a medium (its program named cdstart unless given);
# sets PID and WIN once its window is painted (the install button's face
# shows at its place).
start_menu() {
  "$1/${2:-cdstart}" &
  PID=$!
  WIN=$(wait_window "$PID") || return 1
  local i
  for i in $(seq 100); do
    [ "$(pixel "$WIN" 26 16)" = D4D0C8 ] && return 0
    sleep 0.05
  done
  return 1
}
stop_menu() { kill "$PID" 2>/dev/null; wait "$PID" 2>/dev/null; }
