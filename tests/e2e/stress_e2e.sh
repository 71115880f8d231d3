#!/bin/bash
# The menu under a hail of clicks, and on a medium that changes under it.
# Usage: stress_e2e.sh CDSTART TOOL-FOLDER (holding xclose, xpixel and xcursor)
CDSTART=$1
TOOLS=$2
CLICKS=${CLICKS:-200}
. "$(dirname "$0")/lib.sh"

INSTALL="193 38"  # "Programm installieren"
MANUAL="193 138"  # "Handbuch lesen"

descriptors() { ls "/proc/$1/fd" | wc -l; }
children() { ps -o pid= --ppid "$1" | wc -l; }

start_x || exit 1

# A target that takes its time after it has started.
slow_target() {  # slow_target PATH RECORD-FOLDER
  mkdir -p "$2"
  cat >"$1" <<SCRIPT
#!/bin/sh
mktemp "$2/start-XXXXXX" >/dev/null
sleep 2
SCRIPT
  chmod +x "$1"
}

export XDG_CONFIG_HOME="$E2E_WORK/config" XDG_DATA_HOME="$E2E_WORK/data"
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION BROWSER
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications"
slow_target "$E2E_WORK/viewer" "$E2E_WORK/rec-viewer"
printf '[Desktop Entry]\nType=Application\nName=Viewer\nExec=%s %%f\nMimeType=application/pdf;\n' \
  "$E2E_WORK/viewer" >"$XDG_DATA_HOME/applications/cdstart-test-viewer.desktop"
printf '[Default Applications]\napplication/pdf=cdstart-test-viewer.desktop\n' \
  >"$XDG_CONFIG_HOME/mimeapps.list"

medium=$(new_medium)
slow_target "$medium/INST.EXE" "$E2E_WORK/rec-inst"
printf '%%PDF-1.4\n%%%%EOF\n' >"$medium/Handbuch.pdf"
if start_menu "$medium"; then
  xdotool mousemove --window "$WIN" 300 200  # the picture, away from the buttons
  sleep 0.2
  cursor_before=$("$TOOLS/xcursor")
  fds_before=$(descriptors "$PID")

  xdotool mousemove --window "$WIN" $INSTALL click --repeat "$CLICKS" --delay 15 1
  check "$CLICKS clicks on Programm installieren start it $CLICKS times" \
    test "$(wait_records "$E2E_WORK/rec-inst" "$CLICKS")" -eq "$CLICKS"
  xdotool mousemove --window "$WIN" $MANUAL click --repeat "$CLICKS" --delay 15 1
  for _ in $(seq 600); do  # every xdg-open is a shell script; give them time
    [ "$(ls "$E2E_WORK/rec-viewer" | wc -l)" -ge "$CLICKS" ] && break
    sleep 0.1
  done
  check "$CLICKS clicks on Handbuch lesen open it $CLICKS times" \
    test "$(ls "$E2E_WORK/rec-viewer" | wc -l)" -eq "$CLICKS"
  sleep 1
  check "no more starts than clicks" \
    test "$(ls "$E2E_WORK/rec-inst" | wc -l)" -eq "$CLICKS" -a \
         "$(ls "$E2E_WORK/rec-viewer" | wc -l)" -eq "$CLICKS"

  check "the window is still there and painted" test "$(pixel "$WIN" 26 16)" = D4D0C8
  check "the menu's descriptors did not grow" test "$(descriptors "$PID")" -le "$fds_before"
  check "the menu has no child left, zombie or other" test "$(children "$PID")" -eq 0
  xdotool mousemove --window "$WIN" 300 200
  sleep 0.2
  check "the cursor is the default again" test "$("$TOOLS/xcursor")" = "$cursor_before"
  xdotool mousemove --window "$WIN" 75 188 click 1  # "Beenden"
  wait_exit "$PID"
  check "the menu still answers: Beenden ends it with 0" test "$EXIT_CODE" = 0
else
  fail "the menu window appears"
fi
stop_menu

# Files that vanish while the menu is open: the clicks fail quietly.
medium=$(new_medium)
record_target "$medium/INST.EXE" "$E2E_WORK/rec-vanish"
printf '%%PDF-1.4\n' >"$medium/Handbuch.pdf"
if start_menu "$medium"; then
  rm "$medium/INST.EXE" "$medium/Handbuch.pdf"
  xdotool mousemove --window "$WIN" $INSTALL click 1 mousemove --window "$WIN" $MANUAL click 1
  sleep 0.5
  check "clicks for vanished files start nothing" test "$(wait_records "$E2E_WORK/rec-vanish" 0)" -eq 0
  check "and leave the menu running" kill -0 "$PID"
  mkdir "$medium/INST.EXE"  # a folder where the installer was
  xdotool mousemove --window "$WIN" $INSTALL click 1
  sleep 0.3
  check "a folder in the installer's place starts nothing either" kill -0 "$PID"
else
  fail "the menu window appears"
fi
stop_menu

# A medium folder that becomes unreadable (seen by an ordinary user; root
# reads anything) and then disappears altogether.
chmod 755 "$E2E_WORK"
medium=$(new_medium)
chmod 755 "$(dirname "$medium")" "$medium"
record_target "$medium/INST.EXE" "$E2E_WORK/rec-unreadable"
chmod 777 "$E2E_WORK/rec-unreadable"
printf '%%PDF-1.4\n' >"$medium/Prospekt.pdf"
setpriv --reuid=65534 --regid=65534 --clear-groups "$medium/cdstart" &
PID=$!
if WIN=$(wait_window "$PID"); then
  chmod 000 "$medium"
  xdotool mousemove --window "$WIN" $INSTALL click 1
  sleep 0.5
  check "an unreadable medium starts nothing" test "$(wait_records "$E2E_WORK/rec-unreadable" 0)" -eq 0
  check "and the menu keeps running" kill -0 "$PID"
  chmod 755 "$medium"
  mv "$medium" "$medium.gone"
  xdotool mousemove --window "$WIN" $INSTALL click 1 mousemove --window "$WIN" 230 188 click 1
  sleep 0.5
  check "a medium that is gone starts nothing" test "$(wait_records "$E2E_WORK/rec-unreadable" 0)" -eq 0
  check "and the menu keeps running still" kill -0 "$PID"
else
  fail "the menu window appears for an ordinary user"
fi
stop_menu

finish
