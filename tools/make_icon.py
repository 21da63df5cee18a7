#!/usr/bin/env python3
"""Draws the launchers' icon (a white launch arrow on a blue rounded square) into an .ico file.

The icon is committed as resources/launcher.ico; run this only to change the picture:
    python3 tools/make_icon.py resources/launcher.ico
"""
import struct
import sys


def pixel(x, y, size):
    """BGRA of one pixel, drawn on a unit square so every size shows the same picture."""
    u, v = (x + 0.5) / size, (y + 0.5) / size  # v grows downwards
    corner = 0.18
    dx = max(corner - u, 0, u - (1 - corner))
    dy = max(corner - v, 0, v - (1 - corner))
    if dx * dx + dy * dy > corner * corner:
        return (0, 0, 0, 0)
    head = v < 0.55 and abs(u - 0.5) < (v - 0.18) * 0.9
    shaft = 0.55 <= v < 0.82 and abs(u - 0.5) < 0.11
    if head or shaft:
        return (255, 255, 255, 255)
    shade = int(40 * v)
    return (200 - shade, 110 - shade // 2, 20, 255)


def bitmap(size):
    rows = []
    for y in reversed(range(size)):  # DIBs are stored bottom-up
        rows.append(b"".join(bytes(pixel(x, y, size)) for x in range(size)))
    mask_row = b"\0" * (((size + 31) // 32) * 4)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b"".join(rows) + mask_row * size


def icon(sizes):
    images = [bitmap(size) for size in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as f:
        f.write(icon([16, 32, 48]))
