#!/bin/bash
# The menu under a real window manager (openbox with its stock settings):
# how it frames, places and stacks the two windows, where it sends the
# keyboard, and what its close box does.
# Usage: desktop_e2e.sh CDSTART TOOL-FOLDER (holding xpixel and xstack)
CDSTART=$1
TOOLS=$2
. "$(dirname "$0")/lib.sh"

PICTURE_SPOT="375 100"  # client point where only the picture shows
INSTALL="193 38"        # "Programm installieren"

start_x || exit 1
start_wm || exit 1

wait_until() {  # polls a command for up to 10 s
  local i
  for i in $(seq 200); do
    "$@" && return 0
    sleep 0.05
  done
  return 1
}

about_window() { xdotool search --all --pid "$PID" --onlyvisible --name '^About$' 2>/dev/null | head -1; }
about_shown() { [ -n "$(about_window)" ]; }
about_gone() { [ -z "$(about_window)" ]; }
menu_up() { xdotool search --all --pid "$PID" --onlyvisible 2>/dev/null | grep -qvx "$WIN"; }
open_about() {  # right click on the picture, then "Info"; sets ABOUT
  xdotool mousemove --window "$WIN" $PICTURE_SPOT click 3
  wait_until menu_up
  xdotool key Down Return
  wait_until about_shown && ABOUT=$(about_window) && wait_until framed "$ABOUT"
}
moved_from() { frame_geometry "$1"; [ "$FX,$FY" != "$2" ]; }
framed() { xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -q =; }

# The tool-window decoration, read from the actions the window manager
# allows (openbox draws a title bar button only for an allowed action) and
# from the type it took the window for: a utility window, with a close box
# and no full-screen mode, resizable only where the form is. Openbox itself
# offers minimise on every window, and maximise on every resizable one,
# whatever a program asks for.
tool_window() {  # tool_window WINDOW resizable|fixed
  local actions
  actions=$(allowed_actions "$1")
  xprop -id "$1" _OB_APP_TYPE | grep -q '= "utility"' || return 1
  grep -qx _NET_WM_ACTION_CLOSE <<<"$actions" || return 1
  grep -qx _NET_WM_ACTION_FULLSCREEN <<<"$actions" && return 1
  if [ "$2" = resizable ]; then
    grep -qx _NET_WM_ACTION_RESIZE <<<"$actions"
  else
    ! grep -qxE '_NET_WM_ACTION_(RESIZE|MAXIMIZE_HORZ|MAXIMIZE_VERT)' <<<"$actions"
  fi
}

# The frame as the user sees it is centred in the work area, to a pixel.
centred() {
  local sx sy sw sh dx dy
  read -r sx sy sw sh < <(xprop -root _NET_WORKAREA | sed -n 's/.*= //p' | tr -d , | cut -d' ' -f1-4)
  frame_geometry "$1"
  dx=$((FX - sx - (sw - FW) / 2)) dy=$((FY - sy - (sh - FH) / 2))
  [ "${dx#-}" -le 1 ] && [ "${dy#-}" -le 1 ]
}

# A left click on the frame: the title bar, or the close box at its right
# end (where openbox's stock theme puts it).
click_title_bar() { frame_geometry "$1"; xdotool mousemove $((FX + 60)) $((FY + 10)) click 1; }
click_close_box() { frame_geometry "$1"; xdotool mousemove $((FX + FW - 11)) $((FY + 10)) click 1; }

about_on_top() { [ "$(stacking "$WIN" "$ABOUT" | head -1)" = "$ABOUT" ]; }
about_active() { same_window "$(active_window)" "$ABOUT"; }

medium=$(new_medium)
touch "$medium/Handbuch.pdf"
record_target "$medium/INST.EXE" "$E2E_WORK/rec-inst"
if start_menu "$medium" && wait_until framed "$WIN"; then
  check "the main window is centred on the screen, frame and all" centred "$WIN"
  check "the main window gets the tool-window decoration" tool_window "$WIN" resizable

  if open_about; then
    pass "Info shows the About box"
    check "the About box is centred on the screen" centred "$ABOUT"
    check "the About box gets the fixed tool-window decoration" tool_window "$ABOUT" fixed
    check "the About box has the keyboard" wait_until about_active

    click_title_bar "$WIN"
    sleep 0.5
    check "a click on the main window's title bar leaves the About box on top" about_on_top
    check "and the keyboard with the About box" wait_until about_active
    xdotool windowraise "$WIN"
    sleep 0.5
    check "raising the main window leaves the About box on top" about_on_top
    xdotool windowactivate "$WIN" 2>/dev/null
    sleep 0.5
    check "activating the main window leaves the About box on top" about_on_top
    check "and the keyboard with the About box" wait_until about_active
    xdotool mousemove --window "$WIN" $INSTALL click 1
    sleep 0.3
    check "the main window takes no clicks meanwhile" test "$(wait_records "$E2E_WORK/rec-inst" 0)" -eq 0
    xdotool key Return  # wherever the window manager sends it
    check "Enter reaches the About box and closes it" wait_until about_gone
    check "the main window has the keyboard again" wait_until same_window "$(active_window)" "$WIN"
  else
    fail "Info shows the About box"
  fi

  if open_about; then
    frame_geometry "$ABOUT"
    xdotool windowmove "$ABOUT" 40 50
    check "the window manager moves the About box on request" wait_until moved_from "$ABOUT" "$FX,$FY"
    moved="$FX,$FY"
    click_close_box "$ABOUT"
    check "the close box closes the About box" wait_until about_gone
    check "and leaves the program running" kill -0 "$PID"
    xdotool mousemove --window "$WIN" $INSTALL click 1
    check "the main window takes clicks again" test "$(wait_records "$E2E_WORK/rec-inst" 1)" -eq 1
    if open_about; then
      frame_geometry "$ABOUT"
      check "the next showing keeps the place where the box was left" test "$FX,$FY" = "$moved"
      xdotool key Return
      wait_until about_gone
    else
      fail "Info shows the About box a third time"
    fi
  else
    fail "Info shows the About box a second time"
  fi

  click_close_box "$WIN"
  wait_exit "$PID"
  check "the close box ends the program with 0" test "$EXIT_CODE" = 0
else
  fail "the menu window appears, framed by the window manager"
fi
stop_menu

finish
