#!/usr/bin/env python3
"""Draws the application icon: a red curve crossing the x axis on a light rounded tile,
its two roots marked with blue dots.

Writes rootfinder-<N>.png (N = 256, 48, 32, 24, 16; 8-bit RGBA), rootfinder.ico (the
five images at 32 bits per pixel: 256 as PNG, the others as DIBs) and rootfinder.svg (the
256-pixel layout as vector shapes) beside this script.
Standard library only. The outputs are committed, so the build never runs this.

    python3 app/resources/draw_icon.py
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SIZES = [256, 48, 32, 24, 16]

# Each size is laid out on its own so that the small ones stay crisp: the axis and the
# roots sit on pixel centres (or pixel edges for even widths), line widths are chosen per size.
#   margin: transparent border; radius: tile corner; border: tile outline width;
#   axis_w, curve_w: line widths; dot_r: root marker radius; ring: white ring round it;
#   depth: how far the curve dips below the axis; grid: grid spacing (0: none).
LAYOUT = {
    256: dict(margin=10, radius=48, border=6, axis_w=8, curve_w=16, dot_r=17, ring=6, depth=54, grid=30),
    48: dict(margin=2, radius=9, border=1.5, axis_w=2, curve_w=3.6, dot_r=3.6, ring=1.4, depth=10, grid=0),
    32: dict(margin=1, radius=6, border=1, axis_w=2, curve_w=2.6, dot_r=2.6, ring=1, depth=6.5, grid=0),
    24: dict(margin=1, radius=4, border=1, axis_w=1, curve_w=2, dot_r=2.1, ring=0.8, depth=5, grid=0),
    16: dict(margin=0, radius=3, border=1, axis_w=1, curve_w=1.6, dot_r=1.6, ring=0, depth=3.5, grid=0),
}

BORDER = (0x4F, 0x63, 0x7A)
TILE_TOP = (0xFF, 0xFF, 0xFF)
TILE_BOTTOM = (0xDA, 0xE5, 0xF2)
GRID = (0xC6, 0xD4, 0xE6)
AXIS = (0x45, 0x4F, 0x5C)
CURVE = (0xD3, 0x22, 0x2A)
DOT = (0x15, 0x50, 0xC8)
RING = (0xFF, 0xFF, 0xFF)


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def coverage(distance):
    """Pixel coverage of a shape from the signed distance of the pixel centre (negative inside)."""
    return clamp01(0.5 - distance)


def rounded_box_distance(px, py, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    qx = abs(px - cx) - (x1 - x0) / 2 + r
    qy = abs(py - cy) - (y1 - y0) / 2 + r
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = clamp01(t)
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def snap(v, width):
    """Nearest line position at which a line `width` pixels wide fills whole pixels."""
    if round(width) % 2 == 1:
        return math.floor(v) + 0.5
    return float(round(v))


class Canvas:
    """Straight-alpha RGBA floats, composited with the usual 'over' operator."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def over(self, x, y, rgb, alpha):
        if alpha <= 0.0:
            return
        p = self.pixels[y * self.size + x]
        out_a = alpha + p[3] * (1 - alpha)
        for i in range(3):
            p[i] = (rgb[i] / 255 * alpha + p[i] * p[3] * (1 - alpha)) / out_a
        p[3] = out_a

    def rgba_rows(self):
        rows = []
        for y in range(self.size):
            row = bytearray()
            for p in self.pixels[y * self.size:(y + 1) * self.size]:
                row += bytes(round(clamp01(c) * 255) for c in p)
            rows.append(bytes(row))
        return rows


