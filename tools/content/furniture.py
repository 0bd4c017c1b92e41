"""Furniture in local coordinates: standing on y = 0, centred on x = z = 0, front towards
+z. Sizes in model units (about 200 to the metre). Place with Part.transformed."""
import numpy as np

from geometry import Part
from textures_painted import DECOR_BOOKS, DECOR_KEYBOARD

LEG = 10.0
SPINE_UNITS = 150.0  # model units of shelf per unit of the atlas's u


def _legs(part, material, half_w, half_d, height, inset=12.0, size=LEG):
    for sx in (-1, 1):
        for sz in (-1, 1):
            x, z = sx * (half_w - inset), sz * (half_d - inset)
            part.box(material, (x - size / 2, 0, z - size / 2),
                     (x + size / 2, height, z + size / 2), grain=[0, 1, 0])


def table(width, depth, height):
    part = Part("table")
    part.box("timber", (-width / 2, height - 8, -depth / 2), (width / 2, height, depth / 2),
             grain=[1, 0, 0])
    _legs(part, "timber", width / 2, depth / 2, height - 8)
    return part


def chair():
    part = Part("chair")
    seat = 88.0
    part.box("timber", (-45, seat - 8, -42), (45, seat, 42), grain=[1, 0, 0])
    _legs(part, "timber", 45, 42, seat - 8, inset=8, size=8)
    for sx in (-1, 1):
        part.box("timber", (sx * 37 - 4, seat, -42), (sx * 37 + 4, 185, -34), grain=[0, 1, 0])
    part.box("timber", (-41, 130, -42), (41, 175, -36), grain=[1, 0, 0])
    part.box("fabric", (-40, seat, -34), (40, seat + 8, 38))
    return part


def sofa(length=440.0, depth=180.0):
    part = Part("sofa")
    half = length / 2
    arm = 36.0
    part.soft_box("fabric", (-half, 15, -depth / 2), (half, 50, depth / 2), 6)
    _legs(part, "timber", half, depth / 2, 15, inset=10, size=12)
    part.soft_box("fabric", (-half, 48, -depth / 2), (half, 165, -depth / 2 + 40), 10)
    for sx in (-1, 1):
        x0 = sx * half
        part.soft_box("fabric", (min(x0, x0 - sx * arm), 48, -depth / 2),
                      (max(x0, x0 - sx * arm), 122, depth / 2), 10)
    seats = max(1, round((length - 2 * arm) / 130))
    width = (length - 2 * arm) / seats
    for k in range(seats):
        x = -half + arm + k * width
        back = -depth / 2
        part.soft_box("fabric", (x + 2, 48, back + 40), (x + width - 2, 90, depth / 2 - 2), 9)
        part.soft_box("fabric", (x + 4, 88, back + 38), (x + width - 4, 152, back + 70), 12)
    return part


def bookshelf(width=240.0, height=440.0, depth=60.0, shelves=5, seed=0):
    part = Part("bookshelf")
    g = np.random.default_rng(seed)
    half, t = width / 2, 10.0
    for sx in (-1, 1):
        part.box("timber", (sx * half - (t if sx > 0 else 0), 0, -depth / 2),
                 (sx * half + (0 if sx > 0 else t), height, depth / 2), grain=[0, 1, 0])
    part.box("timber", (-half, 0, -depth / 2), (half, height, -depth / 2 + 4), grain=[0, 1, 0])
    step = (height - t) / shelves
    for k in range(shelves + 1):
        y = k * step
        part.box("timber", (-half + t, y, -depth / 2), (half - t, y + t, depth / 2),
                 grain=[1, 0, 0])
        if k < shelves:
            _books(part, g, -half + t, half - t, y + t, step - t, depth)
    return part


def _books(part, g, x0, x1, y, room, depth):
    """A few blocks of books on one shelf, their spines from the decor atlas."""
    x = x0 + g.uniform(0, 20)
    while x < x1 - 30:
        w = min(g.uniform(30, 70), x1 - x)
        h = room * g.uniform(0.6, 0.85)
        s0 = DECOR_BOOKS[0] + g.uniform(0, 0.5 - w / SPINE_UNITS)
        s1 = s0 + w / SPINE_UNITS
        spine = [(s0, DECOR_BOOKS[1]), (s1, DECOR_BOOKS[1]), (s1, DECOR_BOOKS[1] + 0.5),
                 (s0, DECOR_BOOKS[1] + 0.5)]
        lo, hi = np.array([x, y, -depth / 2 + 6]), np.array([x + w, y + h, depth / 2 - 8])
        part.polygon("decor", [(lo[0], lo[1], hi[2]), (hi[0], lo[1], hi[2]), (hi[0], hi[1], hi[2]),
                               (lo[0], hi[1], hi[2])], (0, 0, 1), st=spine)
        part.box("bed_linen", lo, hi, faces="xXY")
        x += w + g.uniform(2, 25)


