#!/bin/bash
# The program finds its medium however it is started: on a host without
# /proc, through the dynamic loader (as from a medium mounted noexec), and
# from a folder whose path is longer than PATH_MAX. It never takes another
# folder for its own.
# Usage: own_folder_e2e.sh CDSTART TOOL-FOLDER (holding xclose and xpixel)
CDSTART=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")  # used from other folders
TOOLS=$2
. "$(dirname "$0")/lib.sh"

INSTALL="193 38"  # "Programm installieren"
DRIVER="193 93"   # "Netzwerkarbeitsplatztreiber installieren"
MANUAL="193 138"  # "Handbuch lesen"

skip() { echo "SKIPPED: $1"; }

# --- No /proc: a private root (its own mount namespace) whose /proc is an
# empty folder, with a decoy installer at its top, where a program that took
# the root folder for its own would start it.
# run_without_proc FOLDER COMMAND: runs COMMAND (a shell line) in FOLDER there.
run_without_proc() {
  unshare --mount --fork /bin/bash -c '
    set -e
    root=$1 work=$2 folder=$3 line=$4
    mount --make-rprivate /
    mount -t tmpfs none "$root"
    mkdir -p "$root$work" "$root/proc" "$root/tmp"
    mount --bind "$work" "$root$work"
    for d in usr etc dev; do mkdir -p "$root/$d"; mount --rbind "/$d" "$root/$d"; done
    for d in bin sbin lib lib32 lib64 libx32; do
      if [ -L "/$d" ]; then ln -s "$(readlink "/$d")" "$root/$d"
      elif [ -d "/$d" ]; then mkdir -p "$root/$d"; mount --rbind "/$d" "$root/$d"; fi
    done
    cp "$work/decoy" "$root/INST.EXE"
    exec chroot "$root" /bin/sh -c "cd \"\$0\" && $line" "$folder"
  ' run_without_proc "$E2E_WORK/root" "$E2E_WORK" "$@"
}
mkdir -p "$E2E_WORK/root"
record_target "$E2E_WORK/decoy" "$E2E_WORK/rec-decoy"
if ! unshare --mount --fork /bin/sh -c 'mount -t tmpfs none /proc && ! test -e /proc/self' 2>/dev/null; then
  skip "no /proc: this host gives no private mount namespace (unshare --mount)"
elif readelf -d "$CDSTART" | grep -q 'NEEDED.*libasan'; then
  # Its options come from /proc/self/environ, its leak check reads /proc/PID/task.
  skip "no /proc: a sanitizer build cannot run without /proc itself"
else
  medium=$(new_medium "CD ROM")
  record_target "$medium/INST.EXE" "$E2E_WORK/rec-noproc"
  run_without_proc "$medium" 'env -u DISPLAY ./cdstart' >"$E2E_WORK/out" 2>&1
  code=$?
  check "without /proc, direct mode exits 0" test "$code" -eq 0
  check "without /proc, the medium's installer starts" \
    test "$(wait_records "$E2E_WORK/rec-noproc" 1)" -eq 1
  check "... in the medium folder" test "$(head -1 "$E2E_WORK"/rec-noproc/start-* 2>/dev/null)" = "$medium"
  check "without /proc, direct mode prints nothing" test ! -s "$E2E_WORK/out"

  # Started from elsewhere by a relative path, and through a link.
  ln -s "$medium/cdstart" "$E2E_WORK/link-to-cdstart"
  run_without_proc "$E2E_WORK" "env -u DISPLAY './${medium#$E2E_WORK/}/cdstart' && env -u DISPLAY ./link-to-cdstart"
  check "without /proc, a relative start and a start through a link find the medium too" \
    test "$(wait_records "$E2E_WORK/rec-noproc" 3)" -eq 3

  # The menu is needed, but its module cannot be loaded without /proc: one
  # line, exit code 1, nothing started.
  medium=$(new_medium)
  touch "$medium/Handbuch.pdf"
  record_target "$medium/INST.EXE" "$E2E_WORK/rec-noproc-menu"
  run_without_proc "$medium" './cdstart' >"$E2E_WORK/out" 2>&1
  code=$?
  check "without /proc, the menu says why it cannot show and exits 1" \
    test "$code" -eq 1 -a "$(cat "$E2E_WORK/out")" = "cdstart: cannot load the window system: /proc is not mounted"
  check "without /proc, the menu starts nothing" test "$(wait_records "$E2E_WORK/rec-noproc-menu" 0)" -eq 0
  check "without /proc, nothing outside the medium is ever started" \
    test "$(wait_records "$E2E_WORK/rec-decoy" 0)" -eq 0
fi

start_x || exit 1

# Waits for the window of process $1 and for its install button to be drawn;
# sets WIN.
window_of() {
  local i
  WIN=$(wait_window "$1") || return 1
  for i in $(seq 100); do
    [ "$(pixel "$WIN" 26 16)" = D4D0C8 ] && return 0
    sleep 0.05
  done
  return 1
}
click_at() { xdotool mousemove --window "$WIN" $1 click 1; }
end_menu() { "$TOOLS/xclose" "$WIN" 2>/dev/null; wait_exit "$1"; }

# --- Through the dynamic loader, named by the program itself.
loader=$(readelf -lW "$CDSTART" | sed -n 's/.*Requesting program interpreter: \(.*\)]$/\1/p')
if [ ! -x "$loader" ]; then
  skip "through the loader: no loader found for $CDSTART"