class Geometry:
    """Where the tile, the axis, the roots and the curve lie at one size (shared by both outputs)."""

    def __init__(self, size):
        L = LAYOUT[size]
        m = L["margin"]
        self.outer = (m, m, size - m, size - m)
        self.inner = (m + L["border"], m + L["border"], size - m - L["border"], size - m - L["border"])
        self.inner_r = max(L["radius"] - L["border"], 0.0)
        self.axis_y = snap(size * 0.56, L["axis_w"])
        self.root1 = snap(size * 0.29, 1)
        self.root2 = snap(size * 0.71, 1)
        # A parabola through the two roots, tilted so the right branch climbs faster.
        steepness = L["depth"] / ((self.root2 - self.root1) / 2) ** 2
        middle = (self.root1 + self.root2) / 2

        def curve_y(x):
            tilt = 1 + 1.2 * (x - middle) / size
            return self.axis_y - steepness * (x - self.root1) * (x - self.root2) * tilt

        self.step = 0.05 if size < 64 else 0.25
        left, right = self.inner[0], self.inner[2]
        self.xs = [left + i * self.step for i in range(int((right - left) / self.step) + 1)]
        self.curve = [(x, curve_y(x)) for x in self.xs]


def draw(size):
    L = LAYOUT[size]
    canvas = Canvas(size)
    g = Geometry(size)
    outer, inner, inner_r = g.outer, g.inner, g.inner_r
    axis_y, root1, root2 = g.axis_y, g.root1, g.root2
    step, xs, curve = g.step, g.xs, g.curve
    half_curve = L["curve_w"] / 2

    for y in range(size):
        for x in range(size):
            px, py = x + 0.5, y + 0.5
            tile = coverage(rounded_box_distance(px, py, *outer, L["radius"]))
            if tile == 0.0:
                continue
            canvas.over(x, y, BORDER, tile)
            clip = coverage(rounded_box_distance(px, py, *inner, inner_r))
            if clip == 0.0:
                continue
            shade = clamp01((py - inner[1]) / (inner[3] - inner[1]))
            fill = tuple(t + (b - t) * shade for t, b in zip(TILE_TOP, TILE_BOTTOM))
            canvas.over(x, y, fill, clip)

            if L["grid"]:
                gx = abs((px - root1) % L["grid"] - L["grid"] / 2)
                gy = abs((py - axis_y) % L["grid"] - L["grid"] / 2)
                line = max(coverage(L["grid"] / 2 - gx - 0.5), coverage(L["grid"] / 2 - gy - 0.5))
                canvas.over(x, y, GRID, line * clip)

            axis = coverage(abs(py - axis_y) - L["axis_w"] / 2)
            canvas.over(x, y, AXIS, axis * clip)

            # Only the curve samples within reach of this column can touch the pixel.
            first = max(int((px - half_curve - 1 - xs[0]) / step), 0)
            last = min(int((px + half_curve + 1 - xs[0]) / step) + 1, len(curve) - 1)
            nearest = math.inf
            for i in range(first, last):
                (ax, ay), (bx, by) = curve[i], curve[i + 1]
                if min(ay, by) - half_curve - 1 > py or max(ay, by) + half_curve + 1 < py:
                    continue
                nearest = min(nearest, segment_distance(px, py, ax, ay, bx, by))
            canvas.over(x, y, CURVE, coverage(nearest - half_curve) * clip)

            for root in (root1, root2):
                centre = math.hypot(px - root, py - axis_y)
                if L["ring"]:
                    canvas.over(x, y, RING, coverage(centre - L["dot_r"] - L["ring"]) * clip)
                canvas.over(x, y, DOT, coverage(centre - L["dot_r"]) * clip)
    return canvas.rgba_rows()


