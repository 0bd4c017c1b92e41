"""Exposed timber structure: rafters, ridge beam, collar ties, the gallery and the stair."""
import numpy as np

import plan as P
from geometry import Part, unit

TIE_Z = [-2520.0, -660.0, -350.0]
TIE_HEIGHT = 1380.0


def _rafter(part, z, west):
    sign = 1.0 if west else -1.0
    wall_x = P.X_WEST if west else P.X_EAST
    ridge_x = P.RIDGE_X - sign * 30
    inward = unit((sign * P.SLOPE, -1, 0))
    sink = inward * (P.RAFTER_DEPTH / 2 - 6)
    start = np.array([wall_x, P.roof_underside(wall_x), z]) + sink
    end = np.array([ridge_x, P.roof_underside(ridge_x), z]) + sink
    part.beam("timber", start, end, P.RAFTER_WIDTH, P.RAFTER_DEPTH, up=-inward)


def roof_timbers():
    part = Part("roof_timbers")
    for z in P.RAFTER_Z:
        _rafter(part, z, True)
        _rafter(part, z, False)
    part.box("timber", (P.RIDGE_X - 30, P.RIDGE - 110, P.Z_NORTH),
             (P.RIDGE_X + 30, P.RIDGE + 6, P.Z_SOUTH), grain=[0, 0, 1])
    reach = (P.RIDGE - TIE_HEIGHT) / P.SLOPE
    for z in TIE_Z:
        part.box("timber", (P.RIDGE_X - reach, TIE_HEIGHT - 50, z - 22),
                 (P.RIDGE_X + reach, TIE_HEIGHT, z + 22), grain=[1, 0, 0])
    return part


GALLERY_POSTS_Z = [-1230.0, -700.0, -170.0]


def _railing(part, start, end, posts):
    """Glass balustrade with timber posts and handrail between two floor points."""
    start, end = np.asarray(start, dtype=float), np.asarray(end, dtype=float)
    top = 190.0
    for k in range(posts + 1):
        p = start + (end - start) * k / posts
        part.box("timber", p + (-14, 0, -14), p + (14, top, 14), grain=[0, 1, 0])
    along = end - start
    lo, hi = np.minimum(start, end), np.maximum(start, end)
    part.box("timber", lo + (-18, top, -18), hi + (18, top + 22, 18), grain=unit(along))
    part.quad("glass", start + (0, 25, 0), along, (0, top - 35, 0))


def gallery():
    part = Part("gallery")
    x0, x1 = P.GALLERY_X
    z0, z1 = P.GALLERY_Z
    y1 = P.GALLERY_FLOOR
    y0 = y1 - P.GALLERY_SLAB
    part.box({"Y": "floor_oak", "y": "ceiling_boards", "x": "timber", "X": "timber",
              "z": "timber", "Z": "timber"}, (x0, y0, z0), (x1, y1, z1))
    part.box("timber", (x0 - 15, y0 - 70, z0), (x0 + 25, y0, z1), grain=[0, 0, 1])
    for z in GALLERY_POSTS_Z:
        part.box("timber", (x0 - 15, 0, z - 20), (x0 + 25, y0 - 70, z + 20), grain=[0, 1, 0])
    _railing(part, (x0 + 15, y1, z1 - 15), (x0 + 15, y1, z0 + 15), 5)
    _railing(part, (x0 + 15, y1, z0 + 15), (P.STAIR_X[0] - 5, y1, z0 + 15), 1)
    return part


def stair():
    part = Part("stair")
    x0, x1 = P.STAIR_X
    z0, z1 = P.STAIR_Z
    rise = P.GALLERY_FLOOR / P.STAIR_RISERS
    run = (z1 - z0) / P.STAIR_RISERS
    for k in range(1, P.STAIR_RISERS + 1):
        part.box("timber", (x0 + 5, k * rise - 30, z0 + (k - 1) * run - 6),
                 (x1, k * rise, z0 + k * run), grain=[1, 0, 0])
    pitch = unit((0, rise, run))
    part.beam("timber", (x0 - 2, 0, z0 - 40), (x0 - 2, P.GALLERY_FLOOR - 20, z1), 16, 120,
              up=(0, run, -rise))
    rail_lift = np.array([0, 190, 0])
    foot = np.array([x0 - 2, rise, z0 + run / 2])
    head = np.array([x0 - 2, P.GALLERY_FLOOR, z1 - run / 2])
    for k in range(0, P.STAIR_RISERS, 3):
        p = foot + (head - foot) * k / (P.STAIR_RISERS - 1)
        part.box("metal", p + (-5, 0, -5), p + rail_lift + (5, 0, 5))
    part.beam("timber", foot + rail_lift, head + rail_lift + pitch * 20, 30, 20)
    return part


def frame():
    return [roof_timbers(), gallery(), stair()]
