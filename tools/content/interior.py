"""Furnishing of the house, room by room. Positions are in model units; the free
corridors the camera walks through (see check_house.py) decide what stands where."""
import math

import numpy as np

import furniture as F
import plan as P
from geometry import Part
from textures_painted import DECOR_LANDSCAPE, DECOR_SEA


def _put(room, piece, heading_deg, x, z, y=0.0):
    """Add `piece` to `room`, turned so its front (+z) faces `heading_deg` (0 = +z,
    90 = +x, 180 = -z, -90 = -x) and standing at (x, y, z)."""
    room.merge(piece.transformed(math.radians(heading_deg), (x, y, z)))


def living():
    room = Part("living")
    _put(room, F.rug(420, 560), 0, -700, -560)
    _put(room, F.sofa(), -90, -550, -560)
    _put(room, F.table(220, 110, 80), 90, -760, -560)
    _put(room, F.sofa(length=200, depth=170), -135, -800, -340)
    for dz, turn in ((-130, -6), (130, 5)):
        _put(room, F.cushion(66, 54), -90 + turn, -546, -560 + dz, 88)
    _put(room, F.book_stack(31), 20, -760, -630, 80)
    _put(room, F.vase_with_leaves(37), 0, -760, -480, 80)
    _put(room, F.floor_lamp(), 0, -480, -290)
    _put(room, F.bookshelf(seed=3), 180, -300, P.Z_SOUTH - 31)
    _put(room, F.potted_plant(5, 1.4, 22), 0, -1000, -230)
    _put(room, F.painting(220, 160, DECOR_LANDSCAPE), 90, P.X_WEST + 131, -550, 560)
    for k in range(3):
        room.cylinder("bark", (P.X_WEST + 20, 12 + 22 * k, -860 + 24 * (k % 2)), 12, 120,
                      segments=7, axis=(0, 0, 1))
    _curtains(room)
    return room


def _curtains(room):
    z = P.Z_SOUTH - 28
    for x0, x1 in ((-1040, -930), (-520, -410)):
        room.merge(_curtain(x0, x1, z, 545))
    room.cylinder("metal", (-1045, 550, z), 4, 640, segments=6, axis=(1, 0, 0))


def _curtain(x0, x1, z, top, folds=7, depth=14.0):
    part = Part("curtain")
    xs = np.linspace(x0, x1, folds * 2 + 1)
    for k in range(len(xs) - 1):
        za, zb = z + depth * (k % 2), z + depth * ((k + 1) % 2)
        normal = (za - zb, 0, xs[k + 1] - xs[k])
        part.polygon("curtain", [(xs[k], 8, za), (xs[k + 1], 8, zb), (xs[k + 1], top, zb),
                                 (xs[k], top, za)], normal)
    return part


def dining():
    room = Part("dining")
    cx, cz = -800.0, -2230.0
    _put(room, F.table(360, 180, 150), 90, cx, cz)
    for dz in (-120, 0, 120):
        _put(room, F.chair(), 90, cx - 130, cz + dz)
        _put(room, F.chair(), -90, cx + 130, cz + dz)
    _put(room, F.chair(), 0, cx, cz - 225)
    _put(room, F.chair(), 180, cx, cz + 225)
    ceiling = P.roof_underside(cx) - 40
    for dz in (-90, 90):
        _put(room, F.pendant_lamp(ceiling - 440), 0, cx, cz + dz, ceiling)
    room.cylinder("terracotta", (cx, 150, cz), 40, 14, segments=12, radius_top=55)
    for dz in (-110, 110):
        room.cylinder("metal", (cx, 150, cz + dz), 8, 6, segments=8)
        room.cylinder("lampshade", (cx, 156, cz + dz), 5, 40, segments=8)
    _put(room, F.potted_plant(7, 1.2, 20), 0, -990, -2490)
    room.box("timber", (P.X_WEST, 0, -2100), (P.X_WEST + 60, 180, -1850), grain=[0, 0, 1])
    _put(room, F.table_lamp(), 0, P.X_WEST + 30, -1900, 180)
    return room


def kitchen():
    room = Part("kitchen")
    x0, x1, z0, z1 = 170.0, P.X_EAST, -1450.0, -750.0
    room.box("timber", (x0, 0, z0), (x1, 170, z1), grain=[0, 1, 0])
    for z in np.arange(z0 + 100, z1, 100):
        room.box("metal", (x0 - 3, 140, z - 20), (x0, 146, z + 20))
        room.box("plaster", (x0 - 1, 10, z - 1), (x0, 165, z + 1))
    room.box("countertop", (x0 - 6, 170, z0), (x1, 182, z1))
    room.box("metal", (x0 + 10, 182, -1160), (x1 - 20, 184, -1040))
    room.box("tiles", (x1 - 6, 182, z0), (x1, 340, z1))
    room.box("metal", (160, 0, -745), (x1, 380, -655))
    room.box("timber", (-60, 0, -1350), (60, 170, -900), grain=[0, 1, 0])
    room.box("countertop", (-85, 170, -1365), (70, 182, -885))
    room.cylinder("terracotta", (0, 182, -1200), 30, 16, segments=12, radius_top=40)
    for k, z in enumerate((-1420, -1385, -1350)):
        room.cylinder("terracotta", (215, 182, z), 14, 40 - 8 * k, segments=10)
    room.cylinder("metal", (210, 182, -850), 22, 30, segments=12, radius_top=14)
    room.box("timber", (185, 182, -1000), (235, 186, -920), grain=[0, 0, 1])
    for z in (-1250, -1125, -1000):
        _stool(room, -125, z)
    return room


