#!/bin/bash
# The menu on real media: ISO 9660 images with Rock Ridge and Joliet, with
# Joliet only and with plain ISO names, mounted read-only, the program run
# from there. Every target starts with the medium as its working folder.
# Usage: medium_e2e.sh CDSTART TOOL-FOLDER (holding xpixel)
CDSTART=$1
TOOLS=$2
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/iso.sh"

FACE=D4D0C8  # the button-face colour
# Client-area rectangles of the buttons: left top width height.
declare -A BUTTON=(
  [BitBtn15]="10 170 131 36" [BB_PRG_INST]="20 10 346 56" [BB_NET_INST]="20 75 346 36"
  [BB_HANDBUCH]="20 120 346 36" [BB_PROSPEKT]="150 170 216 36")
face_point() { set -- ${BUTTON[$1]}; echo "$(($1 + 6)) $(($2 + 6))"; }
centre() { set -- ${BUTTON[$1]}; echo "$(($1 + $3 / 2)) $(($2 + $4 / 2))"; }
shows_button() { [ "$(pixel "$WIN" $(face_point "$1"))" = "$FACE" ]; }
click_button() { xdotool mousemove --window "$WIN" $(centre "$1") click 1; }

start_x || exit 1

# The desktop's opener, with a stand-in for a Windows compatibility layer
# and a PDF viewer; both record their working folder and arguments.
export XDG_CONFIG_HOME="$E2E_WORK/config" XDG_DATA_HOME="$E2E_WORK/data"
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID BROWSER
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/applications"
record_target "$E2E_WORK/windows-runner" "$E2E_WORK/rec-exe"
record_target "$E2E_WORK/viewer" "$E2E_WORK/rec-pdf"
windows_types="application/x-dosexec;application/x-ms-dos-executable;application/x-msdownload;"
printf '[Desktop Entry]\nType=Application\nName=Runner\nExec=%s %%f\nMimeType=%s\n' \
  "$E2E_WORK/windows-runner" "$windows_types" \
  >"$XDG_DATA_HOME/applications/cdstart-test-runner.desktop"
printf '[Desktop Entry]\nType=Application\nName=Viewer\nExec=%s %%f\nMimeType=application/pdf;\n' \
  "$E2E_WORK/viewer" >"$XDG_DATA_HOME/applications/cdstart-test-viewer.desktop"
{
  echo '[Default Applications]'
  for type in ${windows_types//;/ }; do echo "$type=cdstart-test-runner.desktop"; done
  echo 'application/pdf=cdstart-test-viewer.desktop'
} >"$XDG_CONFIG_HOME/mimeapps.list"

# A product as its maker lays it out: the program, two Windows installers
# (the start of a DOS/Windows executable is all the opener looks at), the
# manual and the brochure.
windows_program() { printf 'MZ\x90\x00\x03\x00\x00\x00\x04\x00\x00\x00\xff\xff' >"$1"; head -c 100 /dev/zero >>"$1"; }
product=$E2E_WORK/product
mkdir -p "$product"
cp "$CDSTART" "$product/cdstart"
windows_program "$product/INST.EXE"
windows_program "$product/NetClient.EXE"
printf '%%PDF-1.4\n%%%%EOF\n' >"$product/Handbuch.pdf"
printf '%%PDF-1.4\n%%%%EOF\n' >"$product/Prospekt.pdf"

# The entry of DIR that stands for NAME on the medium, in whatever letter
# case and with whatever version it shows there.
on_medium() { ls "$1" | grep -ix "$2\(;[0-9]*\)\?" | head -1; }
# The records in FOLDER, one "working-folder|argument" line for each.
records() {
  local record
  for record in "$1"/*; do
    [ -e "$record" ] || continue
    echo "$(head -1 "$record")|$(sed -n 's/^arg=//p' "$record" | tail -n +2 | tr '\n' ' ' | sed 's/ $//')"
  done | sort
}
expected_records() {  # expected_records DIR NAME...: what the targets should have seen
  local dir=$1 name; shift
  for name in "$@"; do echo "$dir|$dir/$(on_medium "$dir" "$name")"; done | sort
}

run_from_image() {  # run_from_image LABEL KIND [raw]
  local label=$1 kind=$2 raw=${3:-} image="$E2E_WORK/$1.iso" dir="$E2E_WORK/medium $1" button
  rm -rf "$E2E_WORK/rec-exe"/* "$E2E_WORK/rec-pdf"/*
  if ! iso_build "$kind" "$product" "$image" || ! iso_mount "$image" "$dir" $raw; then
    fail "$label: the image is built and mounted"
    return
  fi
  echo "# $label: mounted by $ISO_MOUNT_METHOD, showing $(ls "$dir" | tr '\n' ' ')"
  if ! start_menu "$dir" "$(on_medium "$dir" 'cdstart\.\?')"; then
    fail "$label: the menu window appears"
    stop_menu
    iso_unmount "$dir"
    return
  fi
  for button in BitBtn15 BB_PRG_INST BB_NET_INST BB_HANDBUCH BB_PROSPEKT; do
    check "$label: $button shows" shows_button "$button"
  done
  click_button BB_PRG_INST
  wait_records "$E2E_WORK/rec-exe" 1 >/dev/null
  click_button BB_NET_INST
  check "$label: both installers start" test "$(wait_records "$E2E_WORK/rec-exe" 2)" -eq 2
  check "$label: each from the medium, as it lies there" \
    test "$(records "$E2E_WORK/rec-exe")" = "$(expected_records "$dir" INST.EXE NetClient.EXE)"
  click_button BB_HANDBUCH
  wait_records "$E2E_WORK/rec-pdf" 1 >/dev/null
  click_button BB_PROSPEKT
  check "$label: manual and brochure open" test "$(wait_records "$E2E_WORK/rec-pdf" 2)" -eq 2
  check "$label: each from the medium, as it lies there" \
    test "$(records "$E2E_WORK/rec-pdf")" = "$(expected_records "$dir" Handbuch.pdf Prospekt.pdf)"
  click_button BitBtn15
  wait_exit "$PID"
  check "$label: Beenden ends the program with 0" test "$EXIT_CODE" = 0
  iso_unmount "$dir"
}

run_from_image rockridge-joliet rockridge-joliet
run_from_image joliet joliet
run_from_image plain plain
run_from_image plain-raw plain raw

# The installer alone on a medium of plain names: started at once.
rm -rf "$product" "$E2E_WORK/rec-exe"/*
mkdir -p "$product"
cp "$CDSTART" "$product/cdstart"
windows_program "$product/INST.EXE"
dir="$E2E_WORK/medium direct"
if iso_build plain "$product" "$E2E_WORK/direct.iso" && iso_mount "$E2E_WORK/direct.iso" "$dir" raw
then
  "$dir/$(on_medium "$dir" 'cdstart\.\?')" >"$E2E_WORK/out" 2>&1
  check "direct mode from a medium exits 0" test $? -eq 0
  check "and starts the installer from the medium" \
    test "$(wait_records "$E2E_WORK/rec-exe" 1)" -eq 1 -a \
         "$(records "$E2E_WORK/rec-exe")" = "$(expected_records "$dir" INST.EXE)"
  iso_unmount "$dir"
else
  fail "the direct-mode image is built and mounted"
fi

finish
