#!/usr/bin/python3
"""Makes the BMP reader's fixtures and the PNG each one should decode to.

Every fixture is a small picture (13 x 7, odd so that rows need padding) of seeded random colours.
Where ImageMagick or Pillow can write a variant we let them; the rest (RLE4, absolute runs and
deltas, 52/56/64-byte headers, V4, top-down, short colour tables, hand-chosen bit fields) are
written here field by field. Each expected PNG is Pillow's decode of the fixture, or ImageMagick's
where Pillow cannot read it, or Pillow's decode of an equivalent file where neither tool reads the
variant (noted per fixture). The PNGs hold red, green and blue, and alpha where the fixture has
an alpha channel (taken from the picture the fixture was made from where Pillow drops it).

Run with /usr/bin/python3 (it needs Pillow) and ImageMagick's convert on the PATH:
    /usr/bin/python3 tests/data/bmp/make_fixtures.py
"""

import io
import os
import random
import struct
import subprocess
import tempfile

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 13, 7
rng = random.Random(20240611)

BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS, BI_ALPHABITFIELDS = 0, 1, 2, 3, 6
LCS_SRGB = 0x73524742


# ----------------------------------------------------------------------------- source pictures

def random_colour():
    return (rng.randrange(256), rng.randrange(256), rng.randrange(256))


def runs_of(choices):
    """Rows made of runs of random length, so that run-length coders have something to do."""
    rows = []
    for _ in range(H):
        row = []
        while len(row) < W:
            row += [rng.choice(choices)] * rng.choice([1, 1, 1, 2, 3, 5])
        rows.append(row[:W])
    return rows


def palette_picture(colours, rows):
    im = Image.new("RGB", (W, H))
    im.putdata([colours[i] for row in rows for i in row])
    return im


RGB = Image.new("RGB", (W, H))
RGB.putdata([random_colour() for _ in range(W * H)])
RGBA = Image.new("RGBA", (W, H))
RGBA.putdata([random_colour() + (rng.randrange(256),) for _ in range(W * H)])

PAL2 = [(200, 30, 40), (20, 90, 220)]
PAL12 = [random_colour() for _ in range(12)]
PAL40 = [random_colour() for _ in range(40)]
ROWS2 = runs_of(range(2))
ROWS12 = runs_of(range(12))
ROWS40 = runs_of(range(40))

# Tools disagree on widening 5- and 6-bit channels to 8 bits: Pillow truncates v * 255 / max,
# ImageMagick repeats the top bits, the bitmap test suite's references round. The 16-bit pictures
# use only the values on which all three give the same byte, so Pillow's decode is a fair
# expectation whichever rule a reader follows.


