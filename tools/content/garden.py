"""Around the house: the lawn out to the sky box, wooden decks, trees and shrubs."""
import numpy as np

import furniture as F
import plan as P
from geometry import Part

# The lawn covers world +-3 around the model's origin with a margin (model units).
GROUND_X = (-3800.0, 2400.0)
GROUND_Z = (-4600.0, 1600.0)
OUTER = (P.X_WEST - P.WALL, P.X_EAST + P.WALL, P.Z_NORTH - P.WALL, P.Z_SOUTH + P.WALL)

# Decks as (x0, x1, z0, z1); their tops are flush with the floor at y = 0.
DECKS = [(-1490.0, OUTER[0], -2000.0, -1160.0), (OUTER[0], OUTER[1], OUTER[3], 250.0),
         (OUTER[1], 600.0, -900.0, OUTER[3])]
HOLES = [OUTER] + DECKS

# Trees as (x, z, height, seed), clear of the camera's approach.
TREES = [(-3000, -2900, 1300, 1), (-3250, -1500, 1150, 2), (-1750, -3950, 1250, 3),
         (700, -3200, 1400, 4), (1500, -1300, 1200, 5), (1300, 800, 1350, 6),
         (-2300, 600, 1250, 7), (-600, 1150, 1100, 8), (-3300, 300, 1000, 9),
         (-2300, -1100, 1200, 10), (-1900, -650, 1050, 15)]
SHRUBS = [(-1350, -2750, 11), (450, -2750, 12), (-1500, 450, 13), (800, 350, 14)]


def _in_hole(x, z):
    return any(x0 < x < x1 and z0 < z < z1 for x0, x1, z0, z1 in HOLES)


def lawn():
    part = Part("lawn")
    xs = sorted({*GROUND_X, *(h[0] for h in HOLES), *(h[1] for h in HOLES)})
    zs = sorted({*GROUND_Z, *(h[2] for h in HOLES), *(h[3] for h in HOLES)})
    for xa, xb in zip(xs, xs[1:]):
        for za, zb in zip(zs, zs[1:]):
            if not _in_hole((xa + xb) / 2, (za + zb) / 2):
                part.quad("grass", (xa, 0, zb), (xb - xa, 0, 0), (0, 0, za - zb))
    return part


def decks():
    part = Part("decks")
    for x0, x1, z0, z1 in DECKS:
        part.box({"Y": "decking", "y": "timber", "x": "timber", "X": "timber", "z": "timber",
                  "Z": "timber"}, (x0, P.FLOOR_BASE, z0), (x1, 0, z1))
    part.merge(F.potted_plant(19, 1.3, 20).transformed(0, (-1160, 0, -1900)))
    part.merge(F.potted_plant(23, 1.3, 20).transformed(0, (-1160, 0, -1260)))
    part.merge(F.table(160, 160, 150).transformed(0, (450, 0, -520)))
    for heading, dx, dz in ((np.pi / 2, -120, 0), (-np.pi / 2, 120, 0)):
        part.merge(F.chair().transformed(heading, (450 + dx, 0, -520 + dz)))
    return part


def _icosahedron():
    t = (1 + 5 ** 0.5) / 2
    verts = np.array([(-1, t, 0), (1, t, 0), (-1, -t, 0), (1, -t, 0), (0, -1, t), (0, 1, t),
                      (0, -1, -t), (0, 1, -t), (t, 0, -1), (t, 0, 1), (-t, 0, -1), (-t, 0, 1)],
                     dtype=float)
    faces = [(0, 11, 5), (0, 5, 1), (0, 1, 7), (0, 7, 10), (0, 10, 11), (1, 5, 9), (5, 11, 4),
             (11, 10, 2), (10, 7, 6), (7, 1, 8), (3, 9, 4), (3, 4, 2), (3, 2, 6), (3, 6, 8),
             (3, 8, 9), (4, 9, 5), (2, 4, 11), (6, 2, 10), (8, 6, 7), (9, 8, 1)]
    return verts / np.linalg.norm(verts[0]), faces


def _subdivided_sphere(levels=2):
    verts, faces = _icosahedron()
    for _ in range(levels):
        verts, faces = _subdivide(list(verts), faces)
    return np.array(verts), faces


