#!/bin/bash
# The image that tools/make_medium.sh makes, as Windows meets it on a CD-ROM:
# mounted read-only, the mount as drive D: of type CD-ROM, D:\cdstart.exe
# started as AutoPlay starts it (in D:\). The menu shows, and each button
# starts its target from D:\ with D:\ as the working folder.
# Usage: wine_medium_e2e.sh CDSTART.EXE TOOL-FOLDER WINE-RUN WINE-ARCH WINE-PREFIX (see wine_lib.sh)
. "$(dirname "$0")/wine_lib.sh"
. "$(dirname "$0")/iso.sh"
ROOT=$(cd "$(dirname "$0")/../.." && pwd)

# The sample product with the recorder as both installers. The medium is
# read-only, so the recorder writes its records into the folder that
# CDSTART_RECORDS names, which the menu passes on to what it starts.
product=$E2E_WORK/product
cp -R "$ROOT/sample_product" "$product"
cp "$TOOLS/win_recorder.exe" "$product/INST.EXE"
cp "$TOOLS/win_recorder.exe" "$product/NetClient.EXE"
records=$E2E_WORK/records
mkdir -p "$records"
export CDSTART_RECORDS
CDSTART_RECORDS=$(windows_path "$records")
# The Linux program is only carried here (the Linux tests run the real one):
# a stand-in with an ELF header.
{ printf '\x7fELF\x01\x01\x01'; head -c 57 /dev/zero; } >"$E2E_WORK/cdstart"
if [ "$ARCH" = win64 ]; then
  echo "# on this medium the 64-bit build stands in for the shipped 32-bit cdstart.exe" \
       "(for machines where 32-bit Wine cannot run; the 32-bit build tests the shipped one)"
else
  echo "# this medium carries the shipped 32-bit cdstart.exe"
fi
image=$E2E_WORK/medium.iso
if ! "$ROOT/tools/make_medium.sh" --windows "$CDSTART" --linux "$E2E_WORK/cdstart" \
       --label TARVOLIN --image "$image" "$product" >"$E2E_WORK/made" 2>&1; then
  fail "the medium is made" "$(cat "$E2E_WORK/made")"
  finish
  exit
fi
dir=$E2E_WORK/mnt
iso_mount "$image" "$dir" || { fail "the image is mounted"; finish; exit; }
echo "# mounted by $ISO_MOUNT_METHOD"

# Drive D:, a CD-ROM drive, holds the mounted medium.
wine_run reg add 'HKLM\Software\Wine\Drives' /v d: /d cdrom /f >/dev/null 2>&1
viewer=$(windows_path "$TOOLS/win_recorder.exe")
wine_run reg add 'HKLM\Software\Classes\.pdf' /ve /d cdstart.testpdf /f >/dev/null 2>&1
wine_run reg add 'HKLM\Software\Classes\cdstart.testpdf\shell\open\command' /ve \
  /d "\"$viewer\" \"%1\"" /f >/dev/null 2>&1
end_wine_session
ln -sfn "$dir" "$PREFIX/dosdevices/d:"
E2E_CLEANUP+=("rm -f $(printf '%q' "$PREFIX/dosdevices/d:")")

start_x || exit 1
# As AutoPlay runs open=cdstart.exe: by its path on the drive, in the drive's root.
(cd "$dir" && exec "$WINE_RUN" --arch "$ARCH" --prefix "$PREFIX" 'D:\cdstart.exe') &
PID=$!
if ! wait_for "CD-ROM Tarvolin"; then
  fail "D:\\cdstart.exe shows the menu"
  stop_menu
  finish
  exit
fi
pass "D:\\cdstart.exe shows the menu"
check "with every button" test "$(visible_buttons)" = "$(printf '%s\n' "&Beenden" "Handbuch lesen" \
  "Netzwerkarbeitsplatztreiber installieren" "Programm installieren" "Prospekt lesen" | sort |
  tr '\n' '|')"

count=0
for case in "Programm installieren|D:\\INST.EXE" "Netzwerkarbeitsplatztreiber installieren|D:\\NetClient.EXE" \
            "Handbuch lesen|D:\\Handbuch.pdf" "Prospekt lesen|D:\\Prospekt.pdf"; do
  button=${case%%|*}
  target=${case#*|}
  count=$((count + 1))
  click "CD-ROM Tarvolin" "$button"
  if [ "$(wait_started "$records" $count)" -ne $count ]; then
    fail "$button starts $target"
    continue
  fi
  record=$(ls -t "$records"/started-*.txt | head -1)
  check "$button starts $target" grep -qiF "$target" "$record"
  check "$button: in D:\\ as the working folder" grep -qxF 'cwd=D:\' "$record"
  check "$button: on a CD-ROM drive" grep -qxF 'drive=5' "$record"  # DRIVE_CDROM
done
stop_menu
iso_unmount "$dir"

finish
