#!/usr/bin/env python3
"""Draws the program's icon: a loudspeaker sending out three waves, white on
the status display's green-grey. Writes resources/app/korvanta3ruzevo.ico
(16, 32 and 48 pixels, 32-bit colour with alpha). Run it again after a
change of the drawing; the build uses the checked-in file."""
import math
import os
import struct

BACKGROUND = (142, 156, 113)
EDGE = (96, 108, 72)
WHITE = (255, 255, 255)


def coverage(size, x, y, inside, samples=4):
    hits = 0
    for sy in range(samples):
        for sx in range(samples):
            u = (x + (sx + 0.5) / samples) / size
            v = (y + (sy + 0.5) / samples) / size
            hits += inside(u, v)
    return hits / (samples * samples)


def in_tile(u, v):
    r = 0.16
    cx = min(max(u, r + 0.02), 0.98 - r)
    cy = min(max(v, r + 0.02), 0.98 - r)
    return (u - cx) ** 2 + (v - cy) ** 2 <= r * r


def in_tile_inner(u, v):
    r = 0.13
    cx = min(max(u, r + 0.05), 0.95 - r)
    cy = min(max(v, r + 0.05), 0.95 - r)
    return (u - cx) ** 2 + (v - cy) ** 2 <= r * r


def in_speaker(u, v):
    if 0.16 <= u <= 0.30 and 0.38 <= v <= 0.62:
        return True
    if 0.30 <= u <= 0.50:
        half = 0.12 + (u - 0.30) / 0.20 * 0.18
        return abs(v - 0.5) <= half
    return False


def in_waves(u, v):
    d = math.hypot(u - 0.46, v - 0.5)
    angle = abs(math.atan2(v - 0.5, u - 0.46))
    if u <= 0.5 or angle > math.radians(48):
        return False
    return any(abs(d - r) <= 0.035 for r in (0.16, 0.28, 0.40))


def image(size):
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            tile = coverage(size, x, y, in_tile)
            inner = coverage(size, x, y, in_tile_inner)
            mark = coverage(size, x, y, lambda u, v: in_speaker(u, v) or in_waves(u, v))
            colour = [EDGE[i] * (1 - inner) + BACKGROUND[i] * inner for i in range(3)]
            colour = [colour[i] * (1 - mark) + WHITE[i] * mark for i in range(3)]
            row.append((round(colour[0]), round(colour[1]), round(colour[2]), round(255 * tile)))
        rows.append(row)
    return rows


def icon_entry(size):
    rows = image(size)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + bytes(mask)


def main():
    sizes = (16, 32, 48)
    images = [icon_entry(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    here = os.path.dirname(os.path.abspath(__file__))
    target = os.path.join(here, "..", "resources", "app", "korvanta3ruzevo.ico")
    with open(target, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
