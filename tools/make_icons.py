#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files with several sizes each.

The pictures are built from a few shapes (rounded squares, discs, rings, strokes and
polygons), rendered with 4x4 supersampling at every size so that each size is sharp.
The About box's logo is drawn the same way. Each toolbar picture also gets a
high-contrast twin ("<name>-hc.ico"): its outer shape with the symbol cut out, as an
alpha mask the program colours at run time in the scheme's button-text colour.
Usage: make_icons.py OUTPUT_FOLDER
"""
import math
import struct
import sys
import zlib
from pathlib import Path

SAMPLES = 4


def rounded_square(inset, radius):
    def inside(x, y):
        lo, hi = inset, 1 - inset
        cx = min(max(x, lo + radius), hi - radius)
        cy = min(max(y, lo + radius), hi - radius)
        return lo <= x <= hi and lo <= y <= hi and (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, width, start=None, end=None):
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if not (r - width / 2 <= d <= r + width / 2):
            return False
        if start is None:
            return True
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return (a - start) % 360 <= (end - start) % 360
    return inside


def ellipse_ring(cx, cy, rx, ry, width):
    def inside(x, y):
        outer = ((x - cx) / (rx + width / 2)) ** 2 + ((y - cy) / (ry + width / 2)) ** 2 <= 1
        inner = rx > width / 2 and ((x - cx) / (rx - width / 2)) ** 2 + ((y - cy) / (ry - width / 2)) ** 2 < 1
        return outer and not inner
    return inside


def stroke(points, width):
    """A polyline with round joints and ends."""
    segments = list(zip(points, points[1:]))

    def inside(x, y):
        for (ax, ay), (bx, by) in segments:
            dx, dy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
            if math.hypot(x - ax - t * dx, y - ay - t * dy) <= width / 2:
                return True
        return False
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return inside


def vertical_gradient(top, bottom):
    return lambda x, y: tuple(int(t + (b - t) * y) for t, b in zip(top, bottom)) + (255,)


def solid(rgb):
    return lambda x, y: tuple(rgb) + (255,)


WHITE = solid((255, 255, 255))

ICONS = {
    # The program: a launch arrow rising from a dock.
    "quorset": [
        (rounded_square(0.03, 0.2), vertical_gradient((64, 132, 240), (24, 72, 168))),
        (polygon([(0.5, 0.16), (0.76, 0.46), (0.24, 0.46)]), WHITE),
        (stroke([(0.5, 0.42), (0.5, 0.66)], 0.14), WHITE),
        (stroke([(0.24, 0.8), (0.76, 0.8)], 0.09), WHITE),
    ],
    # The main application.
    "vuld": [
        (disc(0.5, 0.5, 0.47), vertical_gradient((250, 160, 60), (220, 110, 20))),
        (stroke([(0.28, 0.3), (0.5, 0.74), (0.72, 0.3)], 0.13), WHITE),
    ],
    # The companion program: a code editor.
    "ide": [
        (rounded_square(0.04, 0.14), vertical_gradient((78, 94, 112), (44, 56, 70))),
        (stroke([(0.4, 0.3), (0.2, 0.5), (0.4, 0.7)], 0.1), WHITE),
        (stroke([(0.6, 0.3), (0.8, 0.5), (0.6, 0.7)], 0.1), solid((120, 200, 255))),
    ],
    # The updater: a download into a tray.
    "tamrel": [
        (disc(0.5, 0.5, 0.47), vertical_gradient((70, 190, 100), (30, 130, 60))),
        (stroke([(0.5, 0.2), (0.5, 0.52)], 0.12), WHITE),
        (polygon([(0.3, 0.46), (0.7, 0.46), (0.5, 0.68)]), WHITE),
        (stroke([(0.26, 0.76), (0.74, 0.76)], 0.08), WHITE),
    ],
    # The help file.
    "help": [
        (disc(0.5, 0.5, 0.47), vertical_gradient((70, 150, 245), (30, 95, 200))),
        (ring(0.5, 0.38, 0.15, 0.11, 180, 90), WHITE),
        (stroke([(0.53, 0.52), (0.5, 0.56), (0.5, 0.62)], 0.11), WHITE),
        (disc(0.5, 0.77, 0.065), WHITE),
    ],
    # The web site: a globe.
    "www": [
        (disc(0.5, 0.5, 0.47), vertical_gradient((40, 185, 200), (15, 120, 140))),
        (ring(0.5, 0.5, 0.33, 0.07), WHITE),
        (ellipse_ring(0.5, 0.5, 0.14, 0.33, 0.07), WHITE),
        (stroke([(0.17, 0.5), (0.83, 0.5)], 0.07), WHITE),
        (stroke([(0.5, 0.17), (0.5, 0.83)], 0.07), WHITE),
    ],
}

# The program's icon at every size the shell and the title bar ask for; the toolbar's
# pictures at the three sizes the toolbar uses (16, 24 and 32 pixels).
SIZES = {"quorset": [16, 20, 24, 32, 48, 64], "default": [16, 24, 32]}


def mask(layers):
    """The high-contrast twin of a picture: the first layer's shape less the symbol drawn
    on it, in black; only its coverage counts."""
    base, _ = layers[0]
    symbol = [shape for shape, _ in layers[1:]]
    return [(lambda x, y: base(x, y) and not any(s(x, y) for s in symbol), solid((0, 0, 0)))]


TOOLBAR = ["vuld", "ide", "tamrel", "help", "www"]


def render(layers, size):
    """Premultiplied compositing of the layers, then BGRA rows from the bottom up."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    color = (0, 0, 0, 0)
                    for shape, paint in layers:
                        if shape(x, y):
                            color = paint(x, y)
                    a = color[3] / 255
                    acc[0] += color[0] * a
                    acc[1] += color[1] * a
                    acc[2] += color[2] * a
                    acc[3] += a
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha > 0:
                r, g, b = (min(255, round(c / n / alpha)) for c in acc[:3])
            else:
                r = g = b = 0
            row.append(bytes((b, g, r, round(alpha * 255))))
        rows.append(b"".join(row))
    return b"".join(reversed(rows))


