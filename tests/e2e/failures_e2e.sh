#!/bin/bash
# Starts that fail are told: one line on standard error that names the file
# and the reason, and in direct mode exit code 3. A file the kernel cannot run
# is as good as xdg-open's verdict on it. And whatever state the menu is in,
# a started program gets descriptors 0 to 2 and a PWD that is its folder.
# Usage: failures_e2e.sh CDSTART TOOL-FOLDER (holding xclose and xpixel)
CDSTART=$1
TOOLS=$2
. "$(dirname "$0")/lib.sh"

INSTALL="193 38"  # "Programm installieren"
skip() { echo "SKIPPED: $1"; }

# direct MEDIUM [COMMAND-PREFIX...]: runs the program there without a display;
# sets CODE, and OUT to what it wrote.
direct() {
  local medium=$1; shift
  env -u DISPLAY "$@" "$medium/cdstart" >"$E2E_WORK/out" 2>&1
  CODE=$?
  OUT=$(cat "$E2E_WORK/out")
}
one_line() { test "$(wc -l <"$E2E_WORK/out")" -eq 1 -a "$OUT" = "$1"; }

# --- Direct mode: no installer at all.
medium=$(new_medium)
direct "$medium"
check "no installer: exit code 3" test "$CODE" -eq 3
check "no installer: one line naming the file and the reason" \
  one_line "cdstart: cannot start $medium/INST.EXE: no such file"

# --- A script saved with Windows line ends: its interpreter is "/bin/sh\r".
medium=$(new_medium "CD ROM")
printf '#!/bin/sh\r\ntouch "%s/ran"\r\n' "$E2E_WORK" >"$medium/INST.EXE"
chmod +x "$medium/INST.EXE"
direct "$medium"
check "CRLF script: exit code 3" test "$CODE" -eq 3
check "CRLF script: one line naming its interpreter" \
  one_line "cdstart: cannot start $medium/INST.EXE: its interpreter \"/bin/sh\\r\" does not exist"
check "CRLF script: nothing ran" test ! -e "$E2E_WORK/ran"

# --- fork refused: a user of the test's own (root ignores the process limit,
# and no other process counts against this one), limited to 1 process (the
# program's first fork fails) or 2 (its second).
user=47120
if ! command -v setpriv >/dev/null || ! command -v prlimit >/dev/null ||
   ! setpriv --reuid=$user --regid=$user --clear-groups true 2>/dev/null; then
  skip "fork refused: cannot run a program as an unprivileged user here"
else
  chmod 755 "$E2E_WORK"
  medium=$(new_medium "nproc")
  chmod -R a+rX "$E2E_WORK"/medium-*
  record_target "$medium/INST.EXE" "$E2E_WORK/rec-nproc"
  chmod 777 "$E2E_WORK/rec-nproc"
  # (A sanitizer build's leak check needs a process of its own at exit.)
  for limit in 1 2; do
    direct "$medium" ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 \
      setpriv --reuid=$user --regid=$user --clear-groups prlimit --nproc=$limit
    check "fork refused ($limit): exit code 3" test "$CODE" -eq 3
    check "fork refused ($limit): one line naming the file and the reason" \
      one_line "cdstart: cannot start $medium/INST.EXE: cannot create a process: Resource temporarily unavailable"
  done
  check "fork refused: nothing started" test "$(wait_records "$E2E_WORK/rec-nproc" 0)" -eq 0
  chmod 700 "$E2E_WORK"
fi

# --- A program the kernel cannot run (a Windows installer) goes to xdg-open;
# its verdict decides the exit code.
export XDG_CONFIG_HOME="$E2E_WORK/config" XDG_DATA_HOME="$E2E_WORK/data"
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID BROWSER
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications"
medium=$(new_medium)
printf 'MZ\220\0\3\0\0\0\4\0\0\0' >"$medium/INST.EXE"  # not executable, and no ELF
direct "$medium"
check "a Windows program nothing opens: exit code 3" test "$CODE" -eq 3
check "... and the last line says what xdg-open said" \
  grep -qxE "cdstart: cannot start $medium/INST.EXE: xdg-open could not open it \(exit code [1-9][0-9]*\)" \
  <(tail -n 1 "$E2E_WORK/out")
