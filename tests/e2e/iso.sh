# ISO 9660 images of a folder, written by xorriso and mounted read-only, for
# end-to-end tests that need a real medium rather than a folder. Source it
# after lib.sh.
#
#   iso_build KIND FOLDER IMAGE  writes an image of FOLDER's contents. KIND:
#                                rockridge-joliet  Rock Ridge (names, modes)
#                                                  and Joliet
#                                joliet            Joliet names only
#                                plain             ISO 9660 names only:
#                                                  upper case, with ";1"
#   iso_mount IMAGE DIR [raw]    mounts IMAGE read-only at DIR and sets
#                                ISO_MOUNT_METHOD to how: "kernel" where the
#                                kernel can, else "fuse" (fuseiso), else
#                                "extract" (xorriso -osirrox into DIR, made
#                                read-only). A disc without Rock Ridge shows
#                                every file as executable, as the kernel does.
#                                raw: plain names as recorded ("INST.EXE;1"),
#                                as a kernel mount with map=off shows them
#                                (fuseiso cannot show them so).
#   iso_unmount DIR              undoes iso_mount; also done at exit.

iso_build() {
  local kind=$1 folder=$2 image=$3 rockridge joliet
  case $kind in
    rockridge-joliet) rockridge=on joliet=on ;;
    joliet) rockridge=off joliet=on ;;
    plain) rockridge=off joliet=off ;;
    *) echo "iso_build: no such kind of image: $kind" >&2; return 2 ;;
  esac
  rm -f "$image"  # xorriso would add a session to an existing image
  xorriso -report_about SORRY -outdev "$image" -volid CDSTART_TEST \
    -rockridge "$rockridge" -joliet "$joliet" -map "$folder" / >"$E2E_WORK/xorriso.log" 2>&1 || {
    echo "iso_build: xorriso failed: $(cat "$E2E_WORK/xorriso.log")" >&2
    return 1
  }
}

iso_mount() {
  local image=$1 dir=$2 raw=${3:-} modes=()
  mkdir -p "$dir"
  E2E_CLEANUP+=("iso_unmount $(printf '%q' "$dir")")
  # Without Rock Ridge the kernel shows every file as r-x (a disc may carry
  # programs for any system); fuseiso shows r--, so its modes are widened.
  xorriso -indev "$image" -toc 2>&1 | grep -q '^ISO offers.*Rock_Ridge' || modes=(-o umask=0222)
  if [ "$(id -u)" -eq 0 ] &&
     mount -t iso9660 -o "ro,loop${raw:+,map=off}" "$image" "$dir" 2>/dev/null; then
    ISO_MOUNT_METHOD=kernel
  elif [ -z "$raw" ] && [ -e /dev/fuse ] && command -v fuseiso >/dev/null &&
       fuseiso -n "$image" "$dir" "${modes[@]}" 2>/dev/null && iso_mounted "$dir"; then
    ISO_MOUNT_METHOD=fuse
  else
    if ! xorriso -report_about SORRY -osirrox on ${raw:+-ecma119_map unmapped} \
           -indev "$image" -extract / "$dir" >"$E2E_WORK/xorriso.log" 2>&1; then
      echo "iso_mount: cannot extract $image: $(cat "$E2E_WORK/xorriso.log")" >&2
      return 1
    fi
    chmod -R a-w "$dir"
    ISO_MOUNT_METHOD=extract
  fi
}

iso_mounted() {  # waits a moment for a mount to appear at DIR
  local i
  for i in $(seq 100); do
    mountpoint -q "$1" && return 0
    sleep 0.05
  done
  return 1
}

iso_unmount() {
  local dir=$1
  if mountpoint -q "$dir" 2>/dev/null; then
    # Lazily: a program started from the medium may still hold it.
    fusermount -u -z "$dir" 2>/dev/null || umount -l "$dir" 2>/dev/null
  elif [ -d "$dir" ]; then
    chmod -R u+w "$dir" && rm -rf "$dir"
  fi
}
