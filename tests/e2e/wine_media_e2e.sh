#!/bin/bash
# The Windows program under Wine on media it may meet: folders named in any
# script, and a medium without its installer on a system that has an
# INST.EXE of its own elsewhere, which must never be started.
# Usage: wine_media_e2e.sh CDSTART.EXE TOOL-FOLDER WINE-RUN WINE-ARCH WINE-PREFIX (see wine_lib.sh)
. "$(dirname "$0")/wine_lib.sh"

NAMES=("Ωmega" "Дистрибутив" "日本語" "café")

# Direct mode under each name: the installer starts, from the medium folder.
unset DISPLAY
for name in "${NAMES[@]}"; do
  medium=$(new_medium "$name")
  cp "$TOOLS/win_recorder.exe" "$medium/INST.EXE"
  wine_run "$medium/cdstart.exe" >/dev/null 2>&1
  check "direct mode under $name starts the installer once" test "$(wait_started "$medium" 1)" -eq 1
  check "direct mode under $name runs it in the medium folder" \
    grep -qxF "cwd=$(windows_path "$medium")" "$medium"/started-*.txt
done

# INST.EXE in the Windows folder, in a folder on PATH and registered under
# App Paths; none on the medium. Each copy would leave its record in the
# working folder it was given (the medium) and in its own folder's log.
elsewhere=("$PREFIX/drive_c/windows" "$E2E_WORK/on-path" "$E2E_WORK/app-paths")
mkdir -p "${elsewhere[@]:1}"
for folder in "${elsewhere[@]}"; do cp "$TOOLS/win_recorder.exe" "$folder/INST.EXE"; done
APP_PATHS='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\INST.EXE'
wine_run reg add "$APP_PATHS" /ve /d "$(windows_path "$E2E_WORK/app-paths/INST.EXE")" /f >/dev/null 2>&1
export WINEPATH
WINEPATH=$(windows_path "$E2E_WORK/on-path")
started_anywhere() {  # records in the medium $1 and beside every outside copy
  cat <(records "$1") <(for folder in "${elsewhere[@]}"; do records "$folder"; done) |
    awk '{n += $1} END {print n}'
}
# Nothing may be started; a start would leave its record within a few seconds.
nothing_started() {
  local i
  for i in $(seq 30); do
    [ "$(started_anywhere "$1")" -eq 0 ] || return 1
    sleep 0.1
  done
}

medium=$(new_medium)
wine_run "$medium/cdstart.exe" >/dev/null 2>&1
check "direct mode without INST.EXE on the medium starts none from elsewhere" nothing_started "$medium"

end_wine_session
start_x || exit 1

medium=$(new_medium)
touch "$medium/Prospekt.pdf"
if start_menu "$medium"; then
  click "CD-ROM Tarvolin" "Programm installieren"
  check "Programm installieren without INST.EXE on the medium starts none from elsewhere" \
    nothing_started "$medium"
  # The same click with an installer on the medium starts that one, and only it.
  cp "$TOOLS/win_recorder.exe" "$medium/INST.EXE"
  click "CD-ROM Tarvolin" "Programm installieren"
  check "with INST.EXE back on the medium the click starts it" test "$(wait_started "$medium" 1)" -eq 1
  check "and it is the medium's own" grep -qF "$(windows_path "$medium")\\INST.EXE" "$medium"/started-*.txt
  check "the outside copies stay unstarted" \
    test "$(started_anywhere "$medium")" -eq "$(records "$medium")"
else
  fail "the menu window appears"
fi
stop_menu
for folder in "${elsewhere[@]}"; do rm -f "$folder/INST.EXE" "$folder"/started-*.txt; done
wine_run reg delete "$APP_PATHS" /f >/dev/null 2>&1
unset WINEPATH

# Documents open with a program associated with them, here the recorder.
viewer=$(windows_path "$TOOLS/win_recorder.exe")
wine_run reg add 'HKLM\Software\Classes\.pdf' /ve /d cdstart.testpdf /f >/dev/null 2>&1
wine_run reg add 'HKLM\Software\Classes\cdstart.testpdf\shell\open\command' /ve \
  /d "\"$viewer\" \"%1\"" /f >/dev/null 2>&1

# Under each name the menu shows, and each button starts its target in the
# medium folder (the documents' viewer in it too).
for name in "${NAMES[@]}"; do
  medium=$(new_medium "$name")
  cp "$TOOLS/win_recorder.exe" "$medium/INST.EXE"
  cp "$TOOLS/win_recorder.exe" "$medium/NetClient.EXE"
  echo '%PDF-1.4' >"$medium/Handbuch.pdf"
  echo '%PDF-1.4' >"$medium/Prospekt.pdf"
  if ! start_menu "$medium"; then fail "the menu appears under $name"; stop_menu; continue; fi
  pass "the menu appears under $name"
  count=0
  for button in "Programm installieren" "Netzwerkarbeitsplatztreiber installieren" \
                "Handbuch lesen" "Prospekt lesen"; do
    count=$((count + 1))
    click "CD-ROM Tarvolin" "$button"
    check "$button under $name starts its target" test "$(wait_started "$medium" $count)" -eq $count
  done
  check "every target under $name ran in the medium folder" \
    test "$(grep -lxF "cwd=$(windows_path "$medium")" "$medium"/started-*.txt | wc -l)" -eq 4
  for target in INST.EXE NetClient.EXE Handbuch.pdf Prospekt.pdf; do
    check "$target under $name was the one on the medium" \
      grep -qF "$(windows_path "$medium")\\$target" "$medium"/started-*.txt
  done
  stop_menu
done

finish
