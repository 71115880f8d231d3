#!/bin/bash
# The window system's module, which the program carries and loads from a file
# of its own: a process of the same user that goes for that file cannot change
# it, and where memory files are refused the menu still shows.
# Usage: module_e2e.sh CDSTART TOOL-FOLDER (holding xclose, xpixel,
# seccomp_run and module_attacker)
CDSTART=$1
TOOLS=$2
. "$(dirname "$0")/lib.sh"

skip() { echo "SKIPPED: $1"; }
start_x || exit 1

# menu_run NAME COMMAND...: starts the menu with COMMAND (the program's path
# comes last), checks that it shows, drawn, and that the close box ends it with 0.
menu_run() {
  local name=$1 i; shift
  "$@" 2>"$E2E_WORK/err" &
  PID=$!
  WIN=
  for i in $(seq 200); do
    WIN=$(xdotool search --onlyvisible --name '^CD-ROM Tarvolin$' 2>/dev/null | head -1)
    [ -n "$WIN" ] && break
    kill -0 "$PID" 2>/dev/null || break
    sleep 0.05
  done
  if [ -z "$WIN" ]; then
    fail "$name: the menu shows" "$(cat "$E2E_WORK/err")"
    kill "$PID" 2>/dev/null
    wait "$PID" 2>/dev/null
    return 1
  fi
  for i in $(seq 100); do
    [ "$(pixel "$WIN" 26 16)" = D4D0C8 ] && break
    sleep 0.05
  done
  check "$name: the menu shows, drawn" test "$(pixel "$WIN" 26 16)" = D4D0C8
  "$TOOLS/xclose" "$WIN"
  wait_exit "$PID"
  check "$name: the menu ends with 0" test "$EXIT_CODE" = 0
}

# --- An attacker of the same user, which the test starts the program for: it
# watches the program's open descriptors from the first moment and overwrites
# every memory file or unnamed file it can open for writing, again and again.
user=47121
if ! setpriv --reuid=$user --regid=$user --clear-groups true 2>/dev/null; then
  skip "the attacker: cannot run a program as an unprivileged user here"
else
  chmod 755 "$E2E_WORK"
  mkdir -m 777 "$E2E_WORK/home" "$E2E_WORK/reports"
  as_user() { HOME="$E2E_WORK/home" setpriv --reuid=$user --regid=$user --clear-groups "$@"; }
  for try in 1 2 3; do
    medium=$(new_medium)
    chmod -R a+rX "$(dirname "$medium")"
    touch "$medium/Handbuch.pdf"
    report="$E2E_WORK/reports/$try"
    if menu_run "attacked ($try)" as_user "$TOOLS/module_attacker" "$report" "$medium/cdstart"; then
      check "attacked ($try): the attacker changed nothing" grep -q ' overwritten=0$' "$report"
    fi
  done
  # Where memory files are refused, the private file stands the attack too.
  medium=$(new_medium)
  chmod -R a+rX "$(dirname "$medium")"
  touch "$medium/Handbuch.pdf"
  report="$E2E_WORK/reports/private"
  if menu_run "attacked, without memory files" as_user "$TOOLS/module_attacker" "$report" \
       "$TOOLS/seccomp_run" ENOSYS memfd_create "$medium/cdstart"; then
    check "attacked, without memory files: the attacker changed nothing" \
      grep -q ' overwritten=0$' "$report"
  fi
  chmod 700 "$E2E_WORK"
fi

# --- memfd_create refused, as by a seccomp policy (EPERM) or an old kernel
# (ENOSYS): the menu still shows.
if ! "$TOOLS/seccomp_run" ENOSYS memfd_create /bin/true; then
  skip "memory files refused: cannot install a seccomp filter here"
else
  for refusal in ENOSYS EPERM; do
    medium=$(new_medium)
    touch "$medium/Prospekt.pdf"
    menu_run "memfd_create refused with $refusal" "$TOOLS/seccomp_run" "$refusal" memfd_create \
      "$medium/cdstart"
  done
fi

finish
