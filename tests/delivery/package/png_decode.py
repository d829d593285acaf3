#!/usr/bin/env python3
"""Reads an 8-bit palette PNG with nothing but zlib and prints what it holds:
width height / IDAT chunk sizes / palette as hex / length of the inflated data / indices as hex.
Fails on a bad signature, a chunk CRC that does not match or a row filter other than 0."""
import struct
import sys
import zlib

data = open(sys.argv[1], "rb").read()
if data[:8] != b"\x89PNG\r\n\x1a\n":
    sys.exit("bad signature")
pos, idat, sizes, palette, header = 8, b"", [], None, None
while pos < len(data):
    length, kind = struct.unpack(">I4s", data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + length]
    (crc,) = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
    if zlib.crc32(kind + body) != crc:
        sys.exit("bad CRC in " + kind.decode())
    if kind == b"IHDR":
        header = struct.unpack(">IIBBBBB", body)
    elif kind == b"PLTE":
        palette = body
    elif kind == b"IDAT":
        idat += body
        sizes.append(length)
    pos += 12 + length
width, height, depth, colour = header[:4]
if (depth, colour) != (8, 3):
    sys.exit("not an 8-bit palette picture")
raw = zlib.decompress(idat)
rows = []
for y in range(height):
    row = raw[y * (width + 1):(y + 1) * (width + 1)]
    if row[0] != 0:
        sys.exit("row filter %d" % row[0])
    rows.append(row[1:])
print(width, height)
print(" ".join(map(str, sizes)))
print(palette.hex())
print(len(raw))
print(b"".join(rows).hex())
