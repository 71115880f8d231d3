#!/bin/bash
# The medium builder, tools/make_medium.sh: the sample product made into a
# medium, read back with xorriso, mounted read-only and started as a Linux
# desktop starts it; a file over 4 GiB; every input it refuses, each with
# its one line, and the outputs it must leave as they were.
# Usage: make_medium_e2e.sh CDSTART TOOL-FOLDER (holding xpixel)
CDSTART=$1
TOOLS=$2
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/iso.sh"
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
SAMPLE=$ROOT/sample_product

# The Windows program is only carried here, never run (the Wine tests run
# the real one): a stand-in with the header of a 32-bit Windows program.
{ printf 'MZ'; head -c 58 /dev/zero; printf '\x40\x00\x00\x00PE\x00\x00\x4c\x01'; } \
  >"$E2E_WORK/cdstart.exe"
make_medium() {
  "$ROOT/tools/make_medium.sh" --windows "$E2E_WORK/cdstart.exe" --linux "$CDSTART" "$@"
}
# Every path of a tree in an image, sorted: "any" reads Rock Ridge, "norock"
# Joliet, what Windows reads.
image_paths() {
  xorriso -report_about SORRY -read_fs "$2" -indev "$1" -find / -- 2>/dev/null | sed "s/^'//; s/'$//" |
    sort
}
# The medium's own files beside the product's.
OWN=(/.xdg-volume-info /autorun /autorun.inf /cdstart /cdstart.exe /cdstart.ico /cdstart.png)
expected_paths() {  # expected_paths PRODUCT-FOLDER
  { echo /; (cd "$1" && find . -mindepth 1 | sed 's/^\.//'); printf '%s\n' "${OWN[@]}"; } | sort
}

out=$E2E_WORK/out
tree=$out/medium
image=$out/medium.iso

# --- the sample product -------------------------------------------------------
if make_medium --label TARVOLIN --tree "$tree" --image "$image" "$SAMPLE" >"$E2E_WORK/made" 2>&1; then
  pass "the sample product becomes a medium"
else
  fail "the sample product becomes a medium" "$(cat "$E2E_WORK/made")"
  finish
  exit
fi

check "the tree holds the product and the medium's own files, nothing else" \
  test "$(cd "$tree" && find . | sed 's/^\.//; s/^$/\//' | sort)" = "$(expected_paths "$SAMPLE")"
check "the product's files are carried as they are" diff -r -x cdstart* -x autorun* -x .xdg* \
  "$SAMPLE" "$tree"
check "cdstart is the Linux program" cmp -s "$CDSTART" "$tree/cdstart"
check "cdstart.exe is the Windows program" cmp -s "$E2E_WORK/cdstart.exe" "$tree/cdstart.exe"
check "autorun.inf starts cdstart.exe, with the program's icon, the label and an action" \
  cmp -s "$tree/autorun.inf" <(printf '%s\r\n' '[autorun]' open=cdstart.exe icon=cdstart.ico \
    label=TARVOLIN 'action=Installation starten')
check "its icon is the program's own" cmp -s "$ROOT/resources/rendered/icon.ico" "$tree/cdstart.ico"
check ".xdg-volume-info gives the label as the name, and an icon file" \
  test "$(cat "$tree/.xdg-volume-info")" = "$(printf '%s\n' '[Volume Info]' Name=TARVOLIN \
    IconFile=cdstart.png)"
check "the icon file it names is the program's icon as a PNG" \
  eval 'cmp -s "$ROOT/resources/rendered/icon.png" "$tree/cdstart.png" &&
        file -b "$tree/cdstart.png" | grep -q "^PNG image data, 64 x 64"'
check "no temporary folder is left beside the outputs" test "$(ls -A "$out")" = "$(printf 'medium\nmedium.iso')"

# --- read back with xorriso ---------------------------------------------------
joliet=$(image_paths "$image" norock)
check "Joliet holds every name with its letter case" test "$joliet" = "$(expected_paths "$SAMPLE")"
for name in /NetClient.EXE /INST.EXE /Handbuch.pdf /Extras/Liesmich.txt /cdstart.exe /autorun.inf; do
  check "Joliet shows $name" grep -qxF "$name" <<<"$joliet"
