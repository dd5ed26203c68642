#!/usr/bin/env python3
"""Writes app.ico: the program icon, bright green block letters KQ on black,
as two 256-colour, fully opaque images (16 x 16 and 24 x 24).
Usage: make_icon.py [output.ico]"""
import struct
import sys

GLYPHS = {
    16: (1, 3, 2, [  # left margin, top margin, gap; then K and Q, 6 x 10
        ("##..##", ".####."),
        ("##..##", "##..##"),
        ("##.##.", "##..##"),
        ("####..", "##..##"),
        ("###...", "##..##"),
        ("###...", "##..##"),
        ("####..", "##.###"),
        ("##.##.", "##..##"),
        ("##..##", ".####."),
        ("##..##", "....##"),
    ]),
    24: (2, 6, 2, [  # 9 x 12
        ("###...###", ".#######."),
        ("###..###.", "###...###"),
        ("###.###..", "###...###"),
        ("######...", "###...###"),
        ("#####....", "###...###"),
        ("####.....", "###...###"),
        ("#####....", "###.#####"),
        ("######...", "###..####"),
        ("###.###..", "###...###"),
        ("###..###.", ".#######."),
        ("###...###", "......###"),
        ("###...###", ".......##"),
    ]),
}

BLACK, GREEN = 0, 1


def pixels(size):
    left, top, gap, rows = GLYPHS[size]
    image = [[BLACK] * size for _ in range(size)]
    for y, (k, q) in enumerate(rows):
        for x, mark in enumerate(k + "." * gap + q):
            if mark == "#":
                image[top + y][left + x] = GREEN
    return image


def bitmap(size):
    """An icon image: header, 256-entry palette, 8-bit colour rows and an
    all-clear mask (fully opaque), both bottom-up and padded to 4 bytes."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = struct.pack("<4B", 0, 0, 0, 0) + struct.pack("<4B", 0, 255, 0, 0) + b"\0" * 4 * 254
    colour_stride = (size + 3) & ~3
    mask_stride = ((size + 31) // 32) * 4
    colours = b"".join(bytes(row) + b"\0" * (colour_stride - size) for row in reversed(pixels(size)))
    mask = b"\0" * mask_stride * size
    return header + palette + colours + mask


def icon():
    images = [bitmap(size) for size in (16, 24)]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip((16, 24), images):
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(image), offset)
        offset += len(image)
    return data + b"".join(images)


if __name__ == "__main__":
    with open(sys.argv[1] if len(sys.argv) > 1 else "app.ico", "wb") as out:
        out.write(icon())