def agreed(bits):
    top = (1 << bits) - 1
    return [v for v in range(top + 1)
            if v * 255 // top == (v * 255 + top // 2) // top == (v << (8 - bits) | v >> (2 * bits - 8))]


AGREE5, AGREE6 = agreed(5), agreed(6)
GREEN6 = [g for g in AGREE6 if g >> 1 in AGREE5]  # the 5-5-5 files drop the low green bit
RGB16 = [[(rng.choice(AGREE5), rng.choice(GREEN6), rng.choice(AGREE5)) for _ in range(W)]
         for _ in range(H)]


def widen(v, bits):
    """The smallest 8-bit value that ImageMagick's writer (it truncates) takes back to v."""
    top = (1 << bits) - 1
    return -(-v * 255 // top)


def rgb16_picture(green_bits):
    im = Image.new("RGB", (W, H))
    im.putdata([(widen(r, 5), widen(g >> (6 - green_bits), green_bits), widen(b, 5))
                for row in RGB16 for r, g, b in row])
    return im


# ----------------------------------------------------------------------------- writing by hand

def info_header(size, width, height, bits, compression, image_size, colours=0, masks=()):
    header = struct.pack("<IiiHHIIiiII", size, width, height, 1, bits, compression, image_size,
                         2835, 2835, colours, 0)
    header += b"".join(struct.pack("<I", m) for m in masks)
    if size >= 108:
        header += struct.pack("<I", LCS_SRGB) + bytes(48)
    if size >= 124:
        header += struct.pack("<IIII", 4, 0, 0, 0)  # LCS_GM_IMAGES, no profile
    return header.ljust(size, b"\0")


def core_header(width, height, bits):
    return struct.pack("<IHHHH", 12, width, height, 1, bits)


def bmp_file(header, pixels, palette=b"", masks=b""):
    offset = 14 + len(header) + len(masks) + len(palette)
    return (b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + masks +
            palette + pixels)


def palette_bytes(colours, entry_size=4):
    return b"".join(bytes([b, g, r, 0][:entry_size]) for r, g, b in colours)


def pack_row(values, bits):
    if bits == 16:
        out = b"".join(struct.pack("<H", v) for v in values)
    elif bits == 24:
        out = b"".join(bytes([b, g, r]) for r, g, b in values)
    elif bits == 32:
        out = b"".join(struct.pack("<I", v) for v in values)
    else:
        out = bytearray()
        per_byte = 8 // bits
        for i in range(0, len(values), per_byte):
            byte = 0
            for j, v in enumerate(values[i:i + per_byte]):
                byte |= v << (8 - bits * (j + 1))
            out.append(byte)
        out = bytes(out)
    return out.ljust((len(out) + 3) & ~3, b"\0")


def pack_rows(rows, bits, top_down=False):
    ordered = rows if top_down else rows[::-1]
    return b"".join(pack_row(row, bits) for row in ordered)


def rle_encode(rows, rle4, skip_zero=False):
    """Run-length codes rows (top row first) bottom-up with encoded and absolute runs.

    With skip_zero, pixels of index 0 are not coded at all: three or more inside a row become a
    delta, a row's trailing ones an end of line, a row of nothing but zeros a vertical delta and
    the rows left at the top an end of bitmap. A reader leaves such pixels at index 0."""
    out = bytearray()
    order = rows[::-1]
    last = max((y for y, row in enumerate(order) if any(row)), default=-1) if skip_zero else None
    for y, row in enumerate(order):
        if skip_zero and y > last:
            out += b"\0\1"
            return bytes(out)
        if skip_zero and not any(row) and y < H - 1:
            out += b"\0\2\0\1"  # x stays 0: the previous code ended a row
            continue
        x = 0
        while x < W:
            if skip_zero and not any(row[x:]):
                break
            if skip_zero and row[x:x + 3] == [0, 0, 0]:
                n = 3
                while x + n < W and row[x + n] == 0:
                    n += 1
                out += bytes([0, 2, n, 0])
                x += n
                continue
            n = 1
            if rle4:  # an encoded run alternates the two nibbles of its byte
                while x + n < W and n < 255 and row[x + n] == row[x + n % 2]:
                    n += 1
            else:
                while x + n < W and n < 255 and row[x + n] == row[x]:
                    n += 1
            if n >= (3 if rle4 else 2) or W - x < 3:
                value = (row[x] << 4 | row[x + (1 if n > 1 else 0)]) if rle4 else row[x]
                out += bytes([n, value])
                x += n
                continue
            # absolute run up to the next pair of equal pixels
            n = 3
            while (x + n < W and n < 255 and row[x + n] != row[x + n - 1] and
                   not (skip_zero and row[x + n] == 0)):
                n += 1
            values = row[x:x + n]
            if rle4:
                data = bytes((a << 4 | b) for a, b in zip(values[0::2], values[1::2] + [0]))
            else:
                data = bytes(values)
            out += bytes([0, n]) + data + (b"\0" if len(data) % 2 else b"")
            x += n
        out += b"\0\0"
    out[-2:] = b"\0\1"
    return bytes(out)


# ----------------------------------------------------------------------------- tools

def convert(source, *args):
    """Runs ImageMagick on a PNG of source and returns the file it writes."""
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "in.png")
        source.save(src)
        fmt, _, name = args[-1].rpartition(":")
        dst = os.path.join(tmp, name)
        subprocess.run(["convert", src, *args[:-1], (fmt + ":" if fmt else "") + dst], check=True)
        with open(dst, "rb") as f:
            return f.read()


def pillow_save(image, **options):
    buffer = io.BytesIO()
    image.save(buffer, "BMP", **options)
    return buffer.getvalue()


def pillow_decode(data):
    return Image.open(io.BytesIO(data)).convert("RGB")


def with_alpha(rgb, alpha):
    """rgb with the alpha values given, row by row from the top."""
    mask = Image.new("L", (W, H))
    mask.putdata([a for row in alpha for a in row])
    out = rgb.convert("RGBA")
    out.putalpha(mask)
    return out


def magick_decode(data):
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "in.bmp")
        with open(path, "wb") as f:
            f.write(data)
        png = subprocess.run(["convert", path, "-depth", "8", "png24:-"], check=True,
                             capture_output=True).stdout
    return Image.open(io.BytesIO(png)).convert("RGB")


