#!/bin/bash
# Makes a medium from a product folder: the tree that goes onto a CD-ROM or a
# USB stick, and an ISO 9660 image of it, written by xorriso, with Rock Ridge
# (exact names and execute bits for Linux) and Joliet (long mixed-case names
# for Windows).
#
# Usage: tools/make_medium.sh --windows CDSTART.EXE --linux CDSTART --label LABEL
#                             --image IMAGE.iso [--tree FOLDER] PRODUCT-FOLDER
#
# The medium holds the product folder's files as they are, sub-folders too,
# and beside them:
#   cdstart.exe        the start menu for Windows (the 32-bit program)
#   cdstart            the start menu for Linux
#   autorun.inf        Windows: AutoPlay offers cdstart.exe; the drive's icon
#                      and label
#   cdstart.ico        the icon autorun.inf names
#   autorun            Linux desktops offer to run it when the medium is
#                      mounted, in the medium's root; it starts cdstart
#   .xdg-volume-info   Linux desktops: the medium's name and icon
#   cdstart.png        the icon .xdg-volume-info names
#
# LABEL is the volume label: 1 to 32 characters of A-Z, 0-9 and _ (ISO 9660).
# Everything is built in temporary folders beside the outputs and moved into
# place at the end, so a failed run leaves the outputs as they were; an
# output that exists already is replaced as a whole. Whatever cannot work is
# refused with one line on standard error and exit code 1 (2 for a wrong
# command line).
set -uo pipefail
# Names are UTF-8; xorriso turns them into Joliet's UTF-16 only in a UTF-8
# locale (in others it makes every non-ASCII character a "_").
export LC_ALL=C.UTF-8
me=make_medium
# The program's icons, from the repository this script lies in.
icons=$(dirname "$(readlink -f "$0")")/../resources/rendered
# AutoPlay's entry for cdstart.exe. ASCII, as the file is read in the
# system's code page (and by Linux desktops, for the icon, as UTF-8).
action="Installation starten"
# The medium's own files, and the names that Linux desktops would run in
# place of its autorun; none may come from the product folder.
own_names=(cdstart.exe cdstart autorun.inf cdstart.ico autorun .xdg-volume-info cdstart.png)
rival_autoruns=(.autorun autorun.sh)

usage() {
  echo "usage: $0 --windows CDSTART.EXE --linux CDSTART --label LABEL --image IMAGE.iso" \
       "[--tree FOLDER] PRODUCT-FOLDER" >&2
  exit 2
}
fail() { printf '%s: %s\n' "$me" "$*" >&2; exit 1; }
# A name for a message: quoted, control characters made visible.
quote() {
  if [[ $1 == *[[:cntrl:]]* ]]; then printf '%q' "$1"; else printf "'%s'" "$1"; fi
}

windows= linux= label= image= tree= product= label_given=false
while [ $# -gt 0 ]; do
  case $1 in
    --windows|--linux|--image|--tree)
      [ $# -ge 2 ] || usage
      printf -v "${1#--}" '%s' "$2"
      shift 2 ;;
    --label) [ $# -ge 2 ] || usage; label=$2; label_given=true; shift 2 ;;
    --) [ $# -eq 2 ] || usage; product=$2; shift 2 ;;
    -*) usage ;;
    *) [ -z "$product" ] || usage; product=$1; shift ;;
  esac
done
[ -n "$windows" ] && [ -n "$linux" ] && $label_given && [ -n "$image" ] && [ -n "$product" ] ||
  usage
command -v xorriso >/dev/null || fail "xorriso is not installed (Debian: apt-get install xorriso)"
[ -f "$icons/icon.ico" ] && [ -f "$icons/icon.png" ] ||
  fail "the program's icons are missing from $(quote "$icons")"

# --- the label --------------------------------------------------------------
if [ -z "$label" ]; then
  fail "the label is empty; ISO 9660 takes 1 to 32 characters of A-Z, 0-9 and _"
