#!/usr/bin/env bash
# Renders the hand-drawn SVG sources in resources/pictures/ into the binary
# files in resources/rendered/ that the build embeds. The rendered files are
# committed, so this only needs to run after a drawing has changed.
#
# Needs the Debian packages: librsvg2-bin (rsvg-convert), imagemagick
# (/usr/bin/convert, /usr/bin/identify) and python3 (standard library only).
#
# Output:
#   background.jpg   128 x 128 baseline JFIF, 3 components, no metadata
#   glyph_*.bmp      32 x 32 BMP3 (BITMAPINFOHEADER), 24 bpp, bottom-up,
#                    on white; the bottom-left pixel is white, which the
#                    program treats as the transparent colour. The OK glyph
#                    is 16 x 16, to sit inside the About box's 25-pixel button.
#   icon.ico         32 x 32 and 16 x 16, 4 bpp with AND mask, BMP-coded
#   icon.png         64 x 64 RGBA, the volume icon of a medium for Linux
#                    desktops (.xdg-volume-info names it)
#
# Runs from any directory. The output is the same on every run.

set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
src="$root/resources/pictures"
out="$root/resources/rendered"

# Call ImageMagick by absolute path: a different "convert" may come first in PATH.
IM_CONVERT=/usr/bin/convert
IM_IDENTIFY=/usr/bin/identify

need() {
    if ! command -v "$1" >/dev/null 2>&1; then
        echo "render_pictures: '$1' not found; install the Debian package $2" >&2
        exit 1
    fi
}
need rsvg-convert librsvg2-bin
need "$IM_CONVERT" imagemagick
need "$IM_IDENTIFY" imagemagick
need python3 python3

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

mkdir -p "$out"

# No timestamps or other varying data in the files we write.
export SOURCE_DATE_EPOCH=0
im_plain=(+set date:create +set date:modify +set date:timestamp -strip)

svg_to_png() { # svg size png
    rsvg-convert --width "$2" --height "$2" --format png --output "$3" "$1"
}

# --- background -----------------------------------------------------------
svg_to_png "$src/background.svg" 128 "$work/background.png"
"$IM_CONVERT" "$work/background.png" \
    -background white -alpha remove -alpha off \
    -colorspace sRGB -type TrueColor \
    "${im_plain[@]}" \
    -interlace none -quality 85 \
    "JPEG:$out/background.jpg"

# --- button glyphs --------------------------------------------------------
glyphs=(program network manual brochure abort ok)
glyph_size() { [ "$1" = ok ] && echo 16 || echo 32; }
for g in "${glyphs[@]}"; do
    svg_to_png "$src/glyph_$g.svg" "$(glyph_size "$g")" "$work/glyph_$g.png"
    "$IM_CONVERT" "$work/glyph_$g.png" \
        -background white -alpha remove -alpha off \
        -colorspace sRGB -type TrueColor \
        "${im_plain[@]}" \
        -units PixelsPerCentimeter -density 37.79 \
        "BMP3:$out/glyph_$g.bmp"
done

# --- program icon ---------------------------------------------------------
# ImageMagick writes PNG-coded or 8/32-bit ICO entries, so the 4-bit entries
# are put together here. The drawing keeps to the 16 standard Windows
# colours; each pixel is mapped to the nearest of them, and anything less
# than half opaque goes into the AND mask.
for s in 32 16; do
    svg_to_png "$src/icon.svg" "$s" "$work/icon$s.png"
    "$IM_CONVERT" "$work/icon$s.png" -alpha on -depth 8 "RGBA:$work/icon$s.rgba"
done

python3 - "$work" "$out/icon.ico" <<'EOF'
import struct
import sys

work, dest = sys.argv[1], sys.argv[2]

# The standard 16-colour Windows palette, in its usual order.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]


def nearest(rgb):
    return min(range(16), key=lambda i: sum((a - b) ** 2 for a, b in zip(rgb, PALETTE[i])))


