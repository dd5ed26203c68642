#!/usr/bin/env python3
"""Writes the program icon, bright green block letters KQ on black, from its
drawings in platform/include/kq/platform/program_icon.hpp (which the desktop
face draws too): app.ico (two 256-colour, fully opaque images, 16 x 16 and
24 x 24) and the PNG images of the Linux desktop entry (16, 24, 32, 48 and
256 pixels, the larger ones the small drawings scaled up by whole factors).
Usage: make_icon.py [output.ico [png-folder]]
  default: app.ico beside this script, PNGs in app/linux/icons/ (SIZExSIZE/kq-dadeded.png)"""
import os
import re
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
# The drawings, in the header the desktop face compiles.
DRAWINGS = os.path.join(HERE, "..", "..", "include", "kq", "platform", "program_icon.hpp")

BLACK, GREEN = 0, 1


def drawings():
    """Each size's rows of '#' (green) and '.' (black), from the header."""
    with open(DRAWINGS, encoding="utf-8") as header:
        text = header.read()
    found = {}
    for size, body in re.findall(r"program_icon_(\d+)\[\] = \{(.*?)\};", text, re.S):
        rows = re.findall(r'"([.#]*)"', body)
        size = int(size)
        if len(rows) != size or any(len(row) != size for row in rows):
            sys.exit(f"{DRAWINGS}: the {size} x {size} drawing is not {size} rows of {size}")
        found[size] = rows
    if sorted(found) != [16, 24]:
        sys.exit(f"{DRAWINGS}: expected 16 x 16 and 24 x 24 drawings, found {sorted(found)}")
    return found


def pixels(size):
    return [[GREEN if mark == "#" else BLACK for mark in row] for row in drawings()[size]]


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


# Each desktop size and the drawing it is scaled up from.
PNG_SIZES = {16: 16, 24: 24, 32: 16, 48: 24, 256: 16}


def png(size):
    """An 8-bit RGB PNG, every drawing pixel repeated size / drawing times."""
    drawing = PNG_SIZES[size]
    factor = size // drawing
    rows = b""
    for row in pixels(drawing):
        line = b"".join((b"\0\xff\0" if p == GREEN else b"\0\0\0") * factor for p in row)
        rows += (b"\0" + line) * factor

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    ico_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "app.ico")
    png_folder = sys.argv[2] if len(sys.argv) > 2 else os.path.join(HERE, "..", "..", "..", "app", "linux", "icons")
    with open(ico_path, "wb") as out:
        out.write(icon())
    for size in PNG_SIZES:
        folder = os.path.join(png_folder, f"{size}x{size}")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "kq-dadeded.png"), "wb") as out:
            out.write(png(size))
