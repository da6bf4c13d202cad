#!/usr/bin/env bash
# Draws the program's icon (an open ledger with a gold coin on a dark-green
# tile) and writes src/app/HoardbookUploader.ico with 32x32, 16x16 and 48x48
# images of 256 colours each. Needs ImageMagick; the .ico is committed, so
# building never runs this.
#   tools/make-icon.sh [OUTPUT.ico]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-src/app/HoardbookUploader.ico}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One master drawing at 256x256; each size is scaled from it.
convert -size 256x256 xc:none \
  -fill '#1f5b3a' -stroke '#0e2f1d' -strokewidth 8 -draw 'roundrectangle 8,8 248,248 40,40' \
  -fill '#f3e6c4' -stroke '#6b4a1f' -strokewidth 8 \
  -draw 'polygon 28,70 126,88 126,214 28,196' \
  -draw 'polygon 130,88 228,70 228,196 130,214' \
  -stroke '#b89a62' -strokewidth 6 \
  -draw 'line 46,108 110,119' -draw 'line 46,134 110,145' -draw 'line 46,160 110,171' \
  -fill '#f2c230' -stroke '#8a6410' -strokewidth 8 -draw 'circle 178,138 178,176' \
  -fill none -stroke '#8a6410' -strokewidth 6 -draw 'circle 178,138 178,160' \
  "$work/master.png"

for size in 32 16 48; do
  # At most 256 colours; transparency becomes the 1-bit mask.
  convert "$work/master.png" -resize "${size}x${size}" -channel A -threshold 50% +channel \
    -alpha extract -depth 8 "gray:$work/icon-$size.mask"
  convert "$work/master.png" -resize "${size}x${size}" -channel A -threshold 50% +channel \
    -background '#1f5b3a' -alpha remove -colors 256 -depth 8 "rgb:$work/icon-$size.rgb"
done

# ImageMagick writes 32-bit entries; this writes each image as an 8-bit
# palette bitmap with its AND mask, the classic 256-colour icon format.
python3 - "$work" "$out" <<'PY'
import struct, sys
work, out = sys.argv[1], sys.argv[2]
entries = []
for size in (32, 16, 48):
    rgb = open(f"{work}/icon-{size}.rgb", "rb").read()
    mask = open(f"{work}/icon-{size}.mask", "rb").read()
    pixels = [rgb[i:i + 3] for i in range(0, len(rgb), 3)]
    palette = sorted(set(pixels))
    assert len(palette) <= 256, "more than 256 colours"
    index = {colour: i for i, colour in enumerate(palette)}
    row = (size + 3) & ~3
    mask_row = ((size + 31) // 32) * 4
    xor = bytearray()
    and_mask = bytearray()
    for y in range(size - 1, -1, -1):  # bitmaps are stored bottom-up
        line = bytes(index[pixels[y * size + x]] for x in range(size))
        xor += line + bytes(row - size)
        bits = bytearray(mask_row)
        for x in range(size):
            if mask[y * size + x] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(xor) + len(and_mask), 0, 0, 256, 0)
    colours = b"".join(bytes((c[2], c[1], c[0], 0)) for c in palette) + bytes(4 * (256 - len(palette)))
    entries.append((size, header + colours + bytes(xor) + bytes(and_mask)))
data = struct.pack("<HHH", 0, 1, len(entries))
offset = 6 + 16 * len(entries)
for size, image in entries:
    data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(image), offset)
    offset += len(image)
for _, image in entries:
    data += image
open(out, "wb").write(data)
PY
echo "wrote $out"