def under_stair():
    """A low sideboard against the east wall beneath the stair, with a lamp and a picture."""
    room = Part("under_stair")
    room.box("timber", (175, 0, -1900), (P.X_EAST, 150, -1580), grain=[0, 0, 1])
    for z in (-1820, -1660):
        room.box("metal", (171, 120, z - 25), (175, 126, z + 25))
    _put(room, F.table_lamp(), 0, 215, -1860, 150)
    _put(room, F.vase_with_leaves(43, 40), 0, 215, -1640, 150)
    _put(room, F.painting(200, 140, DECOR_SEA, mirrored=True), -90, P.X_EAST - 1, -1740, 300)
    return room


def _stool(room, x, z):
    room.cylinder("timber", (x, 120, z), 22, 8, segments=12)
    room.cylinder("metal", (x, 0, z), 18, 4, segments=10)
    room.cylinder("metal", (x, 4, z), 3, 116, segments=6, caps=(False, False))


def piano_corner():
    room = Part("piano_corner")
    _put(room, F.piano(), 0, -170, P.Z_NORTH + 60)
    _put(room, F.painting(220, 160, DECOR_SEA), 0, -170, P.Z_NORTH + 1, 520)
    _put(room, F.potted_plant(11, 1.1, 18), 0, 15, -2495)
    return room


def east_corner():
    """Small table by the east garden door, under the gallery."""
    room = Part("east_corner")
    room.cylinder("timber", (30, 140, -330), 70, 8, segments=20)
    room.cylinder("timber", (30, 0, -330), 8, 140, segments=8, caps=(False, False))
    room.cylinder("metal", (30, 0, -330), 40, 5, segments=12)
    _put(room, F.chair(), 90, -70, -330)
    _put(room, F.chair(), 0, 30, -440)
    room.cylinder("terracotta", (30, 148, -330), 12, 40, segments=10, radius_top=7)
    return room


def gallery_bedroom():
    room = Part("gallery_bedroom")
    floor = P.GALLERY_FLOOR
    _put(room, F.rug(300, 260), 90, 40, -700, floor)
    _put(room, F.bed(width=280, length=380), 180, 40, P.Z_SOUTH - 12 - 190, floor)
    _put(room, F.nightstand(), 180, 210, P.Z_SOUTH - 45, floor)
    _put(room, F.table_lamp(), 0, 210, P.Z_SOUTH - 45, floor + 100)
    _put(room, F.table(250, 110, 150), -90, P.X_EAST - 55, -1260, floor)
    _put(room, F.chair(), 90, 120, -1260, floor)
    _put(room, F.table_lamp(), 0, P.X_EAST - 50, -1340, floor + 150)
    _put(room, F.potted_plant(13, 1.0, 16), 0, 200, -1010, floor)
    _put(room, F.book_stack(41, 4), 10, P.X_EAST - 60, -1190, floor + 150)
    room.soft_box("fabric", (-103, floor + 116, -430), (183, floor + 128, -330), 5)
    return room


def wall_decor():
    """Things hung on the tall walls: a tapestry over the door, old skis, a painting
    by the stair."""
    room = Part("wall_decor")
    x = P.X_WEST + 1
    room.polygon("rug", [(x, 620, -1400), (x, 620, -1760), (x, 920, -1760), (x, 920, -1400)],
                 (1, 0, 0), st=[(0, 0), (1, 0), (1, 1), (0, 1)])
    room.cylinder("timber", (x + 8, 928, -1790), 5, 420, segments=6, axis=(0, 0, 1))
    for dz, lean in ((-1, 1), (1, -1)):
        room.beam("timber", (x + 12, 560, -1950 + 110 * dz), (x + 12, 1000, -1950 - 110 * dz),
                  22, 5, up=(1, 0, 0))
        room.beam("metal", (x + 20, 600, -1950 + 60 * lean), (x + 20, 940, -1950 - 40 * lean),
                  3, 3, up=(1, 0, 0))
    _put(room, F.painting(180, 130, DECOR_LANDSCAPE), 0, 140, P.Z_NORTH + 1, 470)
    return room


def hall():
    room = Part("hall")
    _put(room, F.potted_plant(17, 1.2, 20), 0, -985, -1030)
    _put(room, F.bench(180, 80, 60), 90, P.X_WEST + 32, -1280)
    for z in (-1340, -1280, -1220):
        room.box("metal", (P.X_WEST, 400, z - 4), (P.X_WEST + 24, 408, z + 4))
    return room


def rooms():
    return [living(), dining(), kitchen(), under_stair(), piano_corner(), east_corner(),
            gallery_bedroom(), hall(), wall_decor()]