def png(pixels, size):
    """A 32-bit image (bottom-up BGRA rows, as in a bitmap) as PNG data."""
    rows = [pixels[i * size * 4:(i + 1) * size * 4] for i in range(size)][::-1]
    raw = b"".join(b"\0" + bytes(c for x in range(size) for c in (row[x * 4 + 2], row[x * 4 + 1], row[x * 4], row[x * 4 + 3]))
                   for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# Images from this size on are stored PNG-compressed, as the system reads them since
# Windows Vista; the small ones stay plain bitmaps.
PNG_FROM = 32


def ico(layers, sizes, png_from=PNG_FROM):
    images = []
    for size in sizes:
        pixels = render(layers, size)
        if size >= png_from:
            images.append((size, png(pixels, size)))
            continue
        mask_row = ((size + 31) // 32) * 4
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels), 0, 0, 0, 0)
        images.append((size, header + pixels + bytes(mask_row * size)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def logo(width, height):
    """The About box's banner: a gradient band with the program's icon and a row of the
    toolbar's pictures, as a 16-colour bitmap whose palette is fitted to the picture."""
    top, bottom = (36, 96, 200), (16, 52, 128)
    canvas = [[tuple(int(t + (b - t) * y / height) for t, b in zip(top, bottom)) for _ in range(width)]
              for y in range(height)]

    def paste(layers, size, left, top_edge):
        pixels = render(layers, size)
        rows = [pixels[i * size * 4:(i + 1) * size * 4] for i in range(size)][::-1]
        for y, row in enumerate(rows):
            for x in range(size):
                b, g, r, a = row[x * 4:x * 4 + 4]
                under = canvas[top_edge + y][left + x]
                canvas[top_edge + y][left + x] = tuple(
                    round(c * a / 255 + u * (255 - a) / 255) for c, u in zip((r, g, b), under))

    paste(ICONS["quorset"], 48, 8, (height - 48) // 2)
    for i, name in enumerate(TOOLBAR):
        paste(ICONS[name], 24, width - 5 * 30 - 8 + i * 30, (height - 24) // 2)
    palette = fit_palette([pixel for row in canvas for pixel in row], 16)
    nearest = {}

    def index(pixel):
        if pixel not in nearest:
            nearest[pixel] = min(range(len(palette)), key=lambda k: sum((a - b) ** 2 for a, b in zip(pixel, palette[k])))
        return nearest[pixel]

    stride = ((width + 1) // 2 + 3) & ~3
    rows = []
    for row in reversed(canvas):
        indices = [index(p) for p in row] + [0]
        rows.append(bytes((indices[x] << 4) | indices[x + 1] for x in range(0, width, 2)).ljust(stride, b"\0"))
    data = b"".join(rows)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(data), 2835, 2835, 16, 16)
    offset = 14 + len(header) + len(colours)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + header + colours + data


def fit_palette(pixels, count, rounds=8):
    """`count` colours that stand for `pixels` well: k-means from evenly spread seeds."""
    distinct = sorted(set(pixels), key=lambda p: (sum(p), p))
    centres = [distinct[i * (len(distinct) - 1) // (count - 1)] for i in range(count)]
    weights = {}
    for p in pixels:
        weights[p] = weights.get(p, 0) + 1
    for _ in range(rounds):
        sums = [[0, 0, 0, 0] for _ in centres]
        for p, w in weights.items():
            k = min(range(count), key=lambda c: sum((a - b) ** 2 for a, b in zip(p, centres[c])))
            for i in range(3):
                sums[k][i] += p[i] * w
            sums[k][3] += w
        centres = [tuple(round(s[i] / s[3]) for i in range(3)) if s[3] else centres[k] for k, s in enumerate(sums)]
    return centres


def main():
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    for name, layers in ICONS.items():
        (folder / f"{name}.ico").write_bytes(ico(layers, SIZES.get(name, SIZES["default"])))
    for name in TOOLBAR:
        # Seldom shown, so stored small: compressed at every size.
        (folder / f"{name}-hc.ico").write_bytes(ico(mask(ICONS[name]), SIZES["default"], png_from=0))
    (folder / "logo.bmp").write_bytes(logo(331, 57))


if __name__ == "__main__":
    main()
