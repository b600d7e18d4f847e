#!/usr/bin/env python3
"""Draws the palette's icon: a circle touching a line and a smaller circle
touching both, the tangent circles the companion command constructs, on a
white card. One drawing, described in a 16-unit square, rendered with
anti-aliasing at every size Windows asks for (16, 20, 24, 32, 48 and 256
pixels), 32-bit with alpha; the 256-pixel image is stored PNG-compressed, as
Windows expects for that size. Writes app/k307palette.ico."""
import math
import os
import struct
import zlib

SIZES = [16, 20, 24, 32, 48, 256]

NAVY = (0, 0, 128)
RED = (224, 0, 0)
WHITE = (255, 255, 255)
EDGE = (128, 128, 128)

# The drawing, in units of a 16 x 16 square: base line along the bottom, a
# large circle resting on it, a small one in the corner touching both.
# The large circle's centre sits its radius above the line; the small one's
# centre is its own radius above it and the sum of both radii from the large
# one's, so that all three touch.
LINE = ((1.2, 13.8), (14.8, 13.8))
_R, _r = 5.2, 1.8
_big = (9.12, 13.8 - _R)
_small = (_big[0] - math.sqrt((_R + _r) ** 2 - (_R - _r) ** 2), 13.8 - _r)
RINGS = [(_big, _R), (_small, _r)]
CARD = (0.5, 0.5, 15.5, 15.5, 2.0)  # left, top, right, bottom, corner radius


def coverage(distance, half_width):
    """Share of a pixel covered by a stroke of that half width whose centre
    line is `distance` pixels away."""
    return max(0.0, min(1.0, half_width - distance + 0.5))


def rounded_rect_distance(x, y, left, top, right, bottom, r):
    """Signed distance to the rounded rectangle's outline (negative inside)."""
    cx = min(max(x, left + r), right - r)
    cy = min(max(y, top + r), bottom - r)
    return math.hypot(x - cx, y - cy) - r


def segment_distance(x, y, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


def over(dst, colour, alpha):
    """Composites `colour` at `alpha` over the premultiplied-free RGBA `dst`."""
    r, g, b, a = dst
    out_a = alpha + a * (1 - alpha)
    if out_a == 0:
        return (0, 0, 0, 0)
    mix = [(c * alpha + d * a * (1 - alpha)) / out_a for c, d in zip(colour, (r, g, b))]
    return (mix[0], mix[1], mix[2], out_a)


def render(size):
    """Rows of (R, G, B, A) bytes, top row first."""
    scale = size / 16.0
    stroke = max(1.15, size * 0.06) / 2  # half width in pixels
    edge = max(0.9, size * 0.02) / 2
    left, top, right, bottom, radius = (v * scale for v in CARD)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            x, y = px + 0.5, py + 0.5
            pixel = (0.0, 0.0, 0.0, 0.0)
            d = rounded_rect_distance(x, y, left, top, right, bottom, radius)
            pixel = over(pixel, WHITE, max(0.0, min(1.0, 0.5 - d)))
            pixel = over(pixel, EDGE, coverage(abs(d + edge), edge))
            a, b = LINE
            pixel = over(pixel, RED, coverage(segment_distance(x, y, (a[0] * scale, a[1] * scale),
                                                               (b[0] * scale, b[1] * scale)), stroke))
            for (cx, cy), r in RINGS:
                dist = abs(math.hypot(x - cx * scale, y - cy * scale) - r * scale)
                pixel = over(pixel, NAVY, coverage(dist, stroke))
            row.append(tuple(int(round(c)) for c in pixel[:3]) + (int(round(pixel[3] * 255)),))
        rows.append(row)
    return rows


def bmp_image(size, rows):
    """BITMAPINFOHEADER, 32-bit BGRA rows bottom-up, then the AND mask (all
    zero: the alpha channel decides), rows padded to 32 bits."""
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytes(mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + bytes(xor) + and_mask


def png_image(size, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + bytes(c for pixel in row for c in pixel) for row in rows)
    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main():
    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, png_image(size, rows) if size >= 256 else bmp_image(size, rows)))
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, data in images:
        # A width or height of 256 is written as 0.
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app", "k307palette.ico")
    with open(out, "wb") as f:
        f.write(directory + b"".join(data for _, data in images))


if __name__ == "__main__":
    main()
