"""The house's envelope: floor slab, walls with their openings, the roof with its
skylights, the glazed south gable and the chimney."""
import math

import numpy as np

import openings
import plan as P
from geometry import Part
from panels import PanelLook, flat_profile, frame, panel

WALL_LOOK = PanelLook(front="cladding", back="plaster", edge="timber", reveal="plaster",
                      bands=[(280.0, "stone")])
WALL_TOP = P.EAVE + 10.0  # long walls reach into the roof slab

# Openings as (kind, a0, a1, y0, y1, mullions); a runs along z (west, east) or x.
WEST = [("window", -2450, -2150, 150, 520, [-2300]), ("door", -1780, -1380, 0, 560, []),
        ("window", -1150, -900, 150, 520, []), ("window", -2450, -2150, 640, 900, [-2300]),
        ("window", -1150, -900, 640, 900, []), ("window", -340, -180, 300, 900, [])]
EAST = [("window", -2250, -2000, 350, 650, []), ("window", -1250, -950, 340, 520, [-1100]),
        ("glazed", -650, -250, 0, 520, [-450]), ("window", -900, -300, 630, 900, [-750, -450])]
NORTH = [("window", -950, -650, 150, 520, [-800]), ("window", -560, -360, 150, 520, []),
         ("window", -480, -320, 1100, 1300, [])]
SOUTH = [("glazed", -950, -500, 0, 520, [-800, -650]), ("window", -80, 170, 150, 500, []),
         ("window", -950, -500, 650, 900, [-725])]

# Skylights as (x0, x1, z0, z1) on the west and east roof slopes.
SKYLIGHTS_WEST = [(-770, -560, -2500, -2230), (-770, -560, -2190, -1920),
                  (-650, -470, -640, -380)]
SKYLIGHTS_EAST = [(-20, 160, -2190, -1920), (-330, -150, -640, -380)]

# Each wall: frame origin, u axis, thickness vector, length, map from (a) to u.
WALLS = {
    "west_wall": ((P.X_WEST - P.WALL, P.FLOOR_BASE, P.Z_NORTH - P.WALL), (0, 0, 1),
                  (P.WALL, 0, 0), P.Z_SOUTH - P.Z_NORTH + 2 * P.WALL,
                  lambda a: a - (P.Z_NORTH - P.WALL)),
    "east_wall": ((P.X_EAST + P.WALL, P.FLOOR_BASE, P.Z_SOUTH + P.WALL), (0, 0, -1),
                  (-P.WALL, 0, 0), P.Z_SOUTH - P.Z_NORTH + 2 * P.WALL,
                  lambda a: (P.Z_SOUTH + P.WALL) - a),
    "north_wall": ((P.X_EAST, P.FLOOR_BASE, P.Z_NORTH - P.WALL), (-1, 0, 0),
                   (0, 0, P.WALL), P.X_EAST - P.X_WEST, lambda a: P.X_EAST - a),
    "south_wall": ((P.X_WEST, P.FLOOR_BASE, P.Z_SOUTH + P.WALL), (1, 0, 0),
                   (0, 0, -P.WALL), P.X_EAST - P.X_WEST, lambda a: a - P.X_WEST),
}
WALL_OPENINGS = {"west_wall": WEST, "east_wall": EAST, "north_wall": NORTH,
                 "south_wall": SOUTH}


def _uv_openings(to_u, cuts):
    out = []
    for _, a0, a1, y0, y1, _ in cuts:
        u0, u1 = sorted((to_u(a0), to_u(a1)))
        out.append((u0, u1, y0 - P.FLOOR_BASE, y1 - P.FLOOR_BASE))
    return out


def _wall_profile(name, length):
    if name == "north_wall":
        top = P.roof_underside(P.X_EAST) + 10 - P.FLOOR_BASE
        ridge = P.RIDGE + 10 - P.FLOOR_BASE
        return [(0.0, top), (P.X_EAST - P.RIDGE_X, ridge), (length, top)]
    if name == "south_wall":
        return flat_profile(length, P.EAVE + 30 - P.FLOOR_BASE)
    return flat_profile(length, WALL_TOP - P.FLOOR_BASE)


def _opening_box(name, a0, a1, y0, y1):
    origin, _, depth, _, _ = WALLS[name]
    axis = 0 if name in ("west_wall", "east_wall") else 2
    lo, hi = np.zeros(3), np.zeros(3)
    lo[axis], hi[axis] = sorted((origin[axis], origin[axis] + depth[axis]))
    lo[2 - axis], hi[2 - axis] = a0, a1
    lo[1], hi[1] = y0, y1
    return lo, hi, axis


def _fill_openings(part, name):
    outward = -np.sign(sum(WALLS[name][2]))
    for kind, a0, a1, y0, y1, mullions in WALL_OPENINGS[name]:
        lo, hi, axis = _opening_box(name, a0, a1, y0, y1)
        if kind == "door":
            continue
        openings.glazed(part, lo, hi, axis, mullions,
                        sill=outward if kind == "window" and y0 > 0 else None)


def walls():
    parts = []
    for name, (origin, u_axis, depth, length, to_u) in WALLS.items():
        part = Part(name)
        f = frame(origin, u_axis, (0, 1, 0), depth)
        panel(part, f, length, _wall_profile(name, length),
              _uv_openings(to_u, WALL_OPENINGS[name]), WALL_LOOK)
        _fill_openings(part, name)
        parts.append(part)
    return parts


