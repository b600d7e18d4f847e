#!/usr/bin/env python3
"""Draws the palette's 16 x 16, 16-colour icon: a circle touching a line and
a smaller circle touching both, the tangent circles the companion command
constructs. Writes app/k307palette.ico."""
import math
import os
import struct

# The standard 16-colour palette (BGR0).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]  # as (R, G, B)
WHITE, NAVY, RED, GREY = 15, 4, 9, 7

size = 16
pixels = [[WHITE] * size for _ in range(size)]


def ring(cx, cy, r, colour):
    for y in range(size):
        for x in range(size):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if abs(d - r) <= 0.55:
                pixels[y][x] = colour


# Base line along the bottom, a large circle resting on it, a small one in
# the corner touching both.
for x in range(1, 15):
    pixels[14][x] = RED
ring(9.5, 8.5, 5.6, NAVY)
ring(3.2, 11.6, 2.4, NAVY)

# BITMAPINFOHEADER + palette + XOR mask (4 bpp, bottom-up) + AND mask.
xor = bytearray()
for y in reversed(range(size)):
    row = pixels[y]
    for x in range(0, size, 2):
        xor.append((row[x] << 4) | row[x + 1])
and_mask = bytes(4 * size)  # fully opaque; rows padded to 32 bits
header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(and_mask), 0, 0, 16, 0)
palette = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
image = header + palette + bytes(xor) + and_mask
icondir = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 22)
out = os.path.join(os.path.dirname(__file__), "..", "app", "k307palette.ico")
with open(out, "wb") as f:
    f.write(icondir + image)
