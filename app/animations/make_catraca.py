#!/usr/bin/env python3
"""Writes the belt-ratchet animations catraca1.gif and catraca2.gif (20 x 20, looping).

A toothed wheel turns by one tooth step per frame: catraca1 clockwise in grey and black,
catraca2 counter-clockwise in blue. Run from this folder: python3 make_catraca.py
"""
import math
import struct

SIZE = 20
FRAMES = 8
TEETH = 8


def lzw(indices, min_code_size):
    """GIF LZW: variable code width from min_code_size + 1 up to 12 bits, LSB first."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    table = {bytes([i]): i for i in range(clear)}
    next_code, width = end + 1, min_code_size + 1
    out, bits, nbits = bytearray(), 0, 0

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    emit(clear)
    current = b""
    for value in indices:
        candidate = current + bytes([value])
        if candidate in table:
            current = candidate
            continue
        emit(table[current])
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear)
            table = {bytes([i]): i for i in range(clear)}
            next_code, width = end + 1, min_code_size + 1
        current = bytes([value])
    if current:
        emit(table[current])
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def sub_blocks(data):
    blocks = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes(blocks) + b"\x00"


def wheel_frame(angle):
    """Palette indices: 0 background, 1 rim and teeth, 2 hub, 3 spoke."""
    c = (SIZE - 1) / 2.0
    pixels = []
    for y in range(SIZE):
        for x in range(SIZE):
            dx, dy = x - c, y - c
            r = math.hypot(dx, dy)
            a = (math.atan2(dy, dx) - angle) % (2 * math.pi)
            tooth = (a * TEETH / (2 * math.pi)) % 1.0
            outer = 9.5 if tooth < 0.5 else 7.5
            if r <= 2.2:
                pixels.append(2)
            elif r <= outer and r >= 5.5:
                pixels.append(1)
            elif r < 5.5 and (a % (math.pi / 2)) < 0.35:
                pixels.append(3)
            else:
                pixels.append(0)
    return pixels


def write_gif(path, palette, direction):
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", SIZE, SIZE, 0xF1, 0, 0)  # global table of 4 colours
    for rgb in palette:
        data += bytes(rgb)
    data += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for frame in range(FRAMES):
        angle = direction * frame * (2 * math.pi / TEETH) / FRAMES
        data += b"\x21\xF9\x04\x00" + struct.pack("<H", 8) + b"\x00\x00"  # 80 ms
        data += b"\x2C" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
        data += b"\x02" + sub_blocks(lzw(wheel_frame(angle), 2))
    data += b"\x3B"
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    write_gif("catraca1.gif", [(255, 255, 255), (64, 64, 64), (0, 0, 0), (160, 160, 160)], 1)
    write_gif("catraca2.gif", [(255, 255, 255), (0, 64, 160), (0, 0, 0), (96, 160, 224)], -1)
