"""Thick planar panels with rectangular openings: walls, gables, roof slabs, floors.

A panel lies in a frame: `origin` is the point (u, v) = (0, 0) of its front face, `u_axis`
and `v_axis` span it (front normal u x v) and `depth` is the vector from the front face
to the back face. Its outline runs along the bottom edge v = 0 from u = 0 to u = length
and is closed above by a piecewise-linear `profile` [(u, v), ...] from u = 0 to length.
Openings are (u0, u1, v0, v1) rectangles strictly inside the outline. The faces are cut
on the grid of all break lines, so neighbouring pieces share whole edges.
"""
from dataclasses import dataclass, field

import numpy as np

from geometry import unit


@dataclass
class Frame:
    origin: np.ndarray
    u_axis: np.ndarray
    v_axis: np.ndarray
    depth: np.ndarray

    def point(self, u, v, back=False):
        p = self.origin + u * self.u_axis + v * self.v_axis
        return p + self.depth if back else p

    @property
    def normal(self):
        return unit(np.cross(self.u_axis, self.v_axis))


@dataclass
class PanelLook:
    front: object
    back: str
    edge: str
    reveal: str
    bands: list = field(default_factory=list)  # [(v_top, material)] for the front below v_top

    def front_material(self, v):
        for top, material in self.bands:
            if v < top:
                return material
        return self.front


def frame(origin, u_axis, v_axis, depth):
    return Frame(*(np.asarray(x, dtype=float) for x in (origin, u_axis, v_axis, depth)))


def _top_at(profile, u):
    us, vs = zip(*profile)
    return float(np.interp(u, us, vs))


def _clip_below(cell, line):
    """Part of a convex polygon on or below the line v = a + b u (Sutherland-Hodgman)."""
    a, b = line
    inside = [a + b * u - v >= -1e-9 for u, v in cell]
    out = []
    for i, (p, keep) in enumerate(zip(cell, inside)):
        q, keep_q = cell[(i + 1) % len(cell)], inside[(i + 1) % len(cell)]
        if keep:
            out.append(p)
        if keep != keep_q:
            fp, fq = a + b * p[0] - p[1], a + b * q[0] - q[1]
            k = fp / (fp - fq)
            out.append((p[0] + k * (q[0] - p[0]), p[1] + k * (q[1] - p[1])))
    return out


def _in_opening(openings, u, v):
    return any(u0 < u < u1 and v0 < v < v1 for u0, u1, v0, v1 in openings)


def _cells(length, profile, openings, bands):
    """Face pieces (polygons in u, v) of the outline minus the openings."""
    us = sorted({0.0, float(length)} | {float(u) for u, _ in profile}
                | {float(x) for o in openings for x in o[:2]})
    vs = sorted({0.0} | {float(x) for o in openings for x in o[2:]}
                | {float(top) for top, _ in bands})
    rows = list(zip(vs, vs[1:])) + [(vs[-1], vs[-1] + 1e6)]
    for ua, ub in zip(us, us[1:]):
        ta, tb = _top_at(profile, ua), _top_at(profile, ub)
        line = (ta - (tb - ta) / (ub - ua) * ua, (tb - ta) / (ub - ua))
        for va, vb in rows:
            cell = _clip_below([(ua, va), (ub, va), (ub, vb), (ua, vb)], line)
            if len(cell) < 3:
                continue
            cu, cv = np.mean(cell, axis=0)
            if not _in_opening(openings, cu, cv):
                yield cell, cv


def _side(part, f, material, a, b, outward):
    """Face joining front and back along the outline edge a -> b (u, v points)."""
    pa, pb = f.point(*a), f.point(*b)
    n = np.cross(pb - pa, f.depth)
    if n.dot(outward) < 0:
        n = -n
    part.polygon(material, [pa, pb, pb + f.depth, pa + f.depth], n)


def _outline_sides(part, f, length, profile, material):
    outline = [(0.0, 0.0), (float(length), 0.0)] + [tuple(p) for p in reversed(profile)]
    for a, b in zip(outline, outline[1:] + outline[:1]):
        if np.hypot(b[0] - a[0], b[1] - a[1]) < 1e-9:
            continue
        outward = (b[1] - a[1]) * f.u_axis - (b[0] - a[0]) * f.v_axis
        _side(part, f, material, a, b, outward)


def _opening_sides(part, f, opening, material):
    u0, u1, v0, v1 = opening
    corners = [(u0, v0), (u0, v1), (u1, v1), (u1, v0)]
    center = f.point((u0 + u1) / 2, (v0 + v1) / 2)
    for a, b in zip(corners, corners[1:] + corners[:1]):
        inward = center - f.point((a[0] + b[0]) / 2, (a[1] + b[1]) / 2)
        _side(part, f, material, a, b, inward)


def panel(part, f, length, profile, openings, look):
    """Emit a closed panel: front and back pieces, outline sides, opening reveals."""
    n = f.normal
    for cell, cv in _cells(length, profile, openings, look.bands):
        part.polygon(look.front_material(cv), [f.point(u, v) for u, v in cell], n)
        part.polygon(look.back, [f.point(u, v, back=True) for u, v in cell], -n)
    _outline_sides(part, f, length, profile, look.edge)
    for opening in openings:
        _opening_sides(part, f, opening, look.reveal)


def flat_profile(length, height):
    return [(0.0, float(height)), (float(length), float(height))]
