#!/usr/bin/env bash
# Makes the picture-preparation fixtures in this folder. Needs python3 (standard library only),
# ImageMagick's convert and libjpeg's cjpeg. Re-running it gives the same files.
set -euo pipefail
cd "$(dirname "$0")"

# picture.ppm: 37 x 23 (odd, so that margins come out odd), 5 x 5 blocks of 24 colours, no black
# pixel anywhere, so that what is not black after placing it is the picture. Few colours keep the
# GIF and the 8-bit BMP made from it lossless.
python3 - <<'PY'
w, h = 37, 23
colours = [(40 + 60 * (i % 4), 30 + 45 * (i // 4 % 5), 200 - 35 * (i % 6)) for i in range(24)]
rows = bytearray()
for y in range(h):
    for x in range(w):
        rows += bytes(colours[(x // 5 * 7 + y // 5 * 3) % 24])
with open("picture.ppm", "wb") as f:
    f.write(b"P6\n%d %d\n255\n" % (w, h) + rows)
PY

# The same pixels as every kind of source.
convert picture.ppm -type TrueColor BMP3:picture-24bit.bmp
convert picture.ppm -type Palette BMP3:picture-8bit.bmp
convert picture.ppm picture.gif
cjpeg -quality 90 -outfile sequential.jpg picture.ppm
cjpeg -quality 90 -progressive -outfile progressive.jpg picture.ppm

# Two frames of one size, red then blue: only the red one may reach the saver.
convert -size 20x10 xc:red xc:blue -loop 0 animated.gif

# A logical screen of 20 x 10 with no colour table and no image, then the trailer.
printf 'GIF89a\x14\x00\x0a\x00\x00\x00\x00\x3b' >empty.gif

# Mask pictures: flat white and flat grey 128 (both decode exactly to their colour).
python3 - <<'PY'
for name, level in (("mask-white.ppm", 255), ("mask-grey.ppm", 128)):
    with open(name, "wb") as f:
        f.write(b"P6\n16 16\n255\n" + bytes([level]) * (16 * 16 * 3))
PY
cjpeg -quality 90 -outfile mask-white.jpg mask-white.ppm
cjpeg -quality 90 -outfile mask-grey.jpg mask-grey.ppm
rm mask-white.ppm mask-grey.ppm

# The same pixels again as lossless PNG and WebP; -strip keeps dates out of the PNG.
convert picture.ppm -strip picture.png
convert picture.ppm -define webp:lossless=true picture.webp

# Two 20 x 20 halves, opaque orange and half-transparent blue, as PNG, lossy WebP and HEIC
# (libheif's heif-enc, from libheif-examples): over black the blue half comes out darker.
convert -size 20x20 'xc:rgb(230,120,40)' -size 20x20 'xc:rgba(40,150,230,0.5)' +append \
  -strip PNG32:halves.png
convert halves.png -define webp:exact=true -quality 90 halves.webp
heif-enc -q 90 halves.png -o halves.heic