def west_door():
    """The French door the camera flies through, both leaves swung wide into the hall."""
    part = Part("west_door")
    _, a0, a1, _, y1, _ = WEST[1]
    width = (a1 - a0) / 2
    openings.open_leaf(part, (P.X_WEST, 0, a0), width, y1, math.radians(10))
    openings.open_leaf(part, (P.X_WEST, 0, a1), width, y1, math.radians(-10))
    return part


def floor_slab():
    part = Part("floor")
    part.box({"Y": "floor_oak", "y": "plaster", "x": "plaster", "X": "plaster",
              "z": "plaster", "Z": "plaster"},
             (P.X_WEST, P.FLOOR_BASE, P.Z_NORTH), (P.X_EAST, 0, P.Z_SOUTH))
    return part


ROOF_LOOK = PanelLook(front="roof_tiles", back="ceiling_boards", edge="timber",
                      reveal="timber")


def _slope_frame(west):
    """Frame of one roof slope: front = tiled top, extruded straight down."""
    stretch = math.sqrt(1 + P.SLOPE ** 2)
    eave_x = P.X_WEST - P.WALL - P.OVERHANG if west else P.X_EAST + P.WALL + P.OVERHANG
    z_far = P.Z_NORTH - P.WALL - P.OVERHANG if west else P.Z_SOUTH + P.WALL + P.OVERHANG
    up_slope = np.array([1.0 if west else -1.0, P.SLOPE, 0.0]) / stretch
    origin = (eave_x, P.roof_underside(eave_x) + P.ROOF_THICKNESS, z_far)
    f = frame(origin, (0, 0, 1 if west else -1), up_slope, (0, -P.ROOF_THICKNESS, 0))
    return f, stretch, eave_x, z_far


def _slope(west, skylights):
    part = Part("roof_west" if west else "roof_east")
    f, stretch, eave_x, z_far = _slope_frame(west)
    length = P.Z_SOUTH - P.Z_NORTH + 2 * (P.WALL + P.OVERHANG)
    height = abs(P.RIDGE_X - eave_x) * stretch
    holes = []
    for x0, x1, z0, z1 in skylights:
        v0, v1 = sorted(abs(x - eave_x) * stretch for x in (x0, x1))
        u0, u1 = sorted(abs(z - z_far) for z in (z0, z1))
        holes.append((u0, u1, v0, v1))
        glass = [f.point(u, v) + np.array([0, -14.0, 0])
                 for u, v in ((u0, v0), (u1, v0), (u1, v1), (u0, v1))]
        part.polygon("glass", glass, f.normal)
    panel(part, f, length, flat_profile(length, height), holes, ROOF_LOOK)
    return part


def roof():
    ridge = Part("ridge_cap")
    top = P.RIDGE + P.ROOF_THICKNESS
    ridge.box("metal", (P.RIDGE_X - 32, top - 45, P.Z_NORTH - P.WALL - P.OVERHANG - 5),
              (P.RIDGE_X + 32, top + 18, P.Z_SOUTH + P.WALL + P.OVERHANG + 5))
    return [_slope(True, SKYLIGHTS_WEST), _slope(False, SKYLIGHTS_EAST), ridge]


def south_gable():
    """Glass filling the south gable above the wall, held by timber mullions."""
    part = Part("south_gable")
    base = P.EAVE + 30
    z = P.Z_SOUTH + P.WALL / 2
    half_span = (P.RIDGE - base) / P.SLOPE
    part.polygon("glass", [(P.RIDGE_X - half_span, base, z), (P.RIDGE_X + half_span, base, z),
                           (P.RIDGE_X, P.RIDGE, z)], (0, 0, 1))
    for x in (P.RIDGE_X - 325, P.RIDGE_X, P.RIDGE_X + 325):
        part.box("timber", (x - 9, base, z - 14), (x + 9, P.roof_underside(x) + 10, z + 14),
                 grain=[0, 1, 0])
    return part


def chimney():
    """Stone chimney breast on the west wall with an open hearth, and its stack."""
    part = Part("chimney")
    x0, x_front, z0, z1 = P.X_WEST, P.X_WEST + 130, -720.0, -380.0
    top = WALL_TOP
    fire_z0, fire_z1, fire_top = -640.0, -460.0, 260.0
    part.box("stone", (x0, 0, z0), (x0 + 60, top, z1))
    part.box("stone", (x0 + 60, 0, z0), (x_front, top, fire_z0))
    part.box("stone", (x0 + 60, 0, fire_z1), (x_front, top, z1))
    part.box("stone", (x0 + 60, fire_top, fire_z0), (x_front, top, fire_z1))
    part.box("stone", (x0 + 60, 0, z0 - 20), (x_front + 50, 30, z1 + 20))
    part.box("timber", (x_front, fire_top + 60, z0 - 10), (x_front + 30, fire_top + 80, z1 + 10),
             grain=[0, 0, 1])
    stack_top = P.roof_underside(x0) + 420
    part.box("stone", (x0 - 10, P.EAVE - 50, -610), (x0 + 90, stack_top, -490))
    for k, z in enumerate((-600, -540)):
        part.cylinder("bark", (x0 + 75, 45 + 18 * k, z + 30), 16, 150 - 20 * k,
                      segments=8, axis=(0, 0.12, 1))
    return part


def envelope():
    return walls() + [west_door(), floor_slab(), south_gable(), chimney()] + roof()
