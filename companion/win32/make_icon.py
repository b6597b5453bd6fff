#!/usr/bin/env python3
"""Draws the settings program's 32 x 32 icon and writes it as a .ico file.

A blue speech bubble with a white ring: the chat plug-in's "O". Drawn with 4 x 4
supersampling so the edges are smooth; 32-bit colour with alpha.
Usage: make_icon.py OUTPUT.ico
"""
import struct
import sys

SIZE = 32
SAMPLES = 4


def inside_bubble(x, y):
    cx, cy, r = 16.5, 14.5, 13.0
    if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
        return True
    # The tail: a triangle below the circle's lower left.
    ax, ay, bx, by, tx, ty = 6.0, 20.0, 14.0, 26.0, 3.5, 30.5
    d1 = (x - bx) * (ay - by) - (ax - bx) * (y - by)
    d2 = (x - tx) * (by - ty) - (bx - tx) * (y - ty)
    d3 = (x - ax) * (ty - ay) - (tx - ax) * (y - ay)
    neg = d1 < 0 or d2 < 0 or d3 < 0
    pos = d1 > 0 or d2 > 0 or d3 > 0
    return not (neg and pos)


def inside_ring(x, y):
    d2 = (x - 16.5) ** 2 + (y - 14.5) ** 2
    return 5.0 ** 2 <= d2 <= 8.5 ** 2


def pixel(px, py):
    """Returns (b, g, r, a) of one pixel, row py counted from the top."""
    bubble = ring = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = px + (sx + 0.5) / SAMPLES
            y = py + (sy + 0.5) / SAMPLES
            if inside_bubble(x, y):
                bubble += 1
                if inside_ring(x, y):
                    ring += 1
    n = SAMPLES * SAMPLES
    if not bubble:
        return (0, 0, 0, 0)
    # Blue from lighter at the top to deeper at the bottom, white where the ring is.
    t = py / (SIZE - 1)
    blue = (int(0xE8 - 0x40 * t), int(0x8C - 0x38 * t), int(0x2A - 0x14 * t))
    w = ring / bubble
    b, g, r = (round(c * (1 - w) + 255 * w) for c in blue)
    return (b, g, r, round(255 * bubble / n))


def main():
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    xor = b"".join(bytes(p) for row in reversed(rows) for p in row)  # bottom-up
    mask_row = SIZE // 8  # already a multiple of 4 bytes for 32 pixels
    and_mask = bytearray()
    for row in reversed(rows):
        bits = 0
        for x, p in enumerate(row):
            if p[3] == 0:
                bits |= 1 << (SIZE - 1 - x)
        and_mask += bits.to_bytes(mask_row, "big")
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + bytes(and_mask)
    icon = struct.pack("<HHH", 0, 1, 1)
    icon += struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    with open(sys.argv[1], "wb") as out:
        out.write(icon + image)


if __name__ == "__main__":
    main()