def header_of(data):
    size = struct.unpack_from("<I", data, 14)[0]
    if size == 12:
        width, height, _, bits = struct.unpack_from("<HHHH", data, 18)
        return size, bits, BI_RGB
    width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    return size, bits, compression


written = []


def fixture(name, data, expected, header=None, bits=None, compression=None):
    """Saves name.bmp and name.png, first checking that the tool wrote the variant we asked for."""
    got = header_of(data)
    want = (header, bits, compression)
    assert all(w is None or w == g for w, g in zip(want, got)), (name, got)
    assert expected.size == (W, H) and expected.mode in ("RGB", "RGBA"), name
    with open(os.path.join(HERE, name + ".bmp"), "wb") as f:
        f.write(data)
    expected.save(os.path.join(HERE, name + ".png"), optimize=True)
    written.append(name)


def check_16bit_values(name, data, green_bits):
    """The agreement above only holds if the file holds the values we chose."""
    offset = struct.unpack_from("<I", data, 10)[0]
    stride = (W * 2 + 3) & ~3
    for y in range(H):
        for x in range(W):
            v = struct.unpack_from("<H", data, offset + y * stride + 2 * x)[0]
            r, g, b = v >> (5 + green_bits), (v >> 5) & ((1 << green_bits) - 1), v & 31
            assert r in AGREE5 and b in AGREE5, name
            assert g in (AGREE6 if green_bits == 6 else AGREE5), name


# ----------------------------------------------------------------------------- the fixtures

