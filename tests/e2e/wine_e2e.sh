#!/bin/bash
# The Windows program under Wine on a private X server, driven with real
# input: the direct start, the menu and its buttons, documents, keys, the
# context menu and the About box.
# Usage: wine_e2e.sh CDSTART.EXE TOOL-FOLDER WINE-RUN WINE-ARCH WINE-PREFIX (see wine_lib.sh)
. "$(dirname "$0")/wine_lib.sh"

# Direct mode needs no display at all.
unset DISPLAY
for nest in plain "CD ROM ; \$(x) & 'q'"; do
  medium=$(new_medium "$nest")
  cp "$TOOLS/win_recorder.exe" "$medium/inst.exe"
  wine_run "$medium/cdstart.exe" >"$E2E_WORK/out" 2>&1
  code=$?
  check "direct mode exits 0 ($nest)" test "$code" -eq 0
  check "direct mode starts the installer once ($nest)" test "$(wait_started "$medium" 1)" -eq 1
  check "the installer runs in the medium folder ($nest)" \
    grep -qxF "cwd=$(windows_path "$medium")" "$medium"/started-*.txt
done
medium=$(new_medium)
wine_run "$medium/cdstart.exe" >/dev/null 2>&1
check "a missing installer exits 3" test $? -eq 3

end_wine_session
start_x || exit 1

# Which buttons show, for markers in any letter case.
for case in "NetClient.EXE|Netzwerkarbeitsplatztreiber installieren|" \
            "handbuch.PDF|Handbuch lesen|" "PROSPEKT.PDF|Prospekt lesen|"; do
  marker=${case%%|*}
  extra=${case#*|}
  medium=$(new_medium)
  echo x >"$medium/$marker"
  if start_menu "$medium"; then
    pass "the menu appears for $marker"
    expected=$(printf '%s\n' "&Beenden" "Programm installieren" "${extra%|}" | sort | tr '\n' '|')
    shown=$(visible_buttons)
    check "only the buttons of present files show ($marker)" test "$shown" = "$expected"
    [ "$shown" = "$expected" ] || echo "     shown: $shown, expected: $expected"
    check "the focus starts on Beenden ($marker)" \
      eval "probe 'CD-ROM Tarvolin' | grep -q 'focus=&Beenden'"
  else
    fail "the menu appears for $marker"
  fi
  stop_menu
done

# The install buttons start their programs from the medium folder, again and again.
medium=$(new_medium "Medium mit Leerzeichen")
cp "$TOOLS/win_recorder.exe" "$medium/INST.EXE"
cp "$TOOLS/win_recorder.exe" "$medium/NetClient.EXE"
if start_menu "$medium"; then
  click "CD-ROM Tarvolin" "Programm installieren"
  check "a click on Programm installieren starts the installer" test "$(wait_started "$medium" 1)" -eq 1
  click "CD-ROM Tarvolin" "Programm installieren"
  check "a second click starts it again" test "$(wait_started "$medium" 2)" -eq 2
  click "CD-ROM Tarvolin" "Netzwerkarbeitsplatztreiber installieren"
  check "a click on the driver button starts the driver installer" \
    test "$(wait_started "$medium" 3)" -eq 3
  check "the driver installer runs in the medium folder" \
    grep -qF "NetClient.EXE" "$medium"/started-*.txt
  check "every start ran in the medium folder" \
    test "$(grep -lxF "cwd=$(windows_path "$medium")" "$medium"/started-*.txt | wc -l)" -eq 3
  check "the window stays open" wait_for "CD-ROM Tarvolin"
else
  fail "the menu window appears"
fi
stop_menu

# Documents open with the program associated with them.
viewer=$(windows_path "$TOOLS/win_recorder.exe")
wine_run reg add 'HKLM\Software\Classes\.pdf' /ve /d cdstart.testpdf /f >/dev/null 2>&1
wine_run reg add 'HKLM\Software\Classes\cdstart.testpdf\shell\open\command' /ve \
  /d "\"$viewer\" \"%1\"" /f >/dev/null 2>&1
medium=$(new_medium)
echo '%PDF-1.4' >"$medium/Handbuch.pdf"
echo '%PDF-1.4' >"$medium/Prospekt.pdf"
if start_menu "$medium"; then
  click "CD-ROM Tarvolin" "Handbuch lesen"
  check "Handbuch lesen opens the manual" test "$(wait_started "$medium" 1)" -eq 1
  click "CD-ROM Tarvolin" "Prospekt lesen"
  check "Prospekt lesen opens the brochure" test "$(wait_started "$medium" 2)" -eq 2
  check "the viewer was given the manual" grep -qF 'Handbuch.pdf' "$medium"/started-*.txt
  check "the viewer was given the brochure" grep -qF 'Prospekt.pdf' "$medium"/started-*.txt
else
  fail "the menu window appears"
fi
stop_menu

# Ending: Enter at once, Alt+B, the close box, Beenden, and the menu's Ende.
end_with() {  # end_with NAME COMMAND...
  local name=$1 medium window
  shift
  medium=$(new_medium)
  touch "$medium/Prospekt.pdf"
  if ! start_menu "$medium"; then fail "$name: the menu appears"; stop_menu; return; fi
  WIN=$(xdotool search --name '^CD-ROM Tarvolin$' | head -1)
  "$@"
  wait_exit "$PID"
  check "$name ends the program with 0" test "$EXIT_CODE" = 0
  [ "$EXIT_CODE" = running ] && wine_run taskkill /f /im cdstart.exe >/dev/null 2>&1
}
end_with "Enter right after the window appears" eval 'xdotool windowfocus --sync $WIN key Return'
end_with "Alt+B" eval 'xdotool windowfocus --sync $WIN key alt+b'
end_with "the close box" eval '"$E2E_WORK/xclose" $WIN'
end_with "a click on Beenden" click "CD-ROM Tarvolin" "&Beenden"
picture_point() {  # a screen point right of the buttons, where the picture shows
  read -r _ x y _ <<<"$(probe "CD-ROM Tarvolin" | grep '^window')"
  echo "$((x + 375)) $((y + 100))"
}
end_with "Ende in the context menu" \
  eval 'xdotool mousemove $(picture_point) sleep 0.2 click 3; sleep 0.5; xdotool key Down Down Return'

# The About box: modal, on top, Escape does nothing, Enter closes it.
medium=$(new_medium)
touch "$medium/Handbuch.pdf"
cp "$TOOLS/win_recorder.exe" "$medium/INST.EXE"
if start_menu "$medium"; then
  xdotool mousemove $(picture_point) sleep 0.2 click 3
  sleep 0.5
  xdotool key Down Return
  if wait_for "About"; then
    pass "Info shows the About box"
    about=$(probe "About")
    check "the About box stays on top" grep -q 'topmost=1' <<<"$about"
    check "the About box is focused on OK" grep -q 'focus=OK' <<<"$about"
    check "the main window takes no input meanwhile" \
      eval "probe 'CD-ROM Tarvolin' | grep -q 'enabled=0'"
    xdotool key Escape
    sleep 0.5
    check "Escape leaves the About box open" wait_for "About"
    xdotool key Return
    check "Enter closes the About box" wait_for "About" gone
    check "the main window takes input again" eval "probe 'CD-ROM Tarvolin' | grep -q 'enabled=1'"
  else
    fail "Info shows the About box"
  fi
else
  fail "the menu window appears"
fi
stop_menu

finish