done
check "Rock Ridge holds every name as it is" \
  test "$(image_paths "$image" any)" = "$(expected_paths "$SAMPLE")"
modes=$(xorriso -report_about SORRY -indev "$image" -lsl / -- 2>/dev/null)
mode_of() { awk -v name="'$1'" '$NF == name {print $1}' <<<"$modes"; }
for file in cdstart autorun INST.EXE NetClient.EXE; do
  check "Rock Ridge: $file may be run by everyone ($(mode_of "$file"))" \
    eval '[[ $(mode_of "$file") == -r?xr?xr?x ]]'
done
for file in cdstart.exe autorun.inf .xdg-volume-info Handbuch.pdf; do
  check "Rock Ridge: $file is readable, not executable ($(mode_of "$file"))" \
    eval '[[ $(mode_of "$file") == -r?-r--r-- ]]'
done
owned_by_root() { ! awk 'NR > 1 && ($3 != 0 || $4 != 0) {found = 1} END {exit !found}' <<<"$modes"; }
check "every file belongs to root, as on any disc" owned_by_root
check "the volume label is TARVOLIN" \
  eval 'xorriso -indev "$image" -pvd_info 2>&1 | grep -qx "Volume Id    : TARVOLIN"'

# --- mounted, started as a desktop starts it ----------------------------------
start_x || exit 1
dir="$E2E_WORK/mnt"
if iso_mount "$image" "$dir"; then
  echo "# mounted by $ISO_MOUNT_METHOD"
  check "the mounted autorun may be run" test -x "$dir/autorun"
  # A desktop runs the medium's autorun by its path, in the medium's root.
  cd "$dir" || exit 1
  if start_menu "$dir" autorun >"$E2E_WORK/autorun.out" 2>&1; then
    cd "$E2E_WORK" || exit 1
    pass "autorun shows the menu"
    check "the menu is the medium's cdstart" \
      test "$(readlink "/proc/$PID/exe")" = "$dir/cdstart"
    xdotool mousemove --window "$WIN" 193 38 click 1  # the middle of "Programm installieren"
    ran() {
      local i
      for i in $(seq 200); do
        grep -qxF "INST.EXE ran in $dir" "$E2E_WORK/autorun.out" && return 0
        sleep 0.05
      done
      return 1
    }
    check "Programm installieren starts the medium's INST.EXE in the medium's root" ran
  else
    cd "$E2E_WORK" || exit 1
    fail "autorun shows the menu" "$(cat "$E2E_WORK/autorun.out")"
  fi
  stop_menu
  iso_unmount "$dir"
else
  fail "the image is mounted"
fi

# --- a file over 4 GiB --------------------------------------------------------
# The image holds the whole file, 4 GiB of it, so it is written where that is
# quickest: in memory (/dev/shm) where there is room, else on disk.
big=$((4 * 1024 * 1024 * 1024 + 5))
room_for_big() {
  local folder
  for folder in /dev/shm "${TMPDIR:-/tmp}"; do
    [ -d "$folder" ] && [ -w "$folder" ] &&
      [ "$(df -P -B1 "$folder" | awk 'NR == 2 {print $4}')" -gt $((2 * big + (1 << 30))) ] &&
      mktemp -d "$folder/cdstart-e2e-big-XXXXXX" && return 0
  done
  return 1
}
if ! place=$(room_for_big); then
  echo "SKIPPED: a file over 4 GiB (less than 9 GiB free in /dev/shm and ${TMPDIR:-/tmp})"
