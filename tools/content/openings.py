"""Glazing that fills wall openings: timber frames, mullions, glass, open door leaves."""
import numpy as np

from geometry import Part

FRAME = 16.0  # visible width of a frame member
FRAME_DEPTH = 28.0


def _members(part, lo, hi, axis, mullions):
    """Frame members around the inside of the box lo..hi (thin along `axis`), plus
    vertical mullions at the given positions along the wide horizontal axis."""
    lo, hi = np.array(lo, dtype=float), np.array(hi, dtype=float)
    mid = (lo[axis] + hi[axis]) / 2
    lo[axis], hi[axis] = mid - FRAME_DEPTH / 2, mid + FRAME_DEPTH / 2
    wide = 2 - axis
    pieces = []
    for a, b in ((lo[1], lo[1] + FRAME), (hi[1] - FRAME, hi[1])):
        p_lo, p_hi = lo.copy(), hi.copy()
        p_lo[1], p_hi[1] = a, b
        pieces.append((p_lo, p_hi, [1, 0, 0] if wide == 0 else [0, 0, 1]))
    for a, b in ((lo[wide], lo[wide] + FRAME), (hi[wide] - FRAME, hi[wide])) + tuple(
            (m - FRAME / 2, m + FRAME / 2) for m in mullions):
        p_lo, p_hi = lo.copy(), hi.copy()
        p_lo[wide], p_hi[wide] = a, b
        p_lo[1], p_hi[1] = lo[1] + FRAME, hi[1] - FRAME
        pieces.append((p_lo, p_hi, [0, 1, 0]))
    for p_lo, p_hi, grain in pieces:
        part.box("timber", p_lo, p_hi, grain=grain)


def _glass(part, lo, hi, axis):
    lo, hi = np.asarray(lo, dtype=float), np.asarray(hi, dtype=float)
    mid = (lo + hi) / 2
    corners = []
    wide = 2 - axis
    for a, b in ((0, 0), (1, 0), (1, 1), (0, 1)):
        p = mid.copy()
        p[wide] = (lo[wide], hi[wide])[a]
        p[1] = (lo[1], hi[1])[b]
        corners.append(p)
    normal = np.zeros(3)
    normal[axis] = 1.0
    part.polygon("glass", corners, normal)


def glazed(part, lo, hi, axis, mullions=(), sill=None):
    """Fill the opening box lo..hi (wall thickness along `axis`, 0 = x or 2 = z) with a
    framed glass pane; `sill` = +1/-1 adds an outside sill on that side of the axis."""
    _members(part, lo, hi, axis, mullions)
    _glass(part, lo, hi, axis)
    if sill:
        s_lo, s_hi = np.array(lo, dtype=float), np.array(hi, dtype=float)
        face = hi[axis] if sill > 0 else lo[axis]
        s_lo[axis], s_hi[axis] = sorted((face - 10 * sill, face + 35 * sill))
        wide = 2 - axis
        s_lo[wide] -= 15
        s_hi[wide] += 15
        s_lo[1], s_hi[1] = lo[1] - 12, lo[1]
        part.box("timber", s_lo, s_hi, grain=[1, 0, 0] if wide == 0 else [0, 0, 1])


def door_leaf(width, height):
    """A glazed door leaf hinged along local x = 0, lying in the plane z = 0."""
    leaf = Part("door_leaf")
    lo, hi = (0.0, 0.0, -FRAME_DEPTH / 2), (width, height, FRAME_DEPTH / 2)
    _members(leaf, lo, hi, 2, [])
    leaf.box("timber", (FRAME, FRAME, -FRAME_DEPTH / 2), (width - FRAME, 90, FRAME_DEPTH / 2),
             grain=[1, 0, 0])
    _glass(leaf, (FRAME, 90, -1), (width - FRAME, height - FRAME, 1), 2)
    return leaf


def open_leaf(part, hinge, width, height, heading):
    """A door leaf swung open: its free edge points along heading (radians from +x
    towards -z, the sense of Part.transformed)."""
    part.merge(door_leaf(width, height).transformed(heading, hinge))
