#!/usr/bin/env python3
"""Writes the seed movies of the SWF header fuzz target: the same 550 x 400, 42-frame, 24 fps
header stored plainly (FWS), zlib-compressed (CWS) and LZMA-compressed (ZWS), and two damaged
ones. Run it in this folder."""
import lzma, struct, zlib

def rect(xmin, xmax, ymin, ymax, nbits=15):
    bits = format(nbits, '05b') + ''.join(format(v & ((1 << nbits) - 1), f'0{nbits}b')
                                          for v in (xmin, xmax, ymin, ymax))
    bits += '0' * (-len(bits) % 8)
    return bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))

body = rect(0, 550 * 20, 0, 400 * 20) + struct.pack('<HH', 24 << 8, 42) + b'\x40\x00' * 4
length = 8 + len(body)
open('plain.swf', 'wb').write(b'FWS\x06' + struct.pack('<I', length) + body)
open('zlib.swf', 'wb').write(b'CWS\x0a' + struct.pack('<I', length) + zlib.compress(body))
raw = lzma.compress(body, format=lzma.FORMAT_ALONE)  # 5 property bytes, 8 length bytes, data
packed = raw[13:]
open('lzma.swf', 'wb').write(b'ZWS\x0d' + struct.pack('<I', length) + struct.pack('<I', len(packed))
                             + raw[:5] + packed)
open('short.swf', 'wb').write(b'FWS\x06' + struct.pack('<I', length) + body[:3])
open('badzlib.swf', 'wb').write(b'CWS\x0a' + struct.pack('<I', length) + b'\x78\x9c\xff\xff\xff')