elif [ ${#label} -gt 32 ]; then
  fail "the label $(quote "$label") has ${#label} characters; ISO 9660 holds at most 32"
elif [[ ! $label =~ ^[A-Z0-9_]+$ ]]; then
  fail "the label $(quote "$label") may hold only A-Z, 0-9 and _ (ISO 9660), up to 32 characters"
elif [ ${#label} -gt 16 ]; then
  echo "$me: note: where Windows does not read autorun.inf it shows the label's first 16" \
       "characters (Joliet's limit)" >&2
fi

# --- the programs -------------------------------------------------------------
# The machine a Windows program is made for: the PE header's machine field
# (0x14c i386, 0x8664 x86-64), behind the "PE\0\0" that offset 0x3c points to.
pe_machine() {
  local offset
  [ "$(head -c 2 "$1" 2>/dev/null)" = MZ ] || return 0
  offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$offset" ] || return 0
  [ "$(od -An -tx1 -j"$offset" -N4 "$1" 2>/dev/null | tr -d ' ')" = 50450000 ] || return 0
  case $(od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' ') in
    014c) echo i386 ;;
    8664) echo x86-64 ;;
  esac
}
[ -f "$windows" ] || fail "no Windows program at $(quote "$windows")"
case $(pe_machine "$windows") in
  i386) ;;
  x86-64) echo "$me: note: $(quote "$windows") is a 64-bit program; this medium starts" \
               "only on 64-bit Windows" >&2 ;;
  *) fail "$(quote "$windows") is not a Windows program (--windows names cdstart.exe)" ;;
esac
[ -f "$linux" ] || fail "no Linux program at $(quote "$linux")"
[ "$(od -An -tx1 -N4 "$linux" 2>/dev/null | tr -d ' ')" = 7f454c46 ] ||
  fail "$(quote "$linux") is not a Linux program (--linux names cdstart)"

# --- the product folder ---------------------------------------------------------
[ -e "$product" ] || fail "there is no product folder $(quote "$product")"
[ -d "$product" ] || fail "the product folder $(quote "$product") is not a folder"
product=$(cd "$product" && pwd -P) || fail "cannot enter the product folder $(quote "$product")"

