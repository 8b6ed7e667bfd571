#!/usr/bin/env python3
"""Draws the two pictures of setup's windows as 16-colour bitmaps, and the programs' icons.

    tools/draw_pictures.py OUTDIR [ICONDIR]

install.bmp (48 x 48): the progress window's picture, a diskette pouring into a folder.
wizard.bmp (122 x 220): the wizard's left side, a computer and a product box on blue.
Both are run-length encoded, a fraction of their plain size in the program.
With ICONDIR, one 16-colour icon (32 x 32 and 16 x 16) per program goes there as
<program>.ico: setup, dorcel, halvex, kitcheck and kitpack.
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
BI_RLE4 = 2


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

    def ellipse(self, cx, cy, rx, ry, colour):
        for y in range(cy - ry, cy + ry + 1):
            for x in range(cx - rx, cx + rx + 1):
                if ((x - cx) / (rx + 0.5)) ** 2 + ((y - cy) / (ry + 0.5)) ** 2 <= 1:
                    self.put(x, y, colour)

    def line(self, x1, y1, x2, y2, colour, width=1):
        steps = max(abs(x2 - x1), abs(y2 - y1), 1)
        for i in range(steps + 1):
            x = round(x1 + (x2 - x1) * i / steps)
            y = round(y1 + (y2 - y1) * i / steps)
            self.rect(x, y, x + width, y + width, colour)

    def rle4(self):
        """The pixels run-length encoded (BI_RLE4), bottom row first: each run is a count
        and two colours that alternate along it, a plain stretch being one colour twice."""
        data = bytearray()
        for row in reversed(self.pixels):
            x = 0
            while x < self.width:
                first = row[x]
                second = row[x + 1] if x + 1 < self.width else first
                length = 1
                while (x + length < self.width and length < 255 and
                       row[x + length] == (first if length % 2 == 0 else second)):
                    length += 1
                data += bytes((length, first << 4 | second))
                x += length
            data += b"\0\0"  # end of the row
        return data + b"\0\1"  # end of the picture

    def save(self, path):
        image = self.rle4()
        palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
        offset = 14 + 40 + len(palette)
        header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 4, BI_RLE4,
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


CLEAR = None  # an icon's see-through pixel


class IconCanvas(Canvas):
    """Takes 32 x 32 coordinates at either size, so one design makes both images."""

    def __init__(self, size):
        super().__init__(size, size, CLEAR)
        self.scale = size / 32

    def put(self, x, y, colour):
        super().put(int(x * self.scale), int(y * self.scale), colour)

    def image(self):
        """The image as an icon file holds it: header, palette, colours, then the AND
        mask (1 = see-through), each bottom row first; the header counts both halves."""
        colours, mask = bytearray(), bytearray()
        for row in reversed(self.pixels):
            line = bytearray()
            for x in range(0, self.width, 2):
                left, right = (0 if p is CLEAR else p for p in row[x:x + 2])
                line.append(left << 4 | right)
            colours += line + bytes(-len(line) % 4)
            bits = 0
            for p in row:
                bits = bits << 1 | (p is CLEAR)
            line = bits.to_bytes(self.width // 8, "big")
            mask += line + bytes(-len(line) % 4)
        palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, 2 * self.height, 1, 4, 0,
                           len(colours) + len(mask), 0, 0, 0, 0)
        return info + palette + colours + mask


def save_icon(path, draw):
    canvases = []
    for size in (32, 16):
        canvases.append(IconCanvas(size))
        draw(canvases[-1])
    images = [c.image() for c in canvases]
    offset = 6 + 16 * len(images)
    entries = b""
    for c, image in zip(canvases, images):
        entries += struct.pack("<BBBBHHII", c.width, c.height, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + entries + b"".join(images))


def draw_box(c, left, top, right, bottom, depth):
    """A closed product box seen from the front left, its top and right side showing."""
    shape = [(left, top), (left + depth, top - depth), (right + depth, top - depth),
             (right + depth, bottom - depth), (right, bottom), (left, bottom)]
    # The outline: the same shape a pixel larger on every side.
    c.polygon([(x + (1 if x > left else -1), y + (1 if y == bottom else -1)) for x, y in shape],
              BLACK)
    c.polygon([(left, top), (left + depth, top - depth), (right + depth, top - depth),
               (right, top)], WHITE)
    c.polygon([(right, top), (right + depth, top - depth), (right + depth, bottom - depth),
               (right, bottom)], OLIVE)
    c.rect(left, top, right, bottom, YELLOW)
    c.rect(left, top + (bottom - top) // 3, right, top + (bottom - top) // 2, RED)


def draw_diskette(c, left, top, size):
    c.rect(left, top, left + size, top + size, NAVY)
    c.rect(left + size // 4, top, left + size * 3 // 4, top + size * 3 // 8, SILVER)
    c.rect(left + size // 2, top + 1, left + size * 5 // 8, top + size * 5 // 16, NAVY)
    c.rect(left + size // 8, top + size // 2, left + size * 7 // 8, top + size, WHITE)
    c.frame(left - 1, top - 1, left + size + 1, top + size + 1, BLACK, BLACK)


def icon_setup(c):
    draw_box(c, 2, 9, 20, 27, 6)
    draw_diskette(c, 15, 15, 16)


def icon_dorcel(c):
    # A cylinder in three bands, the front rim of each band drawn light.
    c.ellipse(12, 27, 11, 5, BLACK)
    c.rect(1, 6, 24, 27, BLACK)
    c.ellipse(12, 6, 11, 5, BLACK)
    c.ellipse(12, 27, 10, 4, TEAL)
    c.rect(2, 6, 23, 27, TEAL)
    c.ellipse(12, 6, 10, 4, AQUA)
    c.ellipse(12, 6, 6, 2, TEAL)
    for band in (13, 20):
        for x in range(-10, 11):
            c.put(12 + x, band + round(4 * (1 - (x / 10.5) ** 2) ** 0.5), AQUA)
    # A gear at the lower right.
    for dx, dy in ((0, -8), (0, 8), (-8, 0), (8, 0), (-6, -6), (6, 6), (-6, 6), (6, -6)):
        c.rect(22 + dx, 22 + dy, 25 + dx, 25 + dy, BLACK)
    c.ellipse(23, 23, 7, 7, BLACK)
    c.ellipse(23, 23, 6, 6, SILVER)
    c.ellipse(23, 23, 2, 2, GRAY)


def icon_halvex(c):
    draw_box(c, 3, 11, 23, 29, 6)
    c.line(7, 8, 26, 27, MAROON, 4)
    c.line(26, 8, 7, 27, MAROON, 4)
    c.line(6, 7, 25, 26, RED, 3)
    c.line(25, 7, 6, 26, RED, 3)


def icon_kitcheck(c):
    c.line(19, 19, 28, 28, BLACK, 5)
    c.line(20, 20, 28, 28, OLIVE, 3)
    c.ellipse(12, 12, 11, 11, BLACK)
    c.ellipse(12, 12, 9, 9, SILVER)
    c.ellipse(12, 12, 7, 7, WHITE)
    c.line(6, 12, 10, 16, GREEN, 3)
    c.line(10, 16, 17, 7, GREEN, 3)


def icon_kitpack(c):
    # An open box, a diskette going into it from above.
    c.polygon([(3, 15), (0, 9), (9, 9), (10, 15)], OLIVE)
    c.polygon([(29, 15), (32, 9), (23, 9), (22, 15)], OLIVE)
    c.rect(3, 13, 29, 16, BLACK)
    draw_diskette(c, 10, 2, 12)
    c.rect(2, 16, 30, 31, BLACK)
    c.rect(3, 17, 29, 30, YELLOW)
    c.rect(3, 21, 29, 24, RED)


ICONS = {"setup": icon_setup, "dorcel": icon_dorcel, "halvex": icon_halvex,
         "kitcheck": icon_kitcheck, "kitpack": icon_kitpack}


def main():
    out = sys.argv[1]
    draw_install().save(f"{out}/install.bmp")
    draw_wizard().save(f"{out}/wizard.bmp")
    if len(sys.argv) > 2:
        for name, draw in ICONS.items():
            save_icon(f"{sys.argv[2]}/{name}.ico", draw)


if __name__ == "__main__":
    main()
