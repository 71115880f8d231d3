#!/bin/bash
# The start menu window as a person meets it on a real X server: which
# buttons show, what clicks and keys do, how it resizes.
# Usage: window_e2e.sh CDSTART TOOL-FOLDER (holding xclose and xpixel)
CDSTART=$1
TOOLS=$2
. "$(dirname "$0")/lib.sh"

FACE=D4D0C8  # the button-face colour
# Client-area rectangles: left top width height.
declare -A BUTTON=(
  [BitBtn15]="10 170 131 36" [BB_PRG_INST]="20 10 346 56" [BB_NET_INST]="20 75 346 36"
  [BB_HANDBUCH]="20 120 346 36" [BB_PROSPEKT]="150 170 216 36"
  [BB_PRG_INST_WIDER]="366 10 346 56")  # where a stretched install button would reach

# A point inside a button's face, clear of its glyph, caption and focus mark.
face_point() { set -- ${BUTTON[$1]}; echo "$(($1 + 6)) $(($2 + 6))"; }
centre() { set -- ${BUTTON[$1]}; echo "$(($1 + $3 / 2)) $(($2 + $4 / 2))"; }
shows_button() { [ "$(pixel "$1" $(face_point "$2"))" = "$FACE" ]; }
# Seen, and not a button: the picture shows there.
shows_no_button() {
  local seen
  seen=$(pixel "$1" $(face_point "$2")) && [[ $seen =~ ^[0-9A-F]{6}$ ]] && [ "$seen" != "$FACE" ]
}
click_at() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
click_button() { click_at "$1" $(centre "$2"); }


start_x || exit 1

# Which buttons a medium gets.
check_buttons() {  # check_buttons NAME "FILES" "VISIBLE BUTTONS"
  local medium name=$1 files=$2 visible=$3 button
  medium=$(new_medium)
  for f in $files; do echo "%PDF-1.4" >"$medium/$f"; done
  if ! start_menu "$medium"; then fail "$name: the window appears"; stop_menu; return; fi
  for button in BitBtn15 BB_PRG_INST BB_NET_INST BB_HANDBUCH BB_PROSPEKT; do
    if [[ " $visible " == *" $button "* ]]; then
      check "$name: $button shows" shows_button "$WIN" "$button"
    else
      check "$name: $button leaves an empty place" shows_no_button "$WIN" "$button"
    fi
  done
  stop_menu
}
# What the window tells the window manager, and where it first appears.
medium=$(new_medium)
touch "$medium/Handbuch.pdf"
if start_menu "$medium"; then
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  check "the window is 385 x 218 inside" test "${WIDTH}x$HEIGHT" = 385x218
  check "the window is centred on the screen" test "$X,$Y" = "$(((1024 - 385) / 2)),$(((768 - 218) / 2))"
  props=$(xprop -id "$WIN" _NET_WM_WINDOW_TYPE WM_CLASS WM_NAME 2>/dev/null)
  check "it is a utility (tool) window" grep -q '_NET_WM_WINDOW_TYPE_UTILITY' <<<"$props"
  check "its caption is CD-ROM Tarvolin" grep -q 'WM_NAME.*"CD-ROM Tarvolin"' <<<"$props"
  check "it carries the application title" grep -q 'WM_CLASS.*"QUENDAL"' <<<"$props"
  icons=$(xprop -id "$WIN" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | sort -u | tr '\n' ' ')
  check "it carries the CD icon at 32 and 16 pixels" test "$icons" = "Icon (16 x 16) Icon (32 x 32) "
else
  fail "the menu window appears"
fi
stop_menu

# A mouse resting on a button shows its tooltip; each button its own.
tooltip_width() {  # tooltip_width BUTTON: the width of the tooltip window that appears
  local id i
  xdotool mousemove --window "$WIN" 300 205 sleep 0.6  # off every button first
  xdotool mousemove --window "$WIN" $(centre "$1") sleep 0.1 mousemove_relative 2 2
  for i in $(seq 60); do
    id=$(xdotool search --all --pid "$PID" --onlyvisible 2>/dev/null | grep -vx "$WIN" | head -1)
    [ -n "$id" ] && { xwininfo -id "$id" | sed -n 's/^ *Width: //p'; return; }
    sleep 0.05
  done
  echo none
}
medium=$(new_medium)
touch "$medium/NetClient.EXE" "$medium/Handbuch.pdf" "$medium/Prospekt.pdf"
if start_menu "$medium"; then
  declare -A tip=()
  for button in BB_PRG_INST BB_NET_INST BB_HANDBUCH BB_PROSPEKT; do
    tip[$button]=$(tooltip_width "$button")
    check "$button shows a tooltip" test "${tip[$button]}" != none
  done
  check "the tooltips differ" test "$(printf '%s\n' "${tip[@]}" | sort -u | wc -l)" -ge 3
else
  fail "the menu window appears"
fi
stop_menu

check_buttons "all three" "NetClient.EXE Handbuch.pdf Prospekt.pdf" \
  "BitBtn15 BB_PRG_INST BB_NET_INST BB_HANDBUCH BB_PROSPEKT"
check_buttons "only the brochure" "Prospekt.pdf" "BitBtn15 BB_PRG_INST BB_PROSPEKT"
check_buttons "only the driver" "NETCLIENT.EXE" "BitBtn15 BB_PRG_INST BB_NET_INST"