# Every entry, in order, links followed as the copy follows them: only files
# and folders, no two names in one folder that differ only in letter case
# (Windows would show one of them), no control characters.
errors=$(mktemp) || fail "cannot create a temporary file"
trap 'rm -f "$errors"' EXIT
declare -A seen=()
installer=false
while IFS= read -r -d '' path; do
  name=${path##*/}
  [[ $name == *[[:cntrl:]]* ]] &&
    fail "the product folder holds $(quote "$path"), a name with a control character"
  if [ -f "$product/$path" ]; then
    kind=file
  elif [ -d "$product/$path" ]; then
    kind=folder
  elif [ -L "$product/$path" ]; then
    fail "the product folder holds $(quote "$path"), a link to nothing"
  else
    fail "the product folder holds $(quote "$path"), which is neither a file nor a folder"
  fi
  key=${path,,}
  if [ -n "${seen[$key]+set}" ]; then
    fail "the product folder holds $(quote "${seen[$key]}") and $(quote "$path"), names that" \
         "differ only in letter case (Windows would show only one of them)"
  fi
  seen[$key]=$path
  [ "$path" = "$name" ] || continue
  for own in "${own_names[@]}"; do
    [ "$key" = "$own" ] && fail "the product folder holds $(quote "$path"); the medium makes" \
                                "its own $own (remove it from the product folder)"
  done
  for rival in "${rival_autoruns[@]}"; do
    [ "$key" = "$rival" ] && fail "the product folder holds $(quote "$path"), which Linux" \
                                  "desktops would run in place of the medium's autorun"
  done
  [ "$key" = inst.exe ] && [ $kind = file ] && installer=true
done < <(find -L "$product" -mindepth 1 -printf '%P\0' 2>"$errors" | sort -z)
if [ -s "$errors" ]; then
  fail "cannot read the product folder: $(head -n 1 "$errors" | sed 's/^find: //')"
fi
$installer || fail "the product folder $(quote "$product") holds no installer INST.EXE" \
                   "(in any letter case)"

# --- the outputs --------------------------------------------------------------
image=$(realpath -m -- "$image")
[ -z "$tree" ] || tree=$(realpath -m -- "$tree")
inside() { case "$1/" in "$2"/*) return 0 ;; esac; return 1; }  # inside PATH FOLDER
for output in "$image" ${tree:+"$tree"}; do
  inside "$output" "$product" &&
    fail "the output $(quote "$output") would lie inside the product folder and go onto the next medium"
  inside "$product" "$output" &&
    fail "the product folder lies inside the output $(quote "$output"), which is replaced as a whole"
done
[ -n "$tree" ] && inside "$image" "$tree" &&
  fail "the image $(quote "$image") would lie inside the tree $(quote "$tree")"
if [ -e "$image" ] || [ -L "$image" ]; then
  [ -f "$image" ] && [ ! -L "$image" ] || fail "$(quote "$image") exists and is not a file"
  # Replaced only when it is an image already (or empty): never someone's other file.
  [ ! -s "$image" ] || [ "$(od -An -c -j32769 -N5 "$image" 2>/dev/null | tr -d ' ')" = CD001 ] ||
    fail "$(quote "$image") exists and is not an ISO 9660 image; it is left as it is"
fi
if [ -n "$tree" ] && { [ -e "$tree" ] || [ -L "$tree" ]; }; then
  [ -d "$tree" ] && [ ! -L "$tree" ] || fail "$(quote "$tree") exists and is not a folder"
  # Replaced only when it is a medium already (or empty).
  [ -z "$(ls -A "$tree")" ] || { [ -f "$tree/autorun.inf" ] && [ -f "$tree/cdstart.exe" ]; } ||
    fail "$(quote "$tree") exists and holds no medium; it is left as it is"
fi

# --- building, beside the outputs -------------------------------------------------
made_folders=()  # the outermost folder made for each output, removed again on failure
stages=()
done_ok=false
cleanup() {
  local folder
  for folder in "${stages[@]}"; do
    # A tree moved aside but not yet replaced goes back.
    if [ -d "$folder/previous" ] && [ -n "$tree" ] && [ ! -e "$tree" ]; then
      mv -T -- "$folder/previous" "$tree"
    fi
    chmod -R u+rwx -- "$folder" 2>/dev/null
    rm -rf -- "$folder"
  done
  if ! $done_ok; then
    for folder in "${made_folders[@]}"; do
      [ -d "$folder" ] && find "$folder" -depth -type d -empty -delete 2>/dev/null
    done
  fi
  rm -f "$errors"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
# A temporary folder in the folder of OUTPUT, which is made if need be:
# stage_beside OUTPUT sets stage to its path.
stage_beside() {
  local parent top
  parent=$(dirname "$1")
  if [ ! -d "$parent" ]; then
    top=$parent
    while [ ! -e "$(dirname "$top")" ]; do top=$(dirname "$top"); done
    mkdir -p -- "$parent" 2>/dev/null || fail "cannot make the folder $(quote "$parent")"
    made_folders+=("$top")
  fi
  stage=$(mktemp -d "$parent/.make_medium-XXXXXX" 2>/dev/null) ||
    fail "cannot write in the folder of $(quote "$1")"
  stages+=("$stage")
}
stage_beside "$image"
image_stage=$stage
tree_stage=$image_stage
if [ -n "$tree" ]; then
  stage_beside "$tree"
  tree_stage=$stage
fi
medium=$tree_stage/medium

# The product as it is, then every entry readable by all and writable by
# none but its owner (what mkisofs calls rationalised modes): a file that
# was private to the vendor's account is no use on a medium.
mkdir "$medium" || fail "cannot write in $(quote "$tree_stage")"
cp -RL --preserve=mode,timestamps -- "$product/." "$medium/" 2>"$errors" ||
  fail "cannot copy the product folder: $(head -n 1 "$errors" | sed 's/^cp: //; s|/\./|/|')"
chmod -R u+rwX,go=u-w -- "$medium"

cp -- "$windows" "$medium/cdstart.exe" && cp -- "$linux" "$medium/cdstart" &&
  cp -- "$icons/icon.ico" "$medium/cdstart.ico" && cp -- "$icons/icon.png" "$medium/cdstart.png" ||
  fail "cannot copy the programs into $(quote "$medium")"
printf '[autorun]\r\nopen=cdstart.exe\r\nicon=cdstart.ico\r\nlabel=%s\r\naction=%s\r\n' \
  "$label" "$action" >"$medium/autorun.inf"
printf '[Volume Info]\nName=%s\nIconFile=cdstart.png\n' "$label" >"$medium/.xdg-volume-info"
cat >"$medium/autorun" <<'SCRIPT'
#!/bin/sh
# Starts the start menu of this medium, the program cdstart beside this file.
# A Linux desktop offers to run this file when the medium is mounted, with
# the medium's root as the working folder.
case $0 in
  */*) exec "${0%/*}/cdstart" ;;
  *) exec ./cdstart ;;
