#!/usr/bin/env python3
"""Writes the hand-made seed movies of the SWF fuzz target, each aimed at one of the reader's or
the timeline's limits. Run it in this folder."""
import struct, zlib

RECT = bytes([0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00])  # 550 x 400 pixels


def tag(code, body=b'', long=False):
    if len(body) < 0x3F and not long:
        return struct.pack('<H', code << 6 | len(body)) + body
    return struct.pack('<HI', code << 6 | 0x3F, len(body)) + body


def movie(tags, frames=1, version=6, signature=b'FWS'):
    body = RECT + struct.pack('<HH', 12 << 8, frames) + b''.join(tags)
    if signature == b'CWS':
        return b'CWS' + bytes([version]) + struct.pack('<I', 8 + len(body)) + zlib.compress(body)
    return b'FWS' + bytes([version]) + struct.pack('<I', 8 + len(body)) + body


SHOW, END = tag(1), tag(0)
SHAPE = tag(2, struct.pack('<H', 1) + b'\x00\x00')


def place(depth, character):
    return tag(26, b'\x02' + struct.pack('<HH', depth, character))


def sprite(sprite_id, tags, frames=1):
    return tag(39, struct.pack('<HH', sprite_id, frames) + b''.join(tags), long=True)


def action(*records):
    return tag(12, b''.join(records) + b'\x00')


# A sprite that places two more of itself on every instance.
open('self_placing.swf', 'wb').write(movie([
    sprite(5, [place(1, 5), place(2, 5), SHOW, SHOW], 2), place(1, 5), SHOW, END]))

# Sprites defined inside sprites, 30 deep.
nested = sprite(30, [SHOW])
for sprite_id in range(29, 0, -1):
    nested = sprite(sprite_id, [nested, place(1, sprite_id + 1), SHOW])
open('nested_sprites.swf', 'wb').write(movie([nested, place(1, 1), SHOW, END]))

# A frame script that jumps to itself forever, then jumps between frames.
jump_self = b'\x99' + struct.pack('<Hh', 2, -5)
goto_back = b'\x81' + struct.pack('<HH', 2, 0) + b'\x06'
open('endless_script.swf', 'wb').write(movie([
    SHAPE, place(1, 1), action(jump_self), SHOW, action(goto_back), SHOW, END], 2))

# Lengths that lie: a stated file length too long, a tag running past the end, huge counts.
lying = movie([SHAPE, place(1, 1), SHOW, tag(12, b'\x96\x05\x00\x00ab', long=True)], 60000)
lying = lying[:4] + struct.pack('<I', 0x7FFFFFFF) + lying[8:]
lying = lying[:-2] + b'\xFF\xFF'
open('wrong_lengths.swf', 'wb').write(lying)

# A compressed movie cut in the middle of its zlib stream.
whole = movie([SHAPE] + [place(d, 1) for d in range(1, 40)] + [SHOW] * 5, 5, signature=b'CWS')
open('truncated_zlib.swf', 'wb').write(whole[:len(whole) * 2 // 3])
