#!/usr/bin/env python3
"""Draws the program's binary resources (icon, hand cursor, about picture) into this folder.

The files are committed; run this again only to change a picture. Needs nothing but Python 3.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16 colours of the classic VGA palette, as (r, g, b).
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)


def bitmap_info(width, height, bits, colours):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, 0, 0, 0, colours, 0)


def dib_rows(pixels, width, height, bits):
    """Bottom-up rows of `bits` per pixel, each padded to 4 bytes."""
    out = bytearray()
    stride = ((width * bits + 31) // 32) * 4
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            v = pixels[y][x]
            if bits == 32:
                row[x * 4:x * 4 + 4] = bytes(v)
            elif bits == 4:
                row[x // 2] |= (v & 15) << (4 if x % 2 == 0 else 0)
            elif bits == 1:
                if v:
                    row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def clock_icon(size):
    """A round aqua dial with a dark rim and hands at ten past ten, 32-bit with alpha."""
    c = (size - 1) / 2.0
    radius = size / 2.0 - 0.5
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def on_hand(x, y, angle, length, width):
        dx, dy = math.sin(angle), -math.cos(angle)
        px, py = x - c, y - c
        t = px * dx + py * dy
        if t < -size * 0.04 or t > length:
            return False
        return abs(px * dy - py * dx) <= width

    for y in range(size):
        for x in range(size):
            d = math.hypot(x - c, y - c)
            if d > radius:
                continue
            alpha = 255 if d <= radius - 0.7 else 160
            colour = (255, 255, 0)  # B, G, R: aqua
            if d > radius - max(1.5, size / 12.0):
                colour = (96, 64, 0)
            elif on_hand(x, y, math.radians(300), radius * 0.55, max(0.8, size / 22.0)):
                colour = (0, 0, 0)
            elif on_hand(x, y, math.radians(60), radius * 0.8, max(0.6, size / 30.0)):
                colour = (0, 0, 0)
            else:
                for k in range(12):
                    a = math.radians(k * 30)
                    tx, ty = c + math.sin(a) * radius * 0.78, c - math.cos(a) * radius * 0.78
                    if math.hypot(x - tx, y - ty) <= max(0.6, size / 40.0):
                        colour = (96, 64, 0)
            pixels[y][x] = colour + (alpha,)
    xor = dib_rows(pixels, size, size, 32)
    mask = dib_rows([[0 if pixels[y][x][3] else 1 for x in range(size)] for y in range(size)],
                    size, size, 1)
    return bitmap_info(size, size * 2, 32, 0) + xor + mask


def write_icon(path, sizes):
    images = [clock_icon(s) for s in sizes]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    with open(path, 'wb') as f:
        f.write(out)


HAND = [
    "     XX         ",
    "    X..X        ",
    "    X..X        ",
    "    X..X        ",
    "    X..X        ",
    "    X..XXX      ",
    "    X..X..XXX   ",
    "    X..X..X..XX ",
    " XX X..X..X..X.X",
    "X..XX........X.X",
    "X...X..........X",
    " X.............X",
    "  X............X",
    "  X...........X ",
    "   X..........X ",
    "   X.........X  ",
    "    X........X  ",
    "    X........X  ",
    "    XXXXXXXXXX  ",
]


def write_cursor(path):
    """A 32 x 32 monochrome pointing hand, hot spot at the fingertip."""
    size = 32
    colour = [[0] * size for _ in range(size)]   # 1 = white
    transparent = [[1] * size for _ in range(size)]
    for y, line in enumerate(HAND):
        for x, ch in enumerate(line):
            if ch in 'X.':
                transparent[y][x] = 0
                colour[y][x] = 1 if ch == '.' else 0
    image = (bitmap_info(size, size * 2, 1, 2) + bytes([0, 0, 0, 0, 255, 255, 255, 0]) +
             dib_rows(colour, size, size, 1) + dib_rows(transparent, size, size, 1))
    hot_x, hot_y = 5, 0
    out = struct.pack('<HHH', 0, 2, 1)
    out += struct.pack('<BBBBHHII', size, size, 2, 0, hot_x, hot_y, len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(out + image)


def about_picture():
    """Night over the moor: stars, a moon, a clock tower among heather hills (69 x 199)."""
    w, h = 69, 199
    p = [[NAVY] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            # Sky: navy above, blue lower down, dithered where they meet.
            if y > 70 or (y > 55 and (x + y) % 2 == 0):
                p[y][x] = BLUE
            if y > 112 or (y > 100 and (x + y) % 2 == 0):
                p[y][x] = TEAL
    seed = 7
    for _ in range(40):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        x, y = seed % w, (seed >> 8) % 95
        p[y][x] = WHITE if seed % 3 else SILVER
    for y in range(12, 32):
        for x in range(40, 62):
            if math.hypot(x - 51, y - 22) <= 8.5 and math.hypot(x - 55, y - 19) > 7.5:
                p[y][x] = YELLOW
    # The tower with its dial.
    for y in range(78, 170):
        for x in range(24, 45):
            p[y][x] = GREY if (x == 24 or x == 44) else SILVER
    for y in range(64, 79):
        half = (y - 64) * 13 // 14
        for x in range(34 - half, 35 + half):
            p[y][x] = MAROON
    for y in range(84, 106):
        for x in range(24, 45):
            d = math.hypot(x - 34, y - 95)
            if d <= 9.5:
                p[y][x] = AQUA if d < 8.5 else BLACK
    for t in range(7):
        p[95 - t][34] = BLACK
    for t in range(5):
        p[95][34 + t] = BLACK
    for y in range(120, 160, 14):
        for x in (29, 30, 38, 39):
            for dy in range(7):
                p[y + dy][x] = YELLOW
    # Heather and grass on two hills.
    for x in range(w):
        top1 = int(150 + 10 * math.sin(x / 11.0))
        top2 = int(172 + 6 * math.sin(x / 7.0 + 1))
        for y in range(top1, h):
            p[y][x] = PURPLE if (x * 3 + y) % 5 else FUCHSIA
        for y in range(top2, h):
            p[y][x] = GREEN if (x + 2 * y) % 7 else OLIVE
    return p


def write_picture(path):
    w, h = 69, 199
    rows = dib_rows(about_picture(), w, h, 4)
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in VGA)
    info = bitmap_info(w, h, 4, 16)
    offset = 14 + len(info) + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(rows), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(header + info + palette + rows)


if __name__ == '__main__':
    write_icon(os.path.join(HERE, 'Dialmoor.ico'), [16, 32, 48])
    write_cursor(os.path.join(HERE, 'Hand.cur'))
    write_picture(os.path.join(HERE, 'About.bmp'))