# A stand-in for a compatibility layer, associated with the file's type.
record_target "$E2E_WORK/layer" "$E2E_WORK/rec-layer"
type=$(DISPLAY=:0 xdg-mime query filetype "$medium/INST.EXE")
printf '[Desktop Entry]\nType=Application\nName=Layer\nExec=%s %%f\nMimeType=%s;\n' \
  "$E2E_WORK/layer" "$type" >"$XDG_DATA_HOME/applications/cdstart-test-layer.desktop"
printf '[Default Applications]\n%s=cdstart-test-layer.desktop\n' "$type" >"$XDG_CONFIG_HOME/mimeapps.list"
# xdg-open looks up types only where there is a display; direct mode never opens it.
direct "$medium" DISPLAY=:99
check "a Windows program that xdg-open hands on: exit code 0" test "$CODE" -eq 0
check "... and the layer gets it" test "$(wait_records "$E2E_WORK/rec-layer" 1)" -eq 1
check "... by its full name" grep -qxF "arg=$medium/INST.EXE" "$E2E_WORK"/rec-layer/start-*
rm -f "$XDG_CONFIG_HOME/mimeapps.list"

# --- A started program's descriptors 0 to 2 and PWD, after we were started
# with 0 to 2 closed and with a PWD that is not even ours.
fd_target() {  # fd_target PATH RECORD-FILE
  cat >"$1" <<SCRIPT
#!/bin/sh
seen=\$(for fd in 0 1 2; do readlink /proc/\$\$/fd/\$fd || echo closed; done)
printf '%s\\nPWD=%s\\n%s\\n' "\$seen" "\$PWD" "\$(pwd -P)" >"$2"
SCRIPT
  chmod +x "$1"
}
expect_clean() {  # expect_clean NAME RECORD-FILE MEDIUM
  local i
  for i in $(seq 400); do [ -s "$2" ] && break; sleep 0.05; done
  check "$1: descriptors 0 to 2 are open on /dev/null" \
    test "$(head -3 "$2" 2>/dev/null | tr '\n' ' ')" = "/dev/null /dev/null /dev/null "
  check "$1: PWD is its working folder" \
    test "$(sed -n 4p "$2")" = "PWD=$3" -a "$(sed -n 5p "$2")" = "$3"
}
medium=$(new_medium "closed")
fd_target "$medium/INST.EXE" "$E2E_WORK/direct-fds"
(cd / && PWD=/somewhere/else env -u DISPLAY "$medium/cdstart" <&- >&- 2>&-)
expect_clean "direct mode started with 0 to 2 closed" "$E2E_WORK/direct-fds" "$medium"

start_x || exit 1
medium=$(new_medium "closed menu")
touch "$medium/Prospekt.pdf"
fd_target "$medium/INST.EXE" "$E2E_WORK/menu-fds"
(cd / && PWD=/somewhere/else exec "$medium/cdstart" <&- >&- 2>&-) &
PID=$!
if WIN=$(wait_window "$PID"); then
  sleep 0.3
  xdotool mousemove --window "$WIN" $INSTALL click 1
  expect_clean "the menu started with 0 to 2 closed" "$E2E_WORK/menu-fds" "$medium"
else
  fail "the menu started with 0 to 2 closed appears"
fi
stop_menu

# --- Menu mode: a failed start leaves the window as it is and says why on
# standard error, once per click.
medium=$(new_medium)
touch "$medium/Handbuch.pdf"
"$medium/cdstart" 2>"$E2E_WORK/menu-err" &
PID=$!
if WIN=$(wait_window "$PID"); then
  sleep 0.3
  xdotool mousemove --window "$WIN" $INSTALL click 1 sleep 0.3 click 1
  for i in $(seq 100); do [ "$(wc -l <"$E2E_WORK/menu-err")" -ge 2 ] && break; sleep 0.05; done
  check "a failed start in the menu leaves it open" kill -0 "$PID"
  check "a failed start in the menu says why on standard error, once a click" \
    test "$(cat "$E2E_WORK/menu-err")" = "cdstart: cannot start $medium/INST.EXE: no such file
cdstart: cannot start $medium/INST.EXE: no such file"
  "$TOOLS/xclose" "$WIN"
  wait_exit "$PID"
  check "the menu still ends with 0" test "$EXIT_CODE" = 0
else
  fail "the menu appears"
  stop_menu
fi

finish
