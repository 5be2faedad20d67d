#!/usr/bin/env python3
"""Writes small saver files for the saver fuzz target, independently of the C++ writer.

Valid files end in .saver, damaged ones in .bad. Run it in this folder: python3 make_seeds.py
"""
import struct

FILLER = 0


def trailer(kind, quit_mode, sources, music=(), interval=0, styles=()):
    """kind 'pictures' or 'flash'; sources and music are lists of byte strings (music: (code, bytes))."""
    t = bytearray([FILLER] * 600)
    t[0] = 0x0E if kind == "pictures" else 0x0F
    t[1] = 0x0E if music else 0x0A
    struct.pack_into("<i", t, 2, len(sources))
    if music:
        struct.pack_into("<i", t, 6, len(music))
    struct.pack_into("<i", t, 10, quit_mode)
    if kind == "pictures":
        at = 14
        for code, _ in music:
            t[at] = code
            at += 1
        struct.pack_into("<i", t, at, interval)
        t[at + 4] = 0xFF
        for s in styles:
            t[at + 5 + s] = 1
    else:
        t[14] = 0xFF
    at = 200
    for block in sources:
        struct.pack_into("<i", t, at, len(block))
        at += 4
    for _, block in music:
        struct.pack_into("<i", t, at, len(block))
        at += 4
    return bytes(t)


def saver(runtime, kind, quit_mode, sources, music=(), interval=0, styles=()):
    body = runtime + b"".join(m for _, m in music) + b"".join(sources)
    return body + trailer(kind, quit_mode, sources, music, interval, styles)


JPEG = b"\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xff\xd9"
seeds = {
    "pictures-music.saver": saver(
        b"\x7fELF runtime", "pictures", 2, [JPEG, JPEG + b"\x00"],
        [(0x30, b"MThd\x00\x00\x00\x06"), (0x32, b"RIFF\x04\x00\x00\x00WAVE")], 8, [1, 5, 122]),
    "pictures-only.saver": saver(b"#!", "pictures", 1, [JPEG], [], 3, [7]),
    "pictures-limits.saver": saver(
        b"", "pictures", 4, [bytes([i]) for i in range(42)],
        [(0x30 + i % 3, bytes([i, i])) for i in range(58)], 1, range(1, 123)),
    "flash.saver": saver(b"\x7fELF", "flash", 3, [b"FWS\x06movie", b"CWS\x0aother"]),
    "flash-100.saver": saver(b"rt", "flash", 5, [b"F" * (1 + i % 3) for i in range(100)]),
}
seeds["truncated-trailer.bad"] = seeds["flash.saver"][:-1]
seeds["sizes-past-file.bad"] = seeds["pictures-only.saver"][4:]

for name, data in seeds.items():
    with open(name, "wb") as f:
        f.write(data)
