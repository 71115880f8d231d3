#!/bin/bash
# The start menu's context menu and About box on a real X server.
# Usage: about_e2e.sh CDSTART TOOL-FOLDER (holding xclose and xpixel)
CDSTART=$1
TOOLS=$2
. "$(dirname "$0")/lib.sh"

PICTURE_SPOT="375 100"  # client point where only the picture shows
MENU_PROBE="12 8"       # where the first menu entry lies, from the click

start_x || exit 1

# The root pixels where a popup menu opened at client point X Y would show.
menu_area() {  # menu_area X Y
  local wx wy
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  wx=$((X + $1)) wy=$((Y + $2))
  set -- $MENU_PROBE
  pixel root $((wx + $1)) $((wy + $2)) $((wx + $1 + 20)) $((wy + $2 + 22))
}
about_window() { xdotool search --all --pid "$PID" --onlyvisible --name '^About$' 2>/dev/null | head -1; }
wait_about() {  # waits until the About box is shown (or gone, with "gone")
  local i
  for i in $(seq 100); do
    if [ "${1:-}" = gone ]; then [ -z "$(about_window)" ] && return 0
    else [ -n "$(about_window)" ] && return 0; fi
    sleep 0.05
  done
  return 1
}
# The mouse comes to rest on "Programm installieren" from elsewhere.
rest_on_install_button() {
  xdotool mousemove --window "$WIN" $PICTURE_SPOT sleep 0.6
  xdotool mousemove --window "$WIN" 193 38 sleep 0.1 mousemove_relative 2 2
}
# How many tooltips the program shows: its windows besides the two forms,
# counted once one appears or after a good while (FLTK waits a second).
tooltips() {
  local i count=0
  for i in $(seq 50); do
    count=$(xdotool search --all --pid "$PID" --onlyvisible 2>/dev/null |
            grep -cvxe "$WIN" -e "$(about_window)")
    [ "$count" -gt 0 ] && break
    sleep 0.05
  done
  echo "$count"
}
open_about() {  # right click on the picture, then "Info"
  xdotool mousemove --window "$WIN" $PICTURE_SPOT click 3
  sleep 0.3
  xdotool key Down Return
  wait_about
}

medium=$(new_medium)
touch "$medium/Handbuch.pdf"
record_target "$medium/INST.EXE" "$E2E_WORK/rec-inst"
if start_menu "$medium"; then
  xdotool windowmove --sync "$WIN" 100 100
  # Only a right click on the picture opens the menu.
  quiet=$(menu_area $PICTURE_SPOT)
  xdotool mousemove --window "$WIN" $PICTURE_SPOT click 1
  sleep 0.3
  check "a left click on the picture opens nothing" test "$(menu_area $PICTURE_SPOT)" = "$quiet"
  button_quiet=$(menu_area 100 30)
  xdotool mousemove --window "$WIN" 100 30 click 3
  sleep 0.3
  check "a right click on a button opens nothing" test "$(menu_area 100 30)" = "$button_quiet"
  check "a right click on a button starts nothing" test "$(wait_records "$E2E_WORK/rec-inst" 0)" -eq 0
  xdotool mousemove --window "$WIN" $PICTURE_SPOT click 3
  sleep 0.3
  check "a right click on the picture opens the menu" test "$(menu_area $PICTURE_SPOT)" != "$quiet"
  xdotool key Escape
  sleep 0.2

  # "Info" shows the About box, modal, focused on OK.
  check "Info shows the About box" open_about
  about=$(about_window)
  # Each label's whole text inside the box: its ink starts at the label,
  # runs as long as such a text must, and ends clear of the box's edge.
  for label in "Label1 65 10 20 80" "Label2 25 45 12 180" "Label3 60 70 12 150"; do
    read -r name left top height shortest <<<"$label"
    reach=$(pixel "$about" --ink 0 "$top" 274 "$height")
    check "$name shows its whole text inside the box" \
      test "$reach" -ge $((left + shortest)) -a "$reach" -le 270
  done
  # The OK glyph inside its button: no green on the button's frame.
  frame=()
  for ((i = 0; i < 161; i += 2)); do frame+=($((55 + i)) 105 $((55 + i)) 106 $((55 + i)) 128 $((55 + i)) 129); done
  for ((i = 0; i < 25; i += 2)); do frame+=(55 $((105 + i)) 56 $((105 + i)) 214 $((105 + i)) 215 $((105 + i))); done
  green=0
  while read -r colour; do
    r=$((16#${colour:0:2})) g=$((16#${colour:2:2})) b=$((16#${colour:4:2}))
    [ $g -gt $((r + 40)) ] && [ $g -gt $((b + 40)) ] && green=$((green + 1))
  done < <(pixel "$about" "${frame[@]}")
  check "the OK glyph stays inside its button's frame" test "$green" -eq 0
  xdotool mousemove --window "$WIN" 193 38 click 1  # "Programm installieren"
  sleep 0.3
  check "the main window takes no clicks while the box is up" \
    test "$(wait_records "$E2E_WORK/rec-inst" 0)" -eq 0
  rest_on_install_button
  check "a mouse resting on the blocked main window shows no tooltip" test "$(tooltips)" -eq 0
  xdotool windowfocus --sync "$about"
  xdotool key Escape
  sleep 0.3
  check "Escape leaves the About box open" test -n "$(about_window)"
  xdotool key space
  check "Space on the focused OK button closes the box" wait_about gone

  check "Info shows the box again" open_about
  about=$(about_window)
  xdotool windowmove --sync "$about" 40 50
  sleep 0.2
  xdotool windowfocus --sync "$about"
  xdotool key Return
  check "Enter closes the About box" wait_about gone
  rest_on_install_button
  check "the main window shows its tooltips again afterwards" test "$(tooltips)" -eq 1
  xdotool mousemove --window "$WIN" 193 38 click 1
  check "the main window takes clicks again afterwards" \
    test "$(wait_records "$E2E_WORK/rec-inst" 1)" -eq 1

  open_about
  about=$(about_window)
  eval "$(xdotool getwindowgeometry --shell "$about")"
  check "a second showing keeps the place where it was left" test "$X,$Y" = "40,50"
  "$TOOLS/xclose" "$about"
  check "the close box closes the About box" wait_about gone
  check "closing the box leaves the program running" kill -0 "$PID"
  open_about
  xdotool windowfocus --sync "$(about_window)"
  xdotool key space
  check "every showing is focused on OK: Space closes it again" wait_about gone
else
  fail "the menu window appears"
fi
stop_menu

# "Ende" ends the program; what it started keeps running.
medium=$(new_medium)
touch "$medium/Prospekt.pdf"
cat >"$medium/INST.EXE" <<SCRIPT
#!/bin/sh
touch "$E2E_WORK/installer-started"
exec sleep 30
SCRIPT
chmod +x "$medium/INST.EXE"
if start_menu "$medium"; then
  xdotool mousemove --window "$WIN" 193 38 click 1
  for i in $(seq 100); do [ -e "$E2E_WORK/installer-started" ] && break; sleep 0.05; done
  xdotool mousemove --window "$WIN" $PICTURE_SPOT click 3
  sleep 0.3
  xdotool key Down Down Return
  wait_exit "$PID"
  check "Ende ends the program with 0" test "$EXIT_CODE" = 0
  check "the installer it started keeps running" pgrep -f "sleep 30" >/dev/null
  pkill -f "sleep 30"
else
  fail "the menu window appears"
fi

finish