def _subdivide(verts, faces):
    out, cache = [], {}

    def middle(a, b):
        key = (min(a, b), max(a, b))
        if key not in cache:
            m = verts[a] + verts[b]
            verts.append(m / np.linalg.norm(m))
            cache[key] = len(verts) - 1
        return cache[key]

    for a, b, c in faces:
        ab, bc, ca = middle(a, b), middle(b, c), middle(c, a)
        out += [(a, ab, ca), (b, bc, ab), (c, ca, bc), (ab, bc, ca)]
    return verts, out


SPHERES = {1: _subdivided_sphere(1), 2: _subdivided_sphere(2)}


def _blob(part, center, radii, g, detail=1):
    """A lumpy closed canopy blob; flat-shaded so its facets read as leaf clusters."""
    verts, faces = SPHERES[detail]
    bumps = 1 + g.uniform(-0.18, 0.18, len(verts))
    points = np.asarray(center) + verts * bumps[:, None] * np.asarray(radii)
    for a, b, c in faces:
        tri = points[[a, b, c]]
        normal = np.cross(tri[1] - tri[0], tri[2] - tri[0])
        part.polygon("foliage", tri, normal)


def tree(x, z, height, seed):
    part = Part("tree")
    g = np.random.default_rng(seed)
    trunk = height * 0.45
    part.cylinder("bark", (x, 0, z), 28, trunk, segments=8, radius_top=18, caps=(False, True))
    crown = height * 0.28
    _blob(part, (x, trunk + crown * 0.7, z), (crown, crown * 1.1, crown), g, detail=2)
    for _ in range(3):
        angle = g.uniform(0, 2 * np.pi)
        offset = np.array([np.cos(angle), 0, np.sin(angle)]) * crown * 0.6
        r = crown * g.uniform(0.55, 0.75)
        _blob(part, np.array([x, trunk + crown * g.uniform(0.7, 1.3), z]) + offset,
              (r, r * 0.9, r), g, detail=2)
    return part


def shrub(x, z, seed):
    part = Part("shrub")
    g = np.random.default_rng(seed)
    r = g.uniform(110, 160)
    _blob(part, (x, r * 0.6, z), (r, r * 0.75, r), g)
    return part


def stepping_stones():
    """A path of flat stones from the north-west up to the deck by the open door."""
    part = Part("path")
    g = np.random.default_rng(31)
    start, end = np.array([-2450.0, -3150.0]), np.array([-1540.0, -1700.0])
    count = 16
    for k in range(count):
        x, z = start + (end - start) * k / (count - 1) + g.uniform(-25, 25, 2)
        part.cylinder("stone", (x, 0, z), g.uniform(34, 46), 7, segments=7)
    return part


def picnic():
    part = Part("picnic")
    x, z = -2480.0, -2420.0
    part.merge(F.table(260, 110, 150).transformed(np.pi / 2, (x, 0, z)))
    for dx in (-110, 110):
        part.merge(F.bench(260, 90, 50).transformed(np.pi / 2, (x + dx, 0, z)))
    return part


def woodpile():
    """Logs stacked under the eaves against the north wall."""
    part = Part("woodpile")
    z = OUTER[2] - 30
    for row in range(3):
        for k in range(7 - row):
            x = -760 + 48 * k + 24 * row
            part.cylinder("bark", (x, 24 + 42 * row, z - 40), 22, 80, segments=8,
                          axis=(0, 0, 1))
    return part


def fern(x, z, seed, size=1.0, blades=12):
    part = Part("fern")
    g = np.random.default_rng(seed)
    for k in range(blades):
        heading = 2 * np.pi * (k / blades + g.uniform(-0.04, 0.04))
        blade = F.leaf(g.uniform(80, 130) * size, g.uniform(10, 16) * size,
                       g.uniform(40, 80) * size, g.uniform(40, 110) * size)
        part.merge(blade.transformed(heading, (x, g.uniform(0, 10), z)))
    return part


FERNS = [(-1250, -1000, 41), (-1230, -700, 42), (-1250, -380, 43), (-1200, -2200, 44),
         (-600, 400, 45), (-100, 380, 46), (700, -1000, 47), (700, -300, 48)]


def garden():
    trees = Part("trees")
    for x, z, height, seed in TREES:
        trees.merge(tree(x, z, height, seed))
    for x, z, seed in SHRUBS:
        trees.merge(shrub(x, z, seed))
    beds = Part("ferns")
    for x, z, seed in FERNS:
        beds.merge(fern(x, z, seed))
    return [lawn(), decks(), trees, beds, stepping_stones(), picnic(), woodpile()]