else
  E2E_CLEANUP+=("rm -rf $(printf '%q' "$place")")
  product=$place/product
  cp -R "$SAMPLE" "$product"
  mkdir "$product/Daten"
  truncate -s "$big" "$product/Daten/Archiv.bin"  # sparse: only its end is written
  printf 'Ende' | dd of="$product/Daten/Archiv.bin" bs=1 seek=$((big - 4)) conv=notrunc 2>/dev/null
  if make_medium --label GROSS --image "$place/big.iso" "$product" >"$E2E_WORK/made" 2>&1; then
    pass "a file over 4 GiB goes onto the medium"
    listing=$(xorriso -report_about SORRY -indev "stdio:$place/big.iso" -lsl /Daten -- 2>/dev/null)
    check "with its whole size" grep -q " $big .*'Archiv.bin'" <<<"$listing"
    # Its last extent, and the bytes at the end of it.
    read -r extents lba size <<<"$(xorriso -report_about SORRY -indev "stdio:$place/big.iso" \
      -find /Daten/Archiv.bin -exec report_sections -- 2>/dev/null |
      awk -F' *, *' '/^File data lba:/ {n++; lba = $2; size = $4} END {print n, lba, size}')"
    check "in $extents extents, its end intact" \
      test "$(dd if="$place/big.iso" bs=1 skip=$((lba * 2048 + size - 4)) count=4 2>/dev/null)" = Ende

    # Interrupted by Ctrl-C (which reaches the whole job) while the new image
    # is being written: the old image stays, and nothing is left beside it.
    old=$(stat -c '%i %s %Y' "$place/big.iso")
    setsid "$ROOT/tools/make_medium.sh" --windows "$E2E_WORK/cdstart.exe" --linux "$CDSTART" \
      --label GROSS --image "$place/big.iso" "$product" >/dev/null 2>&1 &
    job=$!
    for _ in $(seq 600); do
      [ -n "$(find "$place" -path '*/.make_medium-*/medium.iso' -size +1M 2>/dev/null)" ] && break
      sleep 0.1
    done
    kill -INT -- -"$job"
    wait "$job"
    check "interrupted while writing the image, it fails" test $? -ne 0
    check "and leaves the old image as it was" test "$(stat -c '%i %s %Y' "$place/big.iso")" = "$old"
    check "and nothing beside it" test "$(ls -A "$place")" = "$(printf 'big.iso\nproduct')"
  else
    fail "a file over 4 GiB goes onto the medium" "$(cat "$E2E_WORK/made")"
  fi
  rm -rf "$place"
fi

# --- what it refuses ----------------------------------------------------------
# The outputs as they are now: each refusal must leave them so, and nothing
# beside them.
snapshot() { (cd "$out" && find . -mindepth 1 -printf '%p %s %T@ %m\n' | sort && md5sum medium.iso); }
before=$(snapshot)
product=$E2E_WORK/product
# refused NAME EXPECTED-MESSAGE ARGUMENTS...: exit code 1, exactly one line
# on standard error that holds the message, nothing on standard output, and
# the outputs as they were.
refused() {
  local name=$1 expected=$2 code
  shift 2
  make_medium "$@" >"$E2E_WORK/stdout" 2>"$E2E_WORK/stderr"
  code=$?
  check "$name: refused with exit code 1" test "$code" -eq 1
  check "$name: says so in one line" \
    eval '[ "$(wc -l <"$E2E_WORK/stderr")" -eq 1 ] && grep -qF -- "$expected" "$E2E_WORK/stderr"'
  [ "$(wc -l <"$E2E_WORK/stderr")" -eq 1 ] || sed 's/^/     stderr: /' "$E2E_WORK/stderr"
  check "$name: writes nothing, leaves the old medium" \
    eval '[ ! -s "$E2E_WORK/stdout" ] && [ "$(snapshot)" = "$before" ]'
}
# A copy of the sample product, changed by a command (p is its folder).
product_where() {
  rm -rf "$product"
  cp -R "$SAMPLE" "$product"
  (p=$product; eval "$1")
}
outputs=(--tree "$tree" --image "$image")
while IFS='|' read -r name change expected; do
  product_where "$change"
  refused "$name" "$expected" --label TARVOLIN "${outputs[@]}" "$product"