esac
SCRIPT
chmod 0644 "$medium"/{cdstart.exe,cdstart.ico,cdstart.png,autorun.inf,.xdg-volume-info}
chmod 0755 "$medium"/{cdstart,autorun}

# The image, owned by root as on any disc. ISO level 3: a file over 4 GiB is
# stored in several extents (read by Linux, and by Windows from XP on).
# "stdio:" takes the path as a file wherever it lies (/dev/shm too).
if ! xorriso -report_about SORRY -abort_on FAILURE -return_with SORRY 32 \
       -outdev "stdio:$image_stage/medium.iso" -volid "$label" -rockridge on -joliet on \
       -compliance iso_9660_level=3 -map "$medium" / -chown_r 0 / -- -chgrp_r 0 / -- \
       -commit >"$errors" 2>&1; then
  fail "xorriso could not write the image: $(grep -m 1 -E 'FAILURE|SORRY|FATAL' "$errors" ||
                                            tail -n 1 "$errors")"
fi

# What Windows reads is the Joliet tree, where xorriso shortens names that are
# too long, replaces characters Joliet cannot hold and leaves out paths that
# are too long, with no more than a warning. Each name must come through as
# it is in the Rock Ridge tree.
names() {  # names IMAGE TREE-KIND: every path of that tree, sorted
  xorriso -report_about SORRY -read_fs "$2" -indev "stdio:$1" -find / -- 2>/dev/null | sort
}
lost=$(comm -23 <(names "$image_stage/medium.iso" any) <(names "$image_stage/medium.iso" norock) |
       head -n 1)
[ -z "$lost" ] ||
  fail "$lost cannot keep its name on Windows: Joliet holds names of up to 64 characters," \
       "none of * / : ; ? \\, in paths of up to 240 characters"

# Into place: the tree by two renames (the old one aside, the new one in),
# the image by one.
if [ -n "$tree" ]; then
  if [ -e "$tree" ]; then
    mv -T -- "$tree" "$tree_stage/previous" || fail "cannot move the old $(quote "$tree") aside"
  fi
  mv -T -- "$medium" "$tree" || fail "cannot move the medium to $(quote "$tree")"
fi
mv -f -- "$image_stage/medium.iso" "$image" || fail "cannot move the image to $(quote "$image")"
done_ok=true

echo "medium $label: $(du -sh --apparent-size "$image" | cut -f 1) image $image${tree:+, tree $tree/}"
