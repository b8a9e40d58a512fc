#!/usr/bin/env python3
"""Draws Skyloom's own artwork: the program icon (16, 32 and 48 pixels in one
.ico) and the image strips of the toolbars (32 x 32) and the tray menu
(16 x 16), as 32-bit BMPs with straight alpha. The strips are also drawn at
125, 150 and 200 % for scaled displays (toolbarNN.bmp, menuNN.bmp).

    make_artwork.py OUTDIR

Every picture is a pictogram on a 32-unit grid, drawn with 4 x 4 samples per
pixel so that edges are smooth at 16 pixels too.
"""
import math
import os
import struct
import sys

SAMPLES = 4


class Canvas:
    """RGBA pixels, straight alpha, 0..1 floats; shapes are painted over."""

    def __init__(self, size):
        self.size = size
        self.scale = size / 32.0
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def paint(self, inside, bbox, colour):
        """inside(x, y) in grid units; bbox (x0, y0, x1, y1) in grid units."""
        r, g, b = [c / 255.0 for c in colour[:3]]
        opacity = colour[3] / 255.0 if len(colour) > 3 else 1.0
        s = self.scale
        x0 = max(0, int(math.floor(bbox[0] * s)))
        y0 = max(0, int(math.floor(bbox[1] * s)))
        x1 = min(self.size, int(math.ceil(bbox[2] * s)))
        y1 = min(self.size, int(math.ceil(bbox[3] * s)))
        offsets = [(i + 0.5) / SAMPLES for i in range(SAMPLES)]
        for py in range(y0, y1):
            for px in range(x0, x1):
                hits = 0
                for oy in offsets:
                    for ox in offsets:
                        if inside((px + ox) / s, (py + oy) / s):
                            hits += 1
                if not hits:
                    continue
                a = opacity * hits / (SAMPLES * SAMPLES)
                dst = self.px[py * self.size + px]
                out_a = a + dst[3] * (1 - a)
                for i, c in enumerate((r, g, b)):
                    dst[i] = (c * a + dst[i] * dst[3] * (1 - a)) / out_a
                dst[3] = out_a

    # Shapes -------------------------------------------------------------
    def rect(self, x0, y0, x1, y1, colour, radius=0.0):
        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            if radius <= 0:
                return True
            cx = min(max(x, x0 + radius), x1 - radius)
            cy = min(max(y, y0 + radius), y1 - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
        self.paint(inside, (x0, y0, x1, y1), colour)

    def framed(self, x0, y0, x1, y1, fill, edge, width=1.0, radius=0.0):
        self.rect(x0, y0, x1, y1, edge, radius)
        self.rect(x0 + width, y0 + width, x1 - width, y1 - width, fill, max(0.0, radius - width))

    def ellipse(self, cx, cy, rx, ry, colour):
        self.paint(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1,
                   (cx - rx, cy - ry, cx + rx, cy + ry), colour)

    def circle(self, cx, cy, r, colour):
        self.ellipse(cx, cy, r, r, colour)

    def ring(self, cx, cy, r, width, colour):
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            return r - width <= d <= r
        self.paint(inside, (cx - r, cy - r, cx + r, cy + r), colour)

    def polygon(self, points, colour):
        def inside(x, y):
            hit = False
            n = len(points)
            for i in range(n):
                ax, ay = points[i]
                bx, by = points[(i + 1) % n]
                if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                    hit = not hit
            return hit
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.paint(inside, (min(xs), min(ys), max(xs), max(ys)), colour)

    def line(self, ax, ay, bx, by, width, colour):
        half = width / 2.0
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy or 1e-9

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
            return (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= half * half
        self.paint(inside, (min(ax, bx) - half, min(ay, by) - half, max(ax, bx) + half, max(ay, by) + half),
                   colour)

    def polyline(self, points, width, colour):
        for a, b in zip(points, points[1:]):
            self.line(a[0], a[1], b[0], b[1], width, colour)

    def bytes_bgra(self):
        out = bytearray()
        for r, g, b, a in self.px:
            out += bytes((round(b * 255), round(g * 255), round(r * 255), round(a * 255)))
        return bytes(out)


# Colours ------------------------------------------------------------------
OUTLINE = (40, 52, 72)
WHITE = (255, 255, 255)
SKY = (110, 170, 235)
HILL = (70, 160, 70)
SUN = (250, 205, 50)
GREEN = (40, 160, 60)
GREEN_DARK = (20, 100, 35)
RED = (210, 45, 40)
RED_DARK = (140, 20, 20)
BLUE = (45, 100, 200)
BLUE_DARK = (25, 55, 130)
YELLOW = (240, 195, 70)
YELLOW_DARK = (170, 120, 30)
GREY = (150, 155, 165)
GREY_DARK = (85, 90, 100)
FILM = (55, 55, 60)


# Pictogram parts ------------------------------------------------------------
def picture(c, x0, y0, x1, y1):
    """A framed landscape photograph."""
    c.framed(x0, y0, x1, y1, WHITE, OUTLINE, 1.0, 1.0)
    ix0, iy0, ix1, iy1 = x0 + 2.5, y0 + 2.5, x1 - 2.5, y1 - 2.5
    c.rect(ix0, iy0, ix1, iy1, SKY)
    w, h = ix1 - ix0, iy1 - iy0
    c.circle(ix0 + w * 0.72, iy0 + h * 0.3, h * 0.17, SUN)
    c.polygon([(ix0, iy1), (ix0, iy0 + h * 0.62), (ix0 + w * 0.35, iy0 + h * 0.38),
               (ix0 + w * 0.7, iy0 + h * 0.7), (ix1, iy0 + h * 0.55), (ix1, iy1)], HILL)


def film(c, x0, y0, x1, y1):
    """A strip of film with sprocket holes and two frames."""
    c.rect(x0, y0, x1, y1, FILM, 1.0)
    holes = 5
    step = (x1 - x0) / holes
    for i in range(holes):
        hx = x0 + step * i + step * 0.3
        c.rect(hx, y0 + 1, hx + step * 0.4, y0 + 3, WHITE)
        c.rect(hx, y1 - 3, hx + step * 0.4, y1 - 1, WHITE)
    mid = (x0 + x1) / 2
    c.rect(x0 + 1.5, y0 + 4.5, mid - 0.75, y1 - 4.5, SKY)
    c.rect(mid + 0.75, y0 + 4.5, x1 - 1.5, y1 - 4.5, SKY)


def badge(c, cx, cy, r, fill, edge):
    c.circle(cx, cy, r, edge)
    c.circle(cx, cy, r - 1.2, fill)


def plus(c, cx, cy, r):
    badge(c, cx, cy, r, GREEN, GREEN_DARK)
    arm = r * 0.55
    c.line(cx - arm, cy, cx + arm, cy, r * 0.38, WHITE)
    c.line(cx, cy - arm, cx, cy + arm, r * 0.38, WHITE)


def play(c, cx, cy, r, ring=True):
    if ring:
        badge(c, cx, cy, r, GREEN, GREEN_DARK)
        k = r * 0.5
        c.polygon([(cx - k * 0.75, cy - k), (cx - k * 0.75, cy + k), (cx + k * 1.05, cy)], WHITE)
    else:
        c.polygon([(cx - r * 0.8, cy - r), (cx - r * 0.8, cy + r), (cx + r, cy)], GREEN_DARK)
        c.polygon([(cx - r * 0.8 + 1.2, cy - r + 2), (cx - r * 0.8 + 1.2, cy + r - 2), (cx + r - 2.2, cy)],
                  GREEN)


def stop(c, cx, cy, r):
    badge(c, cx, cy, r, RED, RED_DARK)
    k = r * 0.42
    c.rect(cx - k, cy - k, cx + k, cy + k, WHITE)


def arrow(c, direction, cx, cy, size, fill, edge):
    """A broad arrow pointing left (-1) or right (+1)."""
    d = direction
    head = size * 0.5
    shaft = size * 0.22
    tip = cx + d * size
    base = cx + d * (size - head * 1.3)
    tail = cx - d * size
    points = [(tail, cy - shaft), (base, cy - shaft), (base, cy - head), (tip, cy), (base, cy + head),
              (base, cy + shaft), (tail, cy + shaft)]
    c.polygon(points, edge)
    inner = size - 1.6
    head_i = head - 1.6
    shaft_i = shaft - 1.0
    tip_i = cx + d * (size - 1.9)
    base_i = cx + d * (size - head * 1.3 - 0.4)
    tail_i = cx - d * (size - 1.0)
    c.polygon([(tail_i, cy - shaft_i), (base_i, cy - shaft_i), (base_i, cy - head_i), (tip_i, cy),
               (base_i, cy + head_i), (base_i, cy + shaft_i), (tail_i, cy + shaft_i)], fill)
    del inner


def check_box(c, x0, y0, size, ticked):
    c.framed(x0, y0, x0 + size, y0 + size, WHITE, OUTLINE, 1.2, 1.0)
    if ticked:
        s = size
        c.polyline([(x0 + s * 0.2, y0 + s * 0.5), (x0 + s * 0.42, y0 + s * 0.75), (x0 + s * 0.85, y0 + s * 0.15)],
                   s * 0.17, GREEN)


def folder(c, x0, y0, x1, y1):
    c.polygon([(x0, y0 + 2), (x0 + 8, y0 + 2), (x0 + 10, y0 + 4.5), (x1 - 2, y0 + 4.5), (x1 - 2, y1), (x0, y1)],
              YELLOW_DARK)
    c.polygon([(x0 + 1, y0 + 3), (x0 + 7.5, y0 + 3), (x0 + 9.5, y0 + 5.5), (x1 - 3, y0 + 5.5), (x1 - 3, y1 - 1),
               (x0 + 1, y1 - 1)], YELLOW)
    c.polygon([(x0 + 4, y0 + 10), (x1, y0 + 10), (x1 - 4, y1), (x0, y1)], YELLOW_DARK)
    c.polygon([(x0 + 5, y0 + 11), (x1 - 1.4, y0 + 11), (x1 - 4.7, y1 - 1), (x0 + 1.4, y1 - 1)], (252, 220, 120))


def floppy(c, x0, y0, x1, y1):
    c.polygon([(x0, y0), (x1 - 4, y0), (x1, y0 + 4), (x1, y1), (x0, y1)], BLUE_DARK)
    c.polygon([(x0 + 1.2, y0 + 1.2), (x1 - 4.5, y0 + 1.2), (x1 - 1.2, y0 + 4.5), (x1 - 1.2, y1 - 1.2),
               (x0 + 1.2, y1 - 1.2)], BLUE)
    w = x1 - x0
    c.rect(x0 + w * 0.25, y0 + 1.2, x1 - w * 0.3, y0 + w * 0.33, (225, 230, 240))
    c.rect(x1 - w * 0.45, y0 + 2.2, x1 - w * 0.35, y0 + w * 0.28, BLUE_DARK)
    c.rect(x0 + w * 0.18, y1 - w * 0.42, x1 - w * 0.18, y1 - 1.2, WHITE)
    for i in range(3):
        yy = y1 - w * 0.34 + i * w * 0.09
        c.line(x0 + w * 0.26, yy, x1 - w * 0.26, yy, 0.7, GREY)


def trash(c, x0, y0, x1, y1):
    w = x1 - x0
    c.rect(x0 + w * 0.38, y0, x1 - w * 0.38, y0 + 3, GREY_DARK, 0.8)
    c.rect(x0, y0 + 2, x1, y0 + 5, GREY_DARK, 1.0)
    c.rect(x0 + 1, y0 + 3, x1 - 1, y0 + 4.2, GREY)
    c.polygon([(x0 + 1.5, y0 + 6), (x1 - 1.5, y0 + 6), (x1 - 3.5, y1), (x0 + 3.5, y1)], GREY_DARK)
    c.polygon([(x0 + 2.8, y0 + 7), (x1 - 2.8, y0 + 7), (x1 - 4.5, y1 - 1.2), (x0 + 4.5, y1 - 1.2)], GREY)
    for i in (0.33, 0.5, 0.67):
        xx = x0 + w * i
        c.line(xx, y0 + 9, xx, y1 - 3.5, 1.3, GREY_DARK)


def window(c, x0, y0, x1, y1):
    c.framed(x0, y0, x1, y1, WHITE, BLUE_DARK, 1.0, 1.0)
    c.rect(x0 + 1, y0 + 1, x1 - 1, y0 + 5, BLUE)
    c.rect(x1 - 4.5, y0 + 2, x1 - 2, y0 + 4, WHITE)


def down_arrow(c, cx, top, size):
    c.polygon([(cx - size * 0.28, top), (cx + size * 0.28, top), (cx + size * 0.28, top + size * 0.45),
               (cx + size * 0.6, top + size * 0.45), (cx, top + size), (cx - size * 0.6, top + size * 0.45),
               (cx - size * 0.28, top + size * 0.45)], GREEN_DARK)
    k = 1.1
    c.polygon([(cx - size * 0.28 + k, top + k), (cx + size * 0.28 - k, top + k),
               (cx + size * 0.28 - k, top + size * 0.45 + k), (cx + size * 0.6 - 2.2 * k, top + size * 0.45 + k),
               (cx, top + size - 1.6 * k), (cx - size * 0.6 + 2.2 * k, top + size * 0.45 + k),
               (cx - size * 0.28 + k, top + size * 0.45 + k)], GREEN)


def clock(c, cx, cy, r):
    c.circle(cx, cy, r, OUTLINE)
    c.circle(cx, cy, r - 1.3, WHITE)
    for i in range(12):
        a = i * math.pi / 6
        c.line(cx + math.sin(a) * (r - 2.6), cy - math.cos(a) * (r - 2.6), cx + math.sin(a) * (r - 3.6),
               cy - math.cos(a) * (r - 3.6), 0.9, GREY_DARK)
    c.line(cx, cy, cx, cy - r * 0.6, 1.6, OUTLINE)
    c.line(cx, cy, cx + r * 0.45, cy + r * 0.2, 1.6, OUTLINE)


def power(c, cx, cy, r):
    badge(c, cx, cy, r, RED, RED_DARK)
    inner = r * 0.55
    c.ring(cx, cy, inner, r * 0.16, WHITE)
    c.rect(cx - r * 0.3, cy - r * 0.85, cx + r * 0.3, cy - r * 0.15, RED)
    c.line(cx, cy - r * 0.72, cx, cy - r * 0.05, r * 0.17, WHITE)


def magnifier(c, cx, cy, r):
    c.line(cx + r * 0.6, cy + r * 0.6, cx + r * 1.5, cy + r * 1.5, r * 0.45, GREY_DARK)
    c.circle(cx, cy, r, GREY_DARK)
    c.circle(cx, cy, r * 0.72, (210, 235, 250))


# The pictures ---------------------------------------------------------------
def add_files(c):
    picture(c, 2, 4, 26, 24)
    plus(c, 24, 24, 7)


def trash_all(c):
    trash(c, 6, 3, 26, 29)


def check_all(c):
    check_box(c, 3, 3, 17, True)
    check_box(c, 12, 12, 17, True)


def uncheck_all(c):
    check_box(c, 3, 3, 17, False)
    check_box(c, 12, 12, 17, False)


def previous(c):
    arrow(c, -1, 16, 16, 13, BLUE, BLUE_DARK)


def next_(c):
    arrow(c, 1, 16, 16, 13, BLUE, BLUE_DARK)


def start(c):
    play(c, 16, 16, 13)


def stop_(c):
    stop(c, 16, 16, 13)


def open_gallery(c):
    folder(c, 2, 5, 30, 27)


def save_gallery(c):
    floppy(c, 4, 4, 28, 28)


def hide(c):
    window(c, 2, 3, 26, 23)
    down_arrow(c, 22, 14, 16)


def video_start(c):
    film(c, 1, 6, 27, 22)
    play(c, 23, 23, 8)


def video_stop(c):
    film(c, 1, 6, 27, 22)
    stop(c, 23, 23, 8)


def next_video(c):
    film(c, 1, 6, 27, 22)
    badge(c, 23, 23, 8, BLUE, BLUE_DARK)
    arrow(c, 1, 23, 23, 5, WHITE, WHITE)


def timer_start(c):
    clock(c, 14, 14, 12)
    play(c, 24, 24, 8)


def timer_stop(c):
    clock(c, 14, 14, 12)
    stop(c, 24, 24, 8)


def open_window(c):
    window(c, 2, 4, 30, 28)
    picture(c, 6, 11, 26, 25)


def exit_(c):
    power(c, 16, 16, 14)


def choose_images(c):
    picture(c, 2, 3, 24, 21)
    magnifier(c, 20, 19, 6.5)


def add_folder(c):
    folder(c, 2, 5, 26, 25)
    plus(c, 24, 24, 7)


def program_icon(c):
    """A sky over hills, crossed by the threads of a loom."""
    c.rect(1, 1, 31, 31, BLUE_DARK, 6)
    def sky(x, y):
        return 2 <= x <= 30 and 2 <= y <= 30
    c.rect(2, 2, 30, 30, (70, 140, 225), 5)
    c.rect(2, 2, 30, 17, (120, 185, 245), 5)
    c.rect(2, 12, 30, 20, (150, 205, 250))
    c.circle(22, 10, 4.5, SUN)
    c.polygon([(2, 30), (2, 21), (11, 15), (19, 22), (25, 18), (30, 21), (30, 30)], HILL)
    c.rect(2, 25, 30, 30, (50, 130, 55), 5)
    for x in (8, 16, 24):
        c.line(x, 3, x, 29, 1.1, (255, 255, 255, 150))
    for y in (9, 17, 25):
        c.line(3, y, 29, y, 1.1, (255, 255, 255, 110))
    del sky


# ImageList2 (toolbars, 32 x 32): the toolbar's buttons by image index, then
# the video tab's start and stop.
TOOLBAR = [add_files, trash_all, check_all, uncheck_all, previous, start, next_, stop_, open_gallery,
           save_gallery, hide, video_start, video_stop, add_folder]
# The tray menu's images (16 x 16) by image index.
MENU = [next_, previous, video_start, video_stop, next_video, timer_start, timer_stop, open_gallery,
        save_gallery, open_window, hide, exit_, choose_images, add_folder]


# Files ------------------------------------------------------------------------
def strip_bmp(pictures, size):
    """One 32-bit bottom-up BMP, the pictures side by side."""
    canvases = []
    for draw in pictures:
        c = Canvas(size)
        draw(c)
        canvases.append(c.bytes_bgra())
    width, height = size * len(pictures), size
    rows = []
    for y in range(height):
        row = bytearray()
        for data in canvases:
            row += data[y * size * 4:(y + 1) * size * 4]
        rows.append(bytes(row))
    pixels = b"".join(reversed(rows))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + 40 + len(pixels), 0, 0, 54) + header + pixels


def icon_file(draw, sizes):
    images = []
    for size in sizes:
        c = Canvas(size)
        draw(c)
        data = c.bytes_bgra()
        rows = [data[y * size * 4:(y + 1) * size * 4] for y in range(size)]
        xor = b"".join(reversed(rows))
        mask_stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for y in reversed(range(size)):
            bits = bytearray(mask_stride)
            for x in range(size):
                if data[(y * size + x) * 4 + 3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append((size, header + xor + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, blob in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blob for _, blob in images)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_artwork.py OUTDIR")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = {
        "skyloom.ico": icon_file(program_icon, (16, 32, 48)),
    }
    for percent in (100, 125, 150, 200):
        toolbar, menu = 32 * percent // 100, 16 * percent // 100
        files[f"toolbar{toolbar}.bmp"] = strip_bmp(TOOLBAR, toolbar)
        files[f"menu{menu}.bmp"] = strip_bmp(MENU, menu)
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
