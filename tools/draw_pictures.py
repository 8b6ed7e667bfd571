#!/usr/bin/env python3
"""Draws the two pictures of setup's windows as 16-colour bitmaps.

    tools/draw_pictures.py OUTDIR

install.bmp (48 x 48): the progress window's picture, a diskette pouring into a folder.
wizard.bmp (122 x 220): the wizard's left side, a computer and a product box on blue.
The files are committed; run this again only to change the pictures.
"""
import struct
import sys

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GRAY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, left, top, right, bottom, colour):
        for y in range(top, bottom):
            for x in range(left, right):
                self.put(x, y, colour)

    def frame(self, left, top, right, bottom, light, dark):
        for x in range(left, right):
            self.put(x, top, light)
            self.put(x, bottom - 1, dark)
        for y in range(top, bottom):
            self.put(left, y, light)
            self.put(right - 1, y, dark)

    def polygon(self, points, colour):
        ys = [p[1] for p in points]
        for y in range(min(ys), max(ys) + 1):
            xs = []
            for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
                if (y1 <= y < y2) or (y2 <= y < y1):
                    xs.append(x1 + (y - y1) * (x2 - x1) / (y2 - y1))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(int(round(a)), int(round(b))):
                    self.put(x, y, colour)

    def save(self, path):
        row_bytes = ((self.width + 1) // 2 + 3) // 4 * 4
        image = bytearray()
        for row in reversed(self.pixels):
            line = bytearray()
            for x in range(0, self.width, 2):
                right = row[x + 1] if x + 1 < self.width else 0
                line.append(row[x] << 4 | right)
            image += line + bytes(row_bytes - len(line))
        palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
        offset = 14 + 40 + len(palette)
        header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 4, 0,
                           len(image), 2835, 2835, 16, 0)
        with open(path, "wb") as f:
            f.write(header + info + palette + image)


def draw_install():
    c = Canvas(48, 48, SILVER)
    # Folder at the bottom.
    c.rect(6, 26, 20, 30, OLIVE)
    c.rect(6, 29, 42, 44, YELLOW)
    c.frame(6, 29, 42, 44, WHITE, OLIVE)
    c.rect(7, 43, 42, 45, BLACK)
    # Diskette above it.
    c.rect(14, 3, 34, 23, NAVY)
    c.rect(18, 3, 30, 10, SILVER)
    c.rect(26, 4, 29, 9, NAVY)
    c.rect(17, 13, 31, 22, WHITE)
    for y in (15, 17, 19):
        c.rect(19, y, 29, y + 1, GRAY)
    c.frame(14, 3, 34, 23, BLUE, BLACK)
    # Green arrow from the diskette into the folder.
    c.rect(36, 8, 40, 24, GREEN)
    c.polygon([(32, 23), (44, 23), (38, 30)], LIME)
    c.rect(37, 9, 39, 23, LIME)
    return c


def draw_wizard():
    c = Canvas(122, 220, NAVY)
    # Banded blue sky, lighter towards the top.
    c.rect(0, 0, 122, 40, BLUE)
    for y in range(40, 80, 2):
        c.rect(0, y, 122, y + 1, BLUE)
    # A desk line.
    c.rect(0, 170, 122, 220, TEAL)
    c.rect(0, 170, 122, 172, AQUA)
    # Computer: monitor, screen, stand, keyboard.
    c.rect(18, 84, 86, 136, SILVER)
    c.frame(18, 84, 86, 136, WHITE, GRAY)
    c.rect(24, 90, 80, 128, BLACK)
    c.rect(26, 92, 78, 126, BLUE)
    c.rect(30, 98, 66, 102, WHITE)
    c.rect(30, 106, 74, 108, AQUA)
    c.rect(30, 111, 70, 113, AQUA)
    c.rect(30, 116, 58, 118, AQUA)
    c.rect(44, 136, 60, 146, GRAY)
    c.rect(30, 146, 74, 152, SILVER)
    c.frame(30, 146, 74, 152, WHITE, GRAY)
    c.rect(12, 156, 92, 166, SILVER)
    c.frame(12, 156, 92, 166, WHITE, GRAY)
    for x in range(15, 89, 5):
        c.rect(x, 159, x + 3, 163, GRAY)
    # Product box leaning at the right, with a disc on its face.
    c.polygon([(78, 120), (112, 112), (116, 176), (82, 184)], YELLOW)
    c.polygon([(112, 112), (118, 116), (121, 178), (116, 176)], OLIVE)
    c.polygon([(86, 130), (108, 125), (110, 142), (88, 147)], RED)
    for dy in range(-9, 10):
        for dx in range(-9, 10):
            d = dx * dx + dy * dy
            if d <= 81:
                c.put(99 + dx, 160 + dy, WHITE if d > 6 else YELLOW)
    c.put(99, 160, OLIVE)
    # Stars.
    for x, y in ((10, 12), (40, 26), (70, 8), (104, 30), (94, 60), (20, 58), (60, 48)):
        c.put(x, y, WHITE)
    return c


def main():
    out = sys.argv[1]
    draw_install().save(f"{out}/install.bmp")
    draw_wizard().save(f"{out}/wizard.bmp")


if __name__ == "__main__":
    main()
