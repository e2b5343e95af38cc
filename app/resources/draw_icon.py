#!/usr/bin/env python3
"""Draws pipstack.ico: five round LEDs above a circuit board in perspective.

One 32 x 32 image with 256 colours. Run it by hand after changing the
picture; the build uses the checked-in icon.
"""
import math
import struct
import sys

SIZE = 32
SUPERSAMPLE = 4  # sub-pixels per pixel side, for smooth edges

BOARD = (20, 120, 45)
BOARD_EDGE = (8, 70, 25)
TRACE = (120, 200, 110)
PAD = (220, 180, 60)
LEAD = (150, 150, 150)
LED_COLOURS = [(40, 220, 60)] * 3 + [(250, 220, 30), (235, 40, 30)]
LED_Y = 8.5
LED_RADIUS = 2.75
BOARD_TOP, BOARD_BOTTOM = 17.0, 29.0


def board_half_width(y):
    # The board narrows toward its far (upper) edge: 10 at the top, 15 below.
    t = (y - BOARD_TOP) / (BOARD_BOTTOM - BOARD_TOP)
    return 10.0 + 5.5 * t


def sample(x, y):
    """Colour and coverage (RGB, alpha 0/1) of one sub-pixel position."""
    for i, colour in enumerate(LED_COLOURS):
        cx = 4.5 + 6.0 * i
        d = math.hypot(x - cx, y - LED_Y)
        if d <= LED_RADIUS:
            if math.hypot(x - (cx - 0.9), y - (LED_Y - 0.9)) < 0.9:
                return (255, 255, 255), 1  # the glint
            if d > LED_RADIUS - 0.6:
                return tuple(c // 2 for c in colour), 1  # rim
            return colour, 1
        if abs(x - (cx - 1.0)) < 0.5 or abs(x - (cx + 1.0)) < 0.5:
            if LED_Y + LED_RADIUS <= y <= BOARD_TOP + 2.5:
                return LEAD, 1
    if BOARD_TOP <= y <= BOARD_BOTTOM + 2.0:
        half = board_half_width(min(y, BOARD_BOTTOM))
        if abs(x - 16.5) <= half:
            if y > BOARD_BOTTOM:
                return BOARD_EDGE, 1  # the board's front edge
            # Pads under the LED leads, foreshortened near the far edge.
            for i in range(5):
                px = 16.5 + (4.5 + 6.0 * i - 16.5) * (half / 15.5)
                if abs(x - px) < 1.4 and abs(y - (BOARD_TOP + 2.5)) < 1.0:
                    return PAD, 1
            # Traces running toward the viewer, spreading with perspective.
            for k in (-3, -1, 1, 3):
                tx = 16.5 + k * half / 4.5
                if abs(x - tx) < 0.45 and y > BOARD_TOP + 4.0:
                    return TRACE, 1
            if abs(y - 24.0) < 0.4 and abs(x - 16.5) < half * 0.7:
                return TRACE, 1
            return BOARD, 1
    return (0, 0, 0), 0


def render():
    pixels = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            r = g = b = a = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = px + (sx + 0.5) / SUPERSAMPLE
                    y = py + (sy + 0.5) / SUPERSAMPLE
                    colour, alpha = sample(x, y)
                    if alpha:
                        r, g, b, a = r + colour[0], g + colour[1], b + colour[2], a + 1
            if a * 2 < SUPERSAMPLE * SUPERSAMPLE:
                row.append(None)  # transparent
            else:
                row.append((r // a, g // a, b // a))
        pixels.append(row)
    return pixels


def palette():
    # A 6 x 6 x 6 colour cube and 40 greys: 256 entries.
    cube = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    greys = [(v, v, v) for v in (round(i * 255 / 39) for i in range(40))]
    return cube + greys


def nearest(colours, rgb):
    return min(range(len(colours)),
               key=lambda i: sum((colours[i][c] - rgb[c]) ** 2 for c in range(3)))


def icon_bytes(pixels):
    colours = palette()
    assert len(colours) == 256
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):  # bottom-up rows
        bits = 0
        for x, rgb in enumerate(row):
            xor.append(0 if rgb is None else nearest(colours, rgb))
            if rgb is None:
                bits |= 1 << (SIZE - 1 - x)
        mask += struct.pack(">I", bits)  # 32 bits: one row, already 4-byte aligned
    image = header + table + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "pipstack.ico"
    with open(out, "wb") as f:
        f.write(icon_bytes(render()))


if __name__ == "__main__":
    main()
