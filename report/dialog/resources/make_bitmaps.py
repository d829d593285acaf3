#!/usr/bin/env python3
"""Draws the error dialog's pictures as 24-bit BMP files into the folder given."""
import struct
import sys
from pathlib import Path

WHITE = (255, 255, 255)


def write_bmp(path, width, height, pixel):
    row = bytearray()
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * ((4 - len(row) % 4) % 4)
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    Path(path).write_bytes(header + info + data)


def error_picture(x, y):
    # A red disc with a white cross, on the dialog's face colour.
    cx = cy = 15.5
    d2 = (x - cx) ** 2 + (y - cy) ** 2
    if d2 > 15.5 ** 2:
        return (240, 240, 240)
    if d2 > 14 ** 2:
        return (128, 0, 0)
    on_cross = abs((x - cx) - (y - cy)) < 2.2 or abs((x - cx) + (y - cy)) < 2.2
    if on_cross and abs(x - cx) < 8 and abs(y - cy) < 8:
        return WHITE
    return (200 - int(d2 / 3), 20, 20)


def mark(minus):
    def pixel(x, y):
        if x in (0, 8) or y in (0, 8):
            return (128, 128, 128)
        if y == 4 and 2 <= x <= 6:
            return (0, 0, 0)
        if not minus and x == 4 and 2 <= y <= 6:
            return (0, 0, 0)
        return WHITE
    return pixel


def kind_icon(colour, shape):
    # A small sheet in the kind's colour; the shape inside tells the kinds apart without colour.
    def pixel(x, y):
        if x < 2 or x > 13 or y < 1 or y > 14:
            return WHITE
        if x in (2, 13) or y in (1, 14):
            return tuple(c // 2 for c in colour)
        if shape(x, y):
            return WHITE
        return colour
    return pixel


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    write_bmp(out / "OZ_ERROR.bmp", 32, 32, error_picture)
    write_bmp(out / "OZ_PLUS.bmp", 9, 9, mark(False))
    write_bmp(out / "OZ_MINUS.bmp", 9, 9, mark(True))
    write_bmp(out / "OZ_PAS.bmp", 16, 16, kind_icon((40, 90, 200), lambda x, y: y in (4, 7, 10) and 4 <= x <= 11))
    write_bmp(out / "OZ_DLL.bmp", 16, 16, kind_icon((110, 110, 110), lambda x, y: 6 <= x <= 9 and 6 <= y <= 9))
    write_bmp(out / "OZ_BPL.bmp", 16, 16, kind_icon((30, 150, 60), lambda x, y: (x + y) % 4 == 0))
    write_bmp(out / "OZ_VCL.bmp", 16, 16, kind_icon((220, 130, 20), lambda x, y: x == y or x == 15 - y))


if __name__ == "__main__":
    main()
