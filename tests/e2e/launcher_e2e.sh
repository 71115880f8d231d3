#!/bin/bash
# The real program in real medium folders: the start-up decision, the direct
# start of the installer without any display, and the menu on an X server.
# Usage: launcher_e2e.sh CDSTART XCLOSE
CDSTART=$1
XCLOSE=$2
. "$(dirname "$0")/lib.sh"

# No driver, manual or brochure: the installer starts from the medium folder
# and the program ends with 0, with no display at all.
for nest in "plain" "CD ROM \$(touch pwned) 'q' \`x\`;-n"; do
  medium=$(new_medium "$nest")
  record_target "$medium/INST.EXE" "$E2E_WORK/rec-direct-${#nest}"
  (cd "$E2E_WORK" && env -u DISPLAY "$medium/cdstart" >"$E2E_WORK/out" 2>&1)
  code=$?
  check "direct mode exits 0 ($nest)" test "$code" -eq 0
  check "direct mode starts the installer once ($nest)" \
    test "$(wait_records "$E2E_WORK/rec-direct-${#nest}" 1)" -eq 1
  rec=$(cat "$E2E_WORK"/rec-direct-${#nest}/start-* 2>/dev/null)
  check "installer runs in the medium folder ($nest)" test "$(head -1 <<<"$rec")" = "$medium"
  check "installer gets no arguments ($nest)" test "$(grep -c '^arg=' <<<"$rec")" -eq 1
  check "direct mode prints nothing ($nest)" test ! -s "$E2E_WORK/out"
done
check "no shell ran a name" test ! -e "$E2E_WORK/pwned"

# An installer in another letter case is started under its own name.
medium=$(new_medium)
record_target "$medium/inst.exe" "$E2E_WORK/rec-lower"
env -u DISPLAY "$medium/cdstart"
check "direct mode finds inst.exe" test "$(wait_records "$E2E_WORK/rec-lower" 1)" -eq 1

# No installer either: the program ends, with one line and exit code 3, so
# that a calling script can tell.
medium=$(new_medium)
env -u DISPLAY "$medium/cdstart" >"$E2E_WORK/out" 2>&1
code=$?
check "missing installer exits 3 with one line" \
  test "$code" -eq 3 -a "$(cat "$E2E_WORK/out")" = "cdstart: cannot start $medium/INST.EXE: no such file"

# A folder where the manual should be is no manual.
medium=$(new_medium)
mkdir "$medium/Handbuch.pdf"
record_target "$medium/INST.EXE" "$E2E_WORK/rec-folder"
env -u DISPLAY "$medium/cdstart"
check "a folder named Handbuch.pdf leads to direct mode" \
  test "$(wait_records "$E2E_WORK/rec-folder" 1)" -eq 1

# A marker file but no display: one line, exit code 1, nothing started.
medium=$(new_medium)
touch "$medium/Prospekt.pdf"
record_target "$medium/INST.EXE" "$E2E_WORK/rec-nodisplay"
env -u DISPLAY "$medium/cdstart" >"$E2E_WORK/out" 2>&1
code=$?
check "menu without display exits 1" test "$code" -eq 1
check "menu without display says so in one line" \
  test "$(wc -l <"$E2E_WORK/out")" -eq 1 -a "$(grep -c 'cannot open display' "$E2E_WORK/out")" -eq 1
check "menu without display starts nothing" test "$(wait_records "$E2E_WORK/rec-nodisplay" 0)" -eq 0

# With any marker file, in any letter case, the menu window appears.
start_x || exit 1
for marker in NetClient.EXE NETCLIENT.EXE netclient.exe Handbuch.pdf HANDBUCH.PDF Prospekt.pdf prospekt.PDF; do
  medium=$(new_medium)
  touch "$medium/$marker"
  record_target "$medium/INST.EXE" "$E2E_WORK/rec-menu-$marker"
  "$medium/cdstart" &
  pid=$!
  if window=$(wait_window "$pid"); then
    pass "menu window appears for $marker"
    "$XCLOSE" "$window"
    wait_exit "$pid"
    check "close box ends the program with 0 ($marker)" test "$EXIT_CODE" = 0
    check "menu mode starts nothing by itself ($marker)" \
      test "$(wait_records "$E2E_WORK/rec-menu-$marker" 0)" -eq 0
  else
    fail "menu window appears for $marker"
    kill "$pid" 2>/dev/null
  fi
done

finish