done <<'CASES'
no INST.EXE|rm "$p/INST.EXE"|holds no installer INST.EXE (in any letter case)
INST.EXE a folder|rm "$p/INST.EXE"; mkdir "$p/inst.exe"|holds no installer INST.EXE (in any letter case)
two files whose names differ in case|cp "$p/Handbuch.pdf" "$p/HANDBUCH.PDF"|holds 'HANDBUCH.PDF' and 'Handbuch.pdf', names that differ only in letter case
two folders whose names differ in case|mkdir "$p/EXTRAS"|names that differ only in letter case
a name the medium makes itself|touch "$p/AutoRun.INF"|holds 'AutoRun.INF'; the medium makes its own autorun.inf
an autorun of the product's own|touch "$p/autorun.sh"|which Linux desktops would run in place of the medium's autorun
a name Windows cannot show|touch "$p/Extras/Frage?.txt"|'/Extras/Frage?.txt' cannot keep its name on Windows
a name longer than Joliet holds|touch "$p/Extras/$(printf 'n%.0s' $(seq 65))"|cannot keep its name on Windows
a link to nothing|ln -s Prospekt.alt "$p/Prospekt.pdf.lnk"|holds 'Prospekt.pdf.lnk', a link to nothing
a pipe|mkfifo "$p/Ablauf"|holds 'Ablauf', which is neither a file nor a folder
CASES
for label in "$(printf 'A%.0s' $(seq 33))|has 33 characters; ISO 9660 holds at most 32" \
             "Tarvolin|may hold only A-Z, 0-9 and _ (ISO 9660), up to 32 characters" \
             "TAR VOLIN|may hold only A-Z, 0-9 and _" "|the label is empty"; do
  refused "the label '${label%%|*}'" "${label#*|}" --label "${label%%|*}" "${outputs[@]}" "$SAMPLE"
done
product_where 'touch "$p/Frage?.txt"'
make_medium --label TARVOLIN --image "$E2E_WORK/neu/medium.iso" "$product" >/dev/null 2>&1
check "a refusal after the folder for a new output was made takes that folder away again" \
  test ! -e "$E2E_WORK/neu"
product_where ''
refused "an image inside the product folder" "would lie inside the product folder" \
  --label TARVOLIN --image "$product/medium.iso" "$product"
refused "a product folder inside the tree" "lies inside the output" \
  --label TARVOLIN --tree "$E2E_WORK" --image "$image" "$product"
mkdir -p "$E2E_WORK/Dokumente"
echo wichtig >"$E2E_WORK/Dokumente/Brief.txt"
refused "a tree folder that holds no medium" "holds no medium; it is left as it is" \
  --label TARVOLIN --tree "$E2E_WORK/Dokumente" --image "$image" "$product"
check "whose files stay" test "$(cat "$E2E_WORK/Dokumente/Brief.txt")" = wichtig
refused "an image path that names another file" "is not an ISO 9660 image; it is left as it is" \
  --label TARVOLIN --image "$E2E_WORK/Dokumente/Brief.txt" "$product"
refused "the programs swapped" "is not a Windows program" \
  --windows "$CDSTART" --label TARVOLIN "${outputs[@]}" "$product"

# Accepted: an installer named in any letter case, names beyond ASCII; and a
# medium that replaces the old one holds nothing of it.
product_where 'mv "$p/INST.EXE" "$p/inst.exe"; rm "$p/Prospekt.pdf"; echo neu >"$p/Übersicht für Ärzte.txt"'
if make_medium --label TARVOLIN2 "${outputs[@]}" "$product" >"$E2E_WORK/made" 2>&1; then
  pass "an installer named inst.exe is accepted"
  check "the new tree replaces the old one as a whole" \
    test "$(cd "$tree" && find . | sed 's/^\.//; s/^$/\//' | sort)" = "$(expected_paths "$product")"
  check "so does the new image" test "$(image_paths "$image" any)" = "$(expected_paths "$product")"
  check "whose Joliet names are the same, umlauts and all" \
    test "$(image_paths "$image" norock)" = "$(expected_paths "$product")"
  check "under its new label" \
    eval 'xorriso -indev "$image" -pvd_info 2>&1 | grep -qx "Volume Id    : TARVOLIN2"'
  check "and nothing else is left beside them" test "$(ls -A "$out")" = "$(printf 'medium\nmedium.iso')"
else
  fail "an installer named inst.exe is accepted" "$(cat "$E2E_WORK/made")"
fi

finish