# Installers start from the medium folder, as often as they are clicked,
# and the window stays. A click where a hidden button would be starts nothing.
medium=$(new_medium "CD ROM \$(x) 'q'")
record_target "$medium/INST.EXE" "$E2E_WORK/rec-inst"
record_target "$medium/NetClient.EXE" "$E2E_WORK/rec-net"
if start_menu "$medium"; then
  click_button "$WIN" BB_PRG_INST
  check "installer starts on click" test "$(wait_records "$E2E_WORK/rec-inst" 1)" -eq 1
  click_button "$WIN" BB_PRG_INST
  check "installer starts again on a second click" test "$(wait_records "$E2E_WORK/rec-inst" 2)" -eq 2
  click_button "$WIN" BB_NET_INST
  check "driver installer starts on click" test "$(wait_records "$E2E_WORK/rec-net" 1)" -eq 1
  check "installer runs in the medium folder" \
    test "$(head -1 "$(ls -d "$E2E_WORK"/rec-inst/* | head -1)")" = "$medium"
  check "driver installer runs in the medium folder" \
    test "$(head -1 "$E2E_WORK"/rec-net/*)" = "$medium"
  click_button "$WIN" BB_HANDBUCH  # hidden: no manual on this medium
  xdotool click --window "$WIN" 3 >/dev/null 2>&1; xdotool key Escape
  check "the window stays open after launches" kill -0 "$PID"
  check "the window still shows its buttons" shows_button "$WIN" BB_PRG_INST
else
  fail "the menu window appears"
fi
stop_menu

# "Programm installieren" without an installer: nothing visible happens.
medium=$(new_medium)
touch "$medium/Handbuch.pdf"
if start_menu "$medium"; then
  before=$(pixel "$WIN" $(face_point BB_PRG_INST) $(face_point BitBtn15) 200 100)
  click_button "$WIN" BB_PRG_INST
  sleep 0.3
  check "a missing installer leaves the window open" kill -0 "$PID"
  check "a missing installer leaves the window as it was" \
    test "$(pixel "$WIN" $(face_point BB_PRG_INST) $(face_point BitBtn15) 200 100)" = "$before"
else
  fail "the menu window appears"
fi
stop_menu

# Documents open through the real xdg-open, with a PDF viewer of the test's own.
export XDG_CONFIG_HOME="$E2E_WORK/config" XDG_DATA_HOME="$E2E_WORK/data"
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID BROWSER
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications"
record_target "$E2E_WORK/viewer" "$E2E_WORK/rec-viewer"
cat >"$XDG_DATA_HOME/applications/cdstart-test-viewer.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Test PDF viewer
Exec=$E2E_WORK/viewer %f
MimeType=application/pdf;
DESKTOP
printf '[Default Applications]\napplication/pdf=cdstart-test-viewer.desktop\n' \
  >"$XDG_CONFIG_HOME/mimeapps.list"
medium=$(new_medium "Medium mit Leerzeichen")
printf '%%PDF-1.4\n%%%%EOF\n' >"$medium/HANDBUCH.PDF"
printf '%%PDF-1.4\n%%%%EOF\n' >"$medium/Prospekt.pdf"
if start_menu "$medium"; then
  click_button "$WIN" BB_HANDBUCH
  check "the manual opens in the PDF viewer" test "$(wait_records "$E2E_WORK/rec-viewer" 1)" -eq 1
  check "the viewer gets the manual as it lies on the medium" \
    grep -qxF "arg=$medium/HANDBUCH.PDF" "$E2E_WORK"/rec-viewer/*
  rm "$E2E_WORK"/rec-viewer/*
  click_button "$WIN" BB_PROSPEKT
  check "the brochure opens in the PDF viewer" test "$(wait_records "$E2E_WORK/rec-viewer" 1)" -eq 1
  check "the viewer gets the brochure" grep -qxF "arg=$medium/Prospekt.pdf" "$E2E_WORK"/rec-viewer/*
  check "the window stays open after opening documents" kill -0 "$PID"
else
  fail "the menu window appears"
fi
stop_menu

# Ending the program: Enter at once (the focus starts on "Beenden"), Alt+B,
# and the close box.
end_with() {  # end_with NAME COMMAND...
  local name=$1 medium; shift
  medium=$(new_medium)
  touch "$medium/Prospekt.pdf"
  if ! start_menu "$medium"; then fail "$name: the window appears"; stop_menu; return; fi
  "$@"
  wait_exit "$PID"
  check "$name ends the program with 0" test "$EXIT_CODE" = 0
}
end_with "Enter right after the window appears" \
  eval 'xdotool windowfocus --sync $WIN; xdotool key Return'
end_with "Alt+B" eval 'xdotool windowfocus --sync $WIN; xdotool key alt+b'
end_with "the close box" eval '"$TOOLS/xclose" $WIN'
end_with "a click on Beenden" eval 'click_button $WIN BitBtn15'

# Twice as wide: the picture fills the new width, the buttons stay put.
medium=$(new_medium)
touch "$medium/Prospekt.pdf"
if start_menu "$medium"; then
  xdotool windowmove --sync "$WIN" 0 0  # all of it on the screen, to be seen
  xdotool windowsize --sync "$WIN" 770 218
  for i in $(seq 100); do
    [ "$(xdotool getwindowgeometry "$WIN" | grep -c 770x218)" -eq 1 ] && break
    sleep 0.05
  done
  sleep 0.3
  right=$(pixel "$WIN" 700 5 760 100 600 210)
  check "the picture reaches the new right edge" \
    test "$(grep -cvxE "$FACE|outside" <<<"$right")" -eq 3
  check "the buttons keep their places" shows_button "$WIN" BB_PRG_INST
  check "the buttons keep their sizes" shows_no_button "$WIN" BB_PRG_INST_WIDER
else
  fail "the menu window appears"
fi
stop_menu

finish