def main():
    for old in os.listdir(HERE):
        if old.endswith((".bmp", ".png")):
            os.remove(os.path.join(HERE, old))

    pic2 = palette_picture(PAL2, ROWS2)
    pic12 = palette_picture(PAL12, ROWS12)
    pic40 = palette_picture(PAL40, ROWS40)

    # OS/2 core headers, 3-byte colour table entries (ImageMagick).
    for name, pic, bits in [("core-1bpp", pic2, 1), ("core-4bpp", pic12, 4),
                            ("core-8bpp", pic40, 8)]:
        data = convert(pic, "-type", "palette", "-compress", "none", "BMP2:x.bmp")
        fixture(name, data, pillow_decode(data), 12, bits, BI_RGB)
    data = convert(RGB, "-type", "truecolor", "BMP2:x.bmp")
    fixture("core-24bpp", data, pillow_decode(data), 12, 24, BI_RGB)

    # The 40-byte info header.
    for name, pic, bits in [("info-1bpp", pic2, 1), ("info-4bpp", pic12, 4)]:
        data = convert(pic, "-type", "palette", "-compress", "none", "BMP3:x.bmp")
        fixture(name, data, pillow_decode(data), 40, bits, BI_RGB)
    data = pillow_save(pic40.quantize(len(PAL40)))
    fixture("info-8bpp", data, pillow_decode(data), 40, 8, BI_RGB)
    data = pillow_save(RGB)
    fixture("info-24bpp", data, pillow_decode(data), 40, 24, BI_RGB)
    data = pillow_save(RGBA)  # BI_RGB, the fourth byte is alpha; Pillow reads it as padding
    alpha = [[RGBA.getpixel((x, y))[3] for x in range(W)] for y in range(H)]
    fixture("info-32bpp", data, with_alpha(pillow_decode(data), alpha), 40, 32, BI_RGB)
    rows555 = [[r << 10 | (g >> 1) << 5 | b for r, g, b in row] for row in RGB16]
    data = bmp_file(info_header(40, W, H, 16, BI_RGB, 0), pack_rows(rows555, 16))
    check_16bit_values("info-16bpp", data, 5)
    fixture("info-16bpp", data, pillow_decode(data), 40, 16, BI_RGB)

    # Run-length coding. ImageMagick codes RLE8 rows as runs only, and runs the last one over the
    # row's padding: a reader must clip it.
    data = convert(pic40, "-type", "palette", "-compress", "RLE", "BMP3:x.bmp")
    fixture("info-rle8", data, pillow_decode(data), 40, 8, BI_RLE8)
    colours = palette_bytes(PAL40)
    rle = rle_encode(ROWS40, rle4=False)
    data = bmp_file(info_header(40, W, H, 8, BI_RLE8, len(rle), 40), rle, colours)
    fixture("info-rle8-absolute", data, magick_decode(data), 40, 8, BI_RLE8)
    assert pillow_decode(data).tobytes() == magick_decode(data).tobytes()
    # Pillow's RLE4 decoder drops the last pixel of an odd absolute run: ImageMagick decodes.
    colours12 = palette_bytes(PAL12)
    rle = rle_encode(ROWS12, rle4=True)
    data = bmp_file(info_header(40, W, H, 4, BI_RLE4, len(rle), 12), rle, colours12)
    fixture("info-rle4", data, magick_decode(data), 40, 4, BI_RLE4)
    # Index 0 left out of the stream: deltas across and down, early ends of line and of bitmap.
    # Neither tool accepts an end of bitmap before the last row, so these expect the decode of
    # the same picture coded pixel by pixel.
    for name, rows, bits, compression, table in [
            ("info-rle8-delta", ROWS40, 8, BI_RLE8, PAL40),
            ("info-rle4-delta", ROWS12, 4, BI_RLE4, PAL12)]:
        holes = [[0 if rng.random() < 0.3 else i for i in row] for row in rows]
        holes[0] = [0] * W  # ends the bitmap early
        holes[2] = [0] * W  # a vertical delta
        holes[3][-4:] = [0] * 4  # ends a row early
        holes[4][4:9] = [0] * 5  # a delta inside the row
        rle4 = compression == BI_RLE4
        rle = rle_encode(holes, rle4, skip_zero=True)
        assert b"\0\2\0\1" in rle
        header = info_header(40, W, H, bits, compression, len(rle), len(table))
        data = bmp_file(header, rle, palette_bytes(table))
        explicit = rle_encode(holes, rle4)
        header = info_header(40, W, H, bits, compression, len(explicit), len(table))
        fixture(name, data, magick_decode(bmp_file(header, explicit, palette_bytes(table))),
                40, bits, compression)
    # Top-down RLE is outside the rules but seen in the wild; Pillow reads it.
    rle = rle_encode(ROWS40[::-1], rle4=False)
    data = bmp_file(info_header(40, W, -H, 8, BI_RLE8, len(rle), 40), rle, colours)
    fixture("info-rle8-topdown", data, pillow_decode(data), 40, 8, BI_RLE8)

    # Bit fields after a 40-byte header, inside 52- and 56-byte headers, and in V5 headers.
    rows565 = [[r << 11 | g << 5 | b for r, g, b in row] for row in RGB16]
    masks565 = (0xF800, 0x07E0, 0x001F)
    pixels = pack_rows(rows565, 16)
    info565 = bmp_file(info_header(40, W, H, 16, BI_BITFIELDS, len(pixels)), pixels,
                       masks=struct.pack("<III", *masks565))
    fixture("info-bitfields-565", info565, pillow_decode(info565), 40, 16, BI_BITFIELDS)
    # Pillow reads no 52- or 56-byte header: these expect the decode of the 40-byte file.
    data = bmp_file(info_header(52, W, H, 16, BI_BITFIELDS, len(pixels), 0, masks565), pixels)
    fixture("info52-bitfields-565", data, pillow_decode(info565), 52, 16, BI_BITFIELDS)
    for name, green_bits in [("v5-bitfields-565", 6), ("v5-bitfields-555", 5)]:
        subtype = "RGB565" if green_bits == 6 else "RGB555"
        data = convert(rgb16_picture(green_bits), "-define", "bmp:subtype=" + subtype, "BMP:x.bmp")
        check_16bit_values(name, data, green_bits)
        fixture(name, data, pillow_decode(data), 124, 16, BI_BITFIELDS)

    # 32-bit fields in an unusual order (x, blue, green, red from the top byte down).
    masks32 = (0xFF000000, 0x00FF0000, 0x0000FF00)
    rows32 = [[r << 24 | g << 16 | b << 8 | rng.randrange(256) for r, g, b in
               (RGB.getpixel((x, y)) for x in range(W))] for y in range(H)]
    pixels = pack_rows(rows32, 32)
    info32 = bmp_file(info_header(40, W, H, 32, BI_BITFIELDS, len(pixels)), pixels,
                      masks=struct.pack("<III", *masks32))
    fixture("info-bitfields-32", info32, pillow_decode(info32), 40, 32, BI_BITFIELDS)
    data = bmp_file(info_header(56, W, H, 32, BI_ALPHABITFIELDS, len(pixels), 0,
                                masks32 + (0x000000FF,)), pixels)
    alpha = [[v & 0xFF for v in row] for row in rows32]
    fixture("info56-alphabitfields-32", data, with_alpha(pillow_decode(info32), alpha), 56, 32,
            BI_ALPHABITFIELDS)
    data = bmp_file(info_header(40, W, H, 32, BI_ALPHABITFIELDS, len(pixels)), pixels,
                    masks=struct.pack("<IIII", *masks32, 0x000000FF))
    fixture("info-alphabitfields-32", data, with_alpha(pillow_decode(info32), alpha), 40, 32,
            BI_ALPHABITFIELDS)
    data = convert(RGBA, "BMP:x.bmp")
    fixture("v5-bitfields-32", data, Image.open(io.BytesIO(data)).convert("RGBA"), 124, 32,
            BI_BITFIELDS)

    # V4 and V5 headers with colour tables and plain pixels.
    data = convert(pic40, "-type", "palette", "-compress", "none", "BMP:x.bmp")
    fixture("v5-8bpp", data, pillow_decode(data), 124, 8, BI_RGB)
    data = bmp_file(info_header(108, W, H, 8, BI_RGB, 0, 40, (0, 0, 0, 0)),
                    pack_rows(ROWS40, 8), colours)
    fixture("v4-8bpp", data, pillow_decode(data), 108, 8, BI_RGB)
    rgb_rows = [[RGB.getpixel((x, y)) for x in range(W)] for y in range(H)]
    data = bmp_file(info_header(108, W, H, 24, BI_RGB, 0, 0, (0xFF0000, 0xFF00, 0xFF, 0)),
                    pack_rows(rgb_rows, 24))
    fixture("v4-24bpp", data, pillow_decode(data), 108, 24, BI_RGB)
    # OS/2 2.x's 64-byte header shares the first 40 bytes with the info header, and its colour
    # table has four bytes an entry (ImageMagick reads three).
    data = bmp_file(info_header(64, W, H, 8, BI_RGB, 0, 40), pack_rows(ROWS40, 8), colours)
    fixture("os2v2-8bpp", data, pillow_decode(data), 64, 8, BI_RGB)

    # Top-down (negative height).
    data = bmp_file(info_header(40, W, -H, 8, BI_RGB, 0, 40), pack_rows(ROWS40, 8, True), colours)
    fixture("topdown-8bpp", data, pillow_decode(data), 40, 8, BI_RGB)
    data = bmp_file(info_header(124, W, -H, 24, BI_RGB, 0), pack_rows(rgb_rows, 24, True))
    fixture("topdown-v5-24bpp", data, pillow_decode(data), 124, 24, BI_RGB)
    data = bmp_file(info_header(40, W, -H, 1, BI_RGB, 0, 2), pack_rows(ROWS2, 1, True),
                    palette_bytes(PAL2))
    fixture("topdown-1bpp", data, pillow_decode(data), 40, 1, BI_RGB)

    # Short colour tables: indices past the table read black. No tool reads them that way (Pillow
    # falls back to grey, ImageMagick to entry 0), so these expect Pillow's decode of the same
    # pixels with the table filled up to its full size with black entries.
    short = [[rng.randrange(16) for _ in range(W)] for _ in range(H)]
    pixels = pack_rows(short, 8)
    data = bmp_file(info_header(40, W, H, 8, BI_RGB, 0, 12), pixels, palette_bytes(PAL12))
    full = bmp_file(info_header(40, W, H, 8, BI_RGB, 0, 256), pixels,
                    palette_bytes(PAL12 + [(0, 0, 0)] * 244))
    fixture("info-8bpp-short-table", data, pillow_decode(full), 40, 8, BI_RGB)
    # A core header has no count: the table ends where the pixels begin.
    pixels = pack_rows(short, 4)
    data = bmp_file(core_header(W, H, 4), pixels, palette_bytes(PAL12[:6], 3))
    full = bmp_file(core_header(W, H, 4), pixels, palette_bytes(PAL12[:6] + [(0, 0, 0)] * 10, 3))
    fixture("core-4bpp-short-table", data, pillow_decode(full), 12, 4, BI_RGB)

    print("\n".join(written))


if __name__ == "__main__":
    main()
