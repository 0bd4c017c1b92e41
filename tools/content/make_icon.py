#!/usr/bin/python3
"""Draws the program's icon, a house at dusk with one window lit, from one list of shapes: as the
scalable SVG and as the PNG sizes of the hicolor theme (packaging/icons/). The PNGs are painted here
rather than rendered from the SVG, so that no SVG renderer is needed; both follow the same shapes.
"""
import argparse
import os

from PIL import Image, ImageDraw

CANVAS = 256
SIZES = (48, 128, 256)
# Painted this many times larger, then reduced: the edges come out smooth.
OVERSAMPLE = 4
TILE = (16, 16, 240, 240)
TILE_RADIUS = 40
SKY_TOP, SKY_HORIZON = (0x22, 0x30, 0x6B), (0xE8, 0x95, 0x6B)

# (kind, coordinates, colour) in the 256-unit canvas, painted in order over the sky.
SHAPES = (
    ("circle", (188, 60, 15), "#FDF1C7"),
    ("rect", (158, 74, 178, 112), "#7A2E24"),
    ("rect", (16, 198, 240, 240), "#3E6B3A"),
    ("rect", (64, 122, 192, 204), "#E9DCC3"),
    ("polygon", (44, 130, 128, 62, 212, 130), "#9C3B2E"),
    ("rect", (114, 158, 142, 204), "#5B3A29"),
    ("rect", (74, 142, 104, 174), "#FFD257"),
    ("rect", (152, 142, 182, 174), "#34406B"),
    ("rect", (87, 142, 91, 174), "#C99A2E"),
    ("rect", (74, 156, 104, 160), "#C99A2E"),
)


def svg_shape(kind, coords, colour):
    if kind == "circle":
        x, y, r = coords
        return f'<circle cx="{x}" cy="{y}" r="{r}" fill="{colour}"/>'
    if kind == "rect":
        x0, y0, x1, y1 = coords
        return f'<rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" fill="{colour}"/>'
    points = " ".join(f"{coords[i]},{coords[i + 1]}" for i in range(0, len(coords), 2))
    return f'<polygon points="{points}" fill="{colour}"/>'


def svg_text():
    x0, y0, x1, y1 = TILE
    hex_colour = lambda rgb: "#%02X%02X%02X" % rgb
    lines = [
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{CANVAS}" height="{CANVAS}" '
        f'viewBox="0 0 {CANVAS} {CANVAS}">',
        "  <defs>",
        f'    <linearGradient id="sky" x1="0" y1="{y0}" x2="0" y2="{y1}" gradientUnits="userSpaceOnUse">',
        f'      <stop offset="0" stop-color="{hex_colour(SKY_TOP)}"/>',
        f'      <stop offset="1" stop-color="{hex_colour(SKY_HORIZON)}"/>',
        "    </linearGradient>",
        '    <clipPath id="tile">',
        f'      <rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" rx="{TILE_RADIUS}"/>',
        "    </clipPath>",
        "  </defs>",
        '  <g clip-path="url(#tile)">',
        f'    <rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" fill="url(#sky)"/>',
    ]
    lines += ["    " + svg_shape(*shape) for shape in SHAPES]
    lines += ["  </g>", "</svg>", ""]
    return "\n".join(lines)


def sky(size):
    x0, y0, x1, y1 = (c * OVERSAMPLE for c in TILE)
    image = Image.new("RGBA", (size, size))
    draw = ImageDraw.Draw(image)
    for y in range(size):
        t = min(max((y - y0) / (y1 - y0), 0.0), 1.0)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(SKY_TOP, SKY_HORIZON))
        draw.line([(0, y), (size, y)], fill=colour + (255,))
    return image


def painted():
    size = CANVAS * OVERSAMPLE
    image = sky(size)
    draw = ImageDraw.Draw(image)
    for kind, coords, colour in SHAPES:
        scaled = [c * OVERSAMPLE for c in coords]
        if kind == "circle":
            x, y, r = scaled
            draw.ellipse((x - r, y - r, x + r, y + r), fill=colour)
        elif kind == "rect":
            draw.rectangle((scaled[0], scaled[1], scaled[2] - 1, scaled[3] - 1), fill=colour)
        else:
            draw.polygon(scaled, fill=colour)
    mask = Image.new("L", (size, size), 0)
    ImageDraw.Draw(mask).rounded_rectangle([c * OVERSAMPLE for c in TILE], TILE_RADIUS * OVERSAMPLE, fill=255)
    image.putalpha(mask)
    return image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--out", default=os.path.join(here, "..", "..", "packaging", "icons"))
    out = parser.parse_args().out
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "tellmarin.svg"), "w") as svg:
        svg.write(svg_text())
    big = painted()
    for size in SIZES:
        big.resize((size, size), Image.LANCZOS).save(os.path.join(out, f"tellmarin-{size}.png"), optimize=True)


if __name__ == "__main__":
    main()