def bed(width=320.0, length=420.0):
    part = Part("bed")
    hw, hl = width / 2, length / 2
    part.box("timber", (-hw, 10, -hl), (hw, 60, hl), grain=[0, 0, 1])
    _legs(part, "timber", hw, hl, 10, inset=15, size=16)
    part.soft_box("bed_linen", (-hw + 8, 60, -hl + 15), (hw - 8, 106, hl - 6), 8)
    part.soft_box("bed_linen", (-hw + 2, 98, -hl + 110), (hw - 2, 121, hl - 2), 8)
    for sx in (-1, 1):
        part.soft_box("bed_linen", (sx * 70 - 58, 104, -hl + 24), (sx * 70 + 58, 132, -hl + 96),
                      10)
    part.box("timber", (-hw, 0, -hl - 12), (hw, 230, -hl + 8), grain=[1, 0, 0])
    return part


def nightstand():
    part = Part("nightstand")
    part.box("timber", (-45, 0, -40), (45, 100, 40), grain=[1, 0, 0])
    part.box("metal", (-12, 70, 40), (12, 76, 44))
    return part


def _shade(part, base, r_bottom, r_top, height):
    part.cylinder("lampshade", base, r_bottom, height, segments=16, radius_top=r_top,
                  caps=(False, False))


def floor_lamp():
    part = Part("floor_lamp")
    part.cylinder("metal", (0, 0, 0), 32, 6, segments=16)
    part.cylinder("metal", (0, 6, 0), 4, 300, segments=6, caps=(False, True))
    _shade(part, (0, 280, 0), 55, 38, 70)
    return part


def table_lamp():
    part = Part("table_lamp")
    part.cylinder("metal", (0, 0, 0), 14, 5, segments=12)
    part.cylinder("metal", (0, 5, 0), 3, 60, segments=6, caps=(False, True))
    _shade(part, (0, 45, 0), 32, 22, 38)
    return part


def pendant_lamp(drop):
    """Hangs `drop` units below its origin, which sits at the ceiling."""
    part = Part("pendant_lamp")
    part.box("metal", (-1.5, -drop + 40, -1.5), (1.5, 0, 1.5))
    part.cylinder("metal", (0, -drop + 36, 0), 10, 8, segments=8)
    _shade(part, (0, -drop, 0), 62, 14, 40)
    return part


def rug(width, depth):
    part = Part("rug")
    corners = [(-width / 2, 3, depth / 2), (width / 2, 3, depth / 2), (width / 2, 3, -depth / 2),
               (-width / 2, 3, -depth / 2)]
    part.polygon("rug", corners, (0, 1, 0), st=[(0, 0), (1, 0), (1, 1), (0, 1)])
    part.box("rug", (-width / 2, 0, -depth / 2), (width / 2, 3, depth / 2), faces="xXzZ")
    return part


def painting(width, height, quadrant, mirrored=False):
    part = Part("painting")
    part.box("timber", (-width / 2, -height / 2, -4), (width / 2, height / 2, 0))
    u0, v0 = quadrant
    left, right = (u0 + 0.5, u0) if mirrored else (u0, u0 + 0.5)
    part.polygon("decor", [(-width / 2, -height / 2, 0.5), (width / 2, -height / 2, 0.5),
                           (width / 2, height / 2, 0.5), (-width / 2, height / 2, 0.5)],
                 (0, 0, 1), st=[(left, v0), (right, v0), (right, v0 + 0.5), (left, v0 + 0.5)])
    return part


def piano():
    """Upright piano with its bench, back against -z."""
    part = Part("piano")
    part.box("piano_lacquer", (-150, 0, -60), (150, 260, 0))
    part.box("piano_lacquer", (-150, 0, 0), (-138, 150, 60))
    part.box("piano_lacquer", (138, 0, 0), (150, 150, 60))
    part.box("piano_lacquer", (-138, 100, 0), (138, 138, 60))
    u0, v0 = DECOR_KEYBOARD
    part.polygon("decor", [(-138, 139, 60), (138, 139, 60), (138, 139, 0), (-138, 139, 0)],
                 (0, 1, 0), st=[(u0, v0), (u0 + 0.5, v0), (u0 + 0.5, v0 + 0.5), (u0, v0 + 0.5)])
    part.box("piano_lacquer", (-138, 150, -8), (138, 200, 6))
    part.box("piano_lacquer", (-80, 0, 110), (80, 90, 160))
    return part