def icon_image(size):
    with open(f"{work}/icon{size}.rgba", "rb") as f:
        rgba = f.read()
    if len(rgba) != size * size * 4:
        sys.exit(f"icon{size}.rgba: unexpected size {len(rgba)}")

    # Rows top-down first; BMP wants them bottom-up.
    index_rows, mask_rows = [], []
    off_palette = 0
    for y in range(size):
        idx, mask = [], []
        for x in range(size):
            r, g, b, a = rgba[(y * size + x) * 4:(y * size + x) * 4 + 4]
            if a < 128:
                idx.append(0)
                mask.append(1)
            else:
                i = nearest((r, g, b))
                if PALETTE[i] != (r, g, b):
                    off_palette += 1
                idx.append(i)
                mask.append(0)
        index_rows.append(idx)
        mask_rows.append(mask)

    xor_stride = (size * 4 + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    xor = bytearray()
    and_ = bytearray()
    for idx, mask in zip(reversed(index_rows), reversed(mask_rows)):
        row = bytearray((idx[x] << 4) | idx[x + 1] for x in range(0, size, 2))
        xor += row + bytes(xor_stride - len(row))
        row = bytearray()
        for x in range(0, size, 8):
            byte = 0
            for bit in range(8):
                if x + bit < size and mask[x + bit]:
                    byte |= 0x80 >> bit
            row.append(byte)
        and_ += row + bytes(and_stride - len(row))

    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(and_), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    if off_palette:
        print(f"render_pictures: icon {size}x{size}: {off_palette} pixels "
              f"mapped to the nearest palette colour", file=sys.stderr)
    return header + palette + bytes(xor) + bytes(and_)


sizes = [32, 16]
images = [icon_image(s) for s in sizes]
offset = 6 + 16 * len(images)
data = struct.pack("<HHH", 0, 1, len(images))
for size, img in zip(sizes, images):
    data += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(img), offset)
    offset += len(img)
data += b"".join(images)
with open(dest, "wb") as f:
    f.write(data)
EOF

# --- volume icon for Linux desktops -----------------------------------------
# The same drawing at twice the size, with its transparency.
svg_to_png "$src/icon.svg" 64 "$work/icon64.png"
"$IM_CONVERT" "$work/icon64.png" "${im_plain[@]}" -define png:exclude-chunks=date,time \
    "PNG32:$out/icon.png"

# --- check what was written -----------------------------------------------
python3 - "$out" "${glyphs[@]}" <<'EOF'
import struct
import sys

out, glyphs = sys.argv[1], sys.argv[2:]
SIZES = {"ok": 16}
bad = []


def check(cond, what):
    if not cond:
        bad.append(what)


for g in glyphs:
    name = f"glyph_{g}.bmp"
    d = open(f"{out}/{name}", "rb").read()
    magic, fsize, _, _, pixoff = struct.unpack_from("<2sIHHI", d, 0)
    hsize, w, h, planes, bpp, comp = struct.unpack_from("<IiiHHI", d, 14)
    check(magic == b"BM" and fsize == len(d), f"{name}: file header")
    check(hsize == 40, f"{name}: header size {hsize}, want 40")
    side = SIZES.get(g, 32)
    check((w, h) == (side, side), f"{name}: {w}x{h}, want {side}x{side} bottom-up")
    check(bpp == 24 and comp == 0 and planes == 1, f"{name}: {bpp} bpp, compression {comp}")
    check(pixoff == 54, f"{name}: pixel data at {pixoff}, want 54 (no palette)")
    # The first stored row is the bottom one.
    check(d[pixoff:pixoff + 3] == b"\xff\xff\xff", f"{name}: bottom-left pixel is not white")

d = open(f"{out}/icon.ico", "rb").read()
_, kind, count = struct.unpack_from("<HHH", d, 0)
check(kind == 1 and count == 2, "icon.ico: want one icon with 2 images")
for n in range(count):
    w, h, colors, _, planes, bpp, size, off = struct.unpack_from("<BBBBHHII", d, 6 + 16 * n)
    hsize, bw, bh, _, bbpp, comp = struct.unpack_from("<IiiHHI", d, off)
    check(hsize == 40 and bw == w and bh == 2 * h and bbpp == 4 and comp == 0 and colors == 16,
          f"icon.ico: image {n} is not a 4-bit BMP-coded entry")

d = open(f"{out}/background.jpg", "rb").read()
check(d[:4] == b"\xff\xd8\xff\xe0" and d[6:11] == b"JFIF\0", "background.jpg: not JFIF")
pos, markers = 2, []
while pos + 4 <= len(d) and d[pos] == 0xFF:
    marker, length = d[pos + 1], struct.unpack_from(">H", d, pos + 2)[0]
    markers.append(marker)
    if marker == 0xC0:
        _, jh, jw, comps = struct.unpack_from(">BHHB", d, pos + 4)
        check((jw, jh, comps) == (128, 128, 3), f"background.jpg: {jw}x{jh}, {comps} components")
    if marker == 0xDA:
        break
    pos += 2 + length
check(0xC0 in markers, "background.jpg: not baseline")
check(not any(m in markers for m in (0xC2, 0xE1, 0xE2, 0xFE)),
      "background.jpg: progressive, or carries EXIF/ICC/comment")

if bad:
    print("render_pictures: " + "\nrender_pictures: ".join(bad), file=sys.stderr)
    sys.exit(1)
EOF

for f in "$out"/background.jpg "$out"/glyph_*.bmp "$out"/icon.ico "$out"/icon.png; do
    "$IM_IDENTIFY" "$f"
done
