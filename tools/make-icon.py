#!/usr/bin/env python3
"""Packs raw RGBA images (icon32/24/16.rgba) into one .ico with a 256-colour and a 32-bit image of each size."""
import struct
import sys

folder, target = sys.argv[1], sys.argv[2]
sizes = (32, 24, 16)


def palette_index(r, g, b):
    # A 6x6x6 colour cube in the first 216 entries.
    return (r * 5 + 127) // 255 * 36 + (g * 5 + 127) // 255 * 6 + (b * 5 + 127) // 255


def and_mask(pixels, size):
    row_bytes = ((size + 31) // 32) * 4
    rows = []
    for y in range(size - 1, -1, -1):
        bits = bytearray(row_bytes)
        for x in range(size):
            if pixels[y * size + x][3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(bits))
    return b"".join(rows)


def dib(pixels, size, bpp):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, 0, 0, 0, 256 if bpp == 8 else 0, 0)
    if bpp == 32:
        body = b"".join(bytes((p[2], p[1], p[0], p[3])) for y in range(size - 1, -1, -1)
                        for p in pixels[y * size:(y + 1) * size])
        return header + body + and_mask(pixels, size)
    palette = b"".join(bytes((b * 51, g * 51, r * 51, 0)) for r in range(6) for g in range(6) for b in range(6))
    palette += bytes(4 * (256 - 216))
    row_pad = (4 - size % 4) % 4
    body = b"".join(bytes(palette_index(*p[:3]) for p in pixels[y * size:(y + 1) * size]) + bytes(row_pad)
                    for y in range(size - 1, -1, -1))
    return header + palette + body + and_mask(pixels, size)


images = []
for size in sizes:
    raw = open(f"{folder}/icon{size}.rgba", "rb").read()
    pixels = [tuple(raw[i:i + 4]) for i in range(0, len(raw), 4)]
    for bpp in (8, 32):
        images.append((size, bpp, dib(pixels, size, bpp)))

out = struct.pack("<HHH", 0, 1, len(images))
offset = 6 + 16 * len(images)
for size, bpp, data in images:
    out += struct.pack("<BBBBHHII", size, size, 0 if bpp == 32 else 0, 0, 1, bpp, len(data), offset)
    offset += len(data)
out += b"".join(data for _, _, data in images)
open(target, "wb").write(out)