def leaf(length, width, bend, lift):
    """One leaf blade along +x from the origin, rising by `lift` and drooping by `bend`;
    the blade texture runs along it."""
    part = Part("leaf")
    s = np.linspace(0, 1, 4)
    xs = length * s
    ys = lift * s - bend * s ** 2
    ws = width * np.array([0.15, 1.0, 0.8, 0.05])
    for k in range(3):
        a0, a1 = np.array([xs[k], ys[k], 0]), np.array([xs[k + 1], ys[k + 1], 0])
        quad = [a0 + (0, 0, -ws[k]), a1 + (0, 0, -ws[k + 1]), a1 + (0, 0, ws[k + 1]),
                a0 + (0, 0, ws[k])]
        normal = np.cross(quad[1] - quad[0], quad[3] - quad[0])
        part.polygon("leaves", quad, normal,
                     st=[(s[k], 0), (s[k + 1], 0), (s[k + 1], 1), (s[k], 1)])
    return part


def potted_plant(seed, size=1.0, leaves=18):
    part = Part("plant")
    g = np.random.default_rng(seed)
    part.cylinder("terracotta", (0, 0, 0), 28 * size, 60 * size, segments=12,
                  radius_top=36 * size, caps=(True, False))
    part.cylinder("bark", (0, 52 * size, 0), 34 * size, 1, segments=12, caps=(False, True))
    for k in range(leaves):
        heading = 2 * np.pi * (k / leaves + g.uniform(-0.03, 0.03))
        blade = leaf(g.uniform(90, 150) * size, g.uniform(9, 14) * size, g.uniform(30, 70) * size,
                     g.uniform(60, 140) * size)
        part.merge(blade.transformed(heading, (0, 55 * size + g.uniform(0, 40) * size, 0)))
    return part


def cushion(width, height, depth=18.0):
    part = Part("cushion")
    part.soft_box("curtain", (-width / 2, 0, -depth / 2), (width / 2, height, depth / 2), 6)
    return part


def book_stack(seed, count=3):
    part = Part("book_stack")
    g = np.random.default_rng(seed)
    y = 0.0
    for _ in range(count):
        w, d, h = g.uniform(50, 70), g.uniform(36, 48), g.uniform(6, 10)
        s0 = DECOR_BOOKS[0] + g.uniform(0, 0.45)
        v0 = DECOR_BOOKS[1] + g.uniform(0, 0.4)
        part.box("bed_linen", (-w / 2, y, -d / 2), (w / 2, y + h, d / 2), faces="xXzZ")
        cover = [(-w / 2, y + h, d / 2), (w / 2, y + h, d / 2), (w / 2, y + h, -d / 2),
                 (-w / 2, y + h, -d / 2)]
        part.polygon("decor", cover, (0, 1, 0),
                     st=[(s0, v0), (s0 + 0.04, v0), (s0 + 0.04, v0 + 0.08), (s0, v0 + 0.08)])
        y += h
    return part


def vase_with_leaves(seed, height=50.0):
    part = Part("vase")
    part.cylinder("terracotta", (0, 0, 0), 10, height, segments=10, radius_top=7,
                  caps=(True, False))
    g = np.random.default_rng(seed)
    for k in range(7):
        heading = 2 * np.pi * k / 7 + g.uniform(-0.2, 0.2)
        blade = leaf(g.uniform(40, 60), g.uniform(4, 6), g.uniform(10, 25), g.uniform(30, 55))
        part.merge(blade.transformed(heading, (0, height - 5, 0)))
    return part


def bench(length, seat=90.0, depth=70.0):
    part = Part("bench")
    part.box("timber", (-length / 2, seat - 10, -depth / 2), (length / 2, seat, depth / 2),
             grain=[1, 0, 0])
    for sx in (-1, 1):
        x = sx * (length / 2 - 20)
        part.box("timber", (x - 6, 0, -depth / 2 + 6), (x + 6, seat - 10, depth / 2 - 6),
                 grain=[0, 1, 0])
    return part