else
  n=0
  for how in "absolute" "relative" "lying argv0"; do
    n=$((n + 1))
    medium=$(new_medium "loader $n")
    touch "$medium/Handbuch.pdf"
    record_target "$medium/INST.EXE" "$E2E_WORK/rec-loader-$n"
    case $how in
      absolute) (cd "$E2E_WORK" && exec "$loader" "$medium/cdstart") & ;;
      relative) (cd "$medium" && exec "$loader" ./cdstart) & ;;
      "lying argv0") (cd / && exec "$loader" --argv0 /usr/bin/cdstart "$medium/cdstart") & ;;
    esac
    pid=$!
    if window_of "$pid"; then
      pass "through the loader ($how), the menu shows for a medium with a manual"
      click_at "$INSTALL"
      check "through the loader ($how), Programm installieren starts the medium's INST.EXE" \
        test "$(wait_records "$E2E_WORK/rec-loader-$n" 1)" -eq 1
      check "... in the medium folder ($how)" \
        test "$(head -1 "$E2E_WORK"/rec-loader-$n/start-* 2>/dev/null)" = "$medium"
      end_menu "$pid"
      check "through the loader ($how), the menu ends with 0" test "$EXIT_CODE" = 0
    else
      fail "through the loader ($how), the menu shows for a medium with a manual"
      kill "$pid" 2>/dev/null
    fi
  done
fi

# --- A medium folder deeper than PATH_MAX: 26 folders of 200 characters.
# Neither mkdir, cp nor cd takes such a path whole; they go a folder at a time.
LEVEL=$(printf 'ebene%.0s' $(seq 40))
enter_deep() {
  cd "$E2E_WORK/deep" || return 1
  local i
  for i in $(seq 26); do cd "$LEVEL" || return 1; done
}
mkdir -p "$E2E_WORK/deep"
(
  cd "$E2E_WORK/deep" && for i in $(seq 26); do mkdir "$LEVEL" && cd "$LEVEL" || exit 1; done
  cp "$CDSTART" cdstart
  printf '%%PDF-1.4\n%%%%EOF\n' >HANDBUCH.PDF
)
deep="$E2E_WORK/deep$(printf "/$LEVEL%.0s" $(seq 26))"
# The targets write their records by relative names only.
(enter_deep && record_target ./INST.EXE "$E2E_WORK/rec-deep-inst" &&
  record_target ./NetClient.EXE "$E2E_WORK/rec-deep-net")
export XDG_CONFIG_HOME="$E2E_WORK/config" XDG_DATA_HOME="$E2E_WORK/data"
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID BROWSER
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications" "$E2E_WORK/rec-deep-viewer"
cat >"$E2E_WORK/viewer" <<SCRIPT
#!/bin/sh
{ pwd; [ -r "\$1" ] && echo readable; } >"\$(mktemp "$E2E_WORK/rec-deep-viewer/start-XXXXXX")"
SCRIPT
chmod +x "$E2E_WORK/viewer"
printf '[Desktop Entry]\nType=Application\nName=Viewer\nExec=%s %%f\nMimeType=application/pdf;\n' \
  "$E2E_WORK/viewer" >"$XDG_DATA_HOME/applications/cdstart-test-viewer.desktop"
printf '[Default Applications]\napplication/pdf=cdstart-test-viewer.desktop\n' \
  >"$XDG_CONFIG_HOME/mimeapps.list"

check "the deep medium folder is longer than PATH_MAX" test "${#deep}" -gt "$(getconf PATH_MAX /)"
# Started from three folders above the medium, by a relative path (through
# env: bash would run it by a full path, which is too long). The manual goes
# to xdg-open as "./HANDBUCH.PDF" from the medium folder; xdg-open's own type
# lookup (xdg-mime) makes every name a full path and fails on one this long,
# so here the viewer is what xdg-open falls back on, BROWSER.
(enter_deep && cd -P ../../.. && BROWSER="$E2E_WORK/viewer" exec env "./$LEVEL/$LEVEL/$LEVEL/cdstart") &
pid=$!
if window_of "$pid"; then
  pass "in a folder deeper than PATH_MAX, the menu shows"
  click_at "$INSTALL"
  check "... Programm installieren starts its INST.EXE" \
    test "$(wait_records "$E2E_WORK/rec-deep-inst" 1)" -eq 1
  check "... in that folder" test "$(head -1 "$E2E_WORK"/rec-deep-inst/start-* 2>/dev/null)" = "$deep"
  click_at "$DRIVER"
  check "... the driver button starts its NetClient.EXE" \
    test "$(wait_records "$E2E_WORK/rec-deep-net" 1)" -eq 1
  click_at "$MANUAL"
  check "... the manual goes to xdg-open by a name that its viewer can read" \
    test "$(wait_records "$E2E_WORK/rec-deep-viewer" 1)" -eq 1 -a \
    "$(cat "$E2E_WORK"/rec-deep-viewer/start-* 2>/dev/null)" = "$deep
readable"
  end_menu "$pid"
  check "... and the menu ends with 0" test "$EXIT_CODE" = 0
else
  fail "in a folder deeper than PATH_MAX, the menu shows"
  kill "$pid" 2>/dev/null
fi

finish