def png(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib(size, rows):
    """A 32-bit BGRA icon image: header (height doubled for the mask), bottom-up pixels, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for i in range(0, len(row), 4):
            r, g, b, a = row[i:i + 4]
            pixels += bytes((b, g, r, a))
    # The alpha channel decides; the mask marks fully transparent pixels for old readers.
    mask_stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(size):
            if row[4 * x + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def ico(images):
    """images: (size, data) in directory order."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries, blobs = b"", b""
    for size, data in images:
        side = 0 if size == 256 else size  # 0 stands for 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        blobs += data
        offset += len(data)
    return directory + entries + blobs


def hex_colour(rgb):
    return "#%02x%02x%02x" % rgb


def svg(size):
    """The same picture as vector shapes; the curve and the tile are clipped to the tile's inside."""
    L = LAYOUT[size]
    g = Geometry(size)
    x0, y0, x1, y1 = g.outer
    ix0, iy0, ix1, iy1 = g.inner
    n = lambda v: f"{v:.2f}".rstrip("0").rstrip(".")
    grid = []
    if L["grid"]:
        # The same lines the pixel drawing puts through the first root and the axis.
        first_x = g.root1 - math.floor((g.root1 - ix0) / L["grid"]) * L["grid"]
        x = first_x
        while x < ix1:
            grid.append(f'<line x1="{n(x)}" y1="{n(iy0)}" x2="{n(x)}" y2="{n(iy1)}"/>')
            x += L["grid"]
        y = g.axis_y - math.floor((g.axis_y - iy0) / L["grid"]) * L["grid"]
        while y < iy1:
            grid.append(f'<line x1="{n(ix0)}" y1="{n(y)}" x2="{n(ix1)}" y2="{n(y)}"/>')
            y += L["grid"]
    # Every fourth sample of the curve is plenty for a path.
    points = " ".join(f"{n(x)},{n(y)}" for x, y in g.curve[::4])
    dots = []
    for root in (g.root1, g.root2):
        if L["ring"]:
            dots.append(f'<circle cx="{n(root)}" cy="{n(g.axis_y)}" r="{n(L["dot_r"] + L["ring"])}" '
                        f'fill="{hex_colour(RING)}"/>')
        dots.append(f'<circle cx="{n(root)}" cy="{n(g.axis_y)}" r="{n(L["dot_r"])}" fill="{hex_colour(DOT)}"/>')
    lines = [
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" viewBox="0 0 {size} {size}">',
        "<defs>",
        f'<linearGradient id="tile" x1="0" y1="{n(iy0)}" x2="0" y2="{n(iy1)}" gradientUnits="userSpaceOnUse">'
        f'<stop offset="0" stop-color="{hex_colour(TILE_TOP)}"/>'
        f'<stop offset="1" stop-color="{hex_colour(TILE_BOTTOM)}"/></linearGradient>',
        f'<clipPath id="inside"><rect x="{n(ix0)}" y="{n(iy0)}" width="{n(ix1 - ix0)}" height="{n(iy1 - iy0)}" '
        f'rx="{n(g.inner_r)}"/></clipPath>',
        "</defs>",
        f'<rect x="{n(x0)}" y="{n(y0)}" width="{n(x1 - x0)}" height="{n(y1 - y0)}" rx="{n(L["radius"])}" '
        f'fill="{hex_colour(BORDER)}"/>',
        '<g clip-path="url(#inside)">',
        f'<rect x="{n(ix0)}" y="{n(iy0)}" width="{n(ix1 - ix0)}" height="{n(iy1 - iy0)}" fill="url(#tile)"/>',
        f'<g stroke="{hex_colour(GRID)}" stroke-width="1">' + "".join(grid) + "</g>",
        f'<line x1="{n(ix0)}" y1="{n(g.axis_y)}" x2="{n(ix1)}" y2="{n(g.axis_y)}" '
        f'stroke="{hex_colour(AXIS)}" stroke-width="{n(L["axis_w"])}"/>',
        f'<polyline points="{points}" fill="none" stroke="{hex_colour(CURVE)}" '
        f'stroke-width="{n(L["curve_w"])}" stroke-linecap="round" stroke-linejoin="round"/>',
        *dots,
        "</g>",
        "</svg>",
    ]
    return "\n".join(lines) + "\n"


def main():
    images = []
    for size in SIZES:
        rows = draw(size)
        encoded = png(size, rows)
        with open(os.path.join(HERE, f"rootfinder-{size}.png"), "wb") as f:
            f.write(encoded)
        images.append((size, encoded if size == 256 else dib(size, rows)))
    with open(os.path.join(HERE, "rootfinder.ico"), "wb") as f:
        f.write(ico(images))
    with open(os.path.join(HERE, "rootfinder.svg"), "w", encoding="ascii") as f:
        f.write(svg(256))


if __name__ == "__main__":
    main()
