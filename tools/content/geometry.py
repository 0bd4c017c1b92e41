"""Triangle soup building blocks for the house model.

Every primitive emits triangles with one position, normal and texture coordinate per
corner, wound counter-clockwise seen from the side the normal points to (the demo culls
back faces). Texture coordinates are first kept in model units along the face's own axes
("st"); the model divides them by each material's tile size when it is written, so that
neighbouring faces of one material line up.
"""
import math

import numpy as np

UP = np.array([0.0, 1.0, 0.0])
NORTH = np.array([0.0, 0.0, -1.0])


def unit(v):
    v = np.asarray(v, dtype=float)
    return v / np.linalg.norm(v)


def face_axes(normal, grain=None):
    """In-plane texture axes (u, v) of a face with u x v = normal, so textures are
    never mirrored. With a grain hint u follows it (wood fibres along a beam);
    otherwise v points up the face, or north on level faces."""
    n = unit(normal)
    if grain is not None:
        g = np.asarray(grain, dtype=float)
        g = g - g.dot(n) * n
        if np.linalg.norm(g) > 1e-6:
            u = unit(g)
            return u, np.cross(n, u)
    hint = UP if abs(n[1]) < 0.9 else NORTH
    v = unit(hint - hint.dot(n) * n)
    return np.cross(v, n), v


class Part:
    """Triangles of one named object, grouped by material."""

    def __init__(self, name):
        self.name = name
        self.triangles = {}

    def _append(self, material, pos, nrm, st):
        self.triangles.setdefault(material, []).append((pos, nrm, st))

    def polygon(self, material, points, normal, grain=None, st=None, normalised=True):
        """Convex planar polygon, fan-triangulated; winding follows `normal`.
        `st` gives explicit per-point texture coordinates, either normalised or, with
        normalised=False, in model units like the automatic ones."""
        pts = [np.asarray(p, dtype=float) for p in points]
        n = unit(normal)
        geometric = sum(np.cross(pts[i] - pts[0], pts[i + 1] - pts[0])
                        for i in range(1, len(pts) - 1))
        order = list(range(len(pts)))
        if geometric.dot(n) < 0:
            order.reverse()
        if st is None:
            u, v = face_axes(n, grain)
            coords = [(p.dot(u), p.dot(v), 0.0) for p in pts]
        else:
            coords = [(s, t, 1.0 if normalised else 0.0) for s, t in st]
        for i in range(1, len(order) - 1):
            corners = [order[0], order[i], order[i + 1]]
            pos = np.array([pts[c] for c in corners])
            if np.linalg.norm(np.cross(pos[1] - pos[0], pos[2] - pos[0])) < 1e-9:
                continue
            self._append(material, pos, np.tile(n, (3, 1)),
                         np.array([coords[c] for c in corners]))

    def quad(self, material, origin, du, dv):
        """Parallelogram origin + a du + b dv, front side along du x dv."""
        o, du, dv = (np.asarray(x, dtype=float) for x in (origin, du, dv))
        self.polygon(material, [o, o + du, o + du + dv, o + dv], np.cross(du, dv))

    def box(self, material, lo, hi, grain=None, faces="xXyYzZ"):
        """Axis-aligned box; `faces` names the sides to emit (x = -x side, X = +x)."""
        lo, hi = np.asarray(lo, dtype=float), np.asarray(hi, dtype=float)
        center, half = (lo + hi) / 2, (hi - lo) / 2
        self.oriented_box(material, center, np.eye(3), half, grain, faces)

    def oriented_box(self, material, center, axes, half, grain=None, faces="xXyYzZ"):
        """Box with the given centre, three orthonormal axes (rows) and half sizes.
        A material may be a dict from face letter to material."""
        center = np.asarray(center, dtype=float)
        axes = np.asarray(axes, dtype=float)
        for letter in faces:
            k = "xyz".index(letter.lower())
            sign = 1.0 if letter.isupper() else -1.0
            n = axes[k] * sign
            a, b = axes[(k + 1) % 3] * half[(k + 1) % 3], axes[(k + 2) % 3] * half[(k + 2) % 3]
            c = center + n * half[k]
            corners = [c - a - b, c + a - b, c + a + b, c - a + b]
            mat = material[letter] if isinstance(material, dict) else material
            self.polygon(mat, corners, n, grain)

    def soft_box(self, material, lo, hi, bevel):
        """Axis-aligned box with chamfered edges and corners, for upholstery."""
        lo, hi = np.asarray(lo, dtype=float), np.asarray(hi, dtype=float)
        center, half = (lo + hi) / 2, (hi - lo) / 2
        inner = half - bevel

        def corner(signs, pushed):
            """Point of the face `pushed` (an axis) at the corner given by `signs`."""
            p = center + np.asarray(signs) * inner
            p[pushed] = center[pushed] + signs[pushed] * half[pushed]
            return p

        for k in range(3):
            for s in (-1.0, 1.0):
                i, j = (k + 1) % 3, (k + 2) % 3
                pts = []
                for a, b in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
                    signs = np.zeros(3)
                    signs[k], signs[i], signs[j] = s, a, b
                    pts.append(corner(signs, k))
                self.polygon(material, pts, np.eye(3)[k] * s)
                for si in (-1.0, 1.0):
                    signs = np.zeros(3)
                    signs[k], signs[i] = s, si
                    edge = [corner(signs + np.eye(3)[j] * t, axis) for t, axis in
                            ((-1, k), (1, k), (1, i), (-1, i))]
                    self.polygon(material, edge, unit(signs))
        for signs in np.array(np.meshgrid([-1, 1], [-1, 1], [-1, 1])).T.reshape(-1, 3):
            self.polygon(material, [corner(signs.astype(float), axis) for axis in range(3)],
                         unit(signs))

    def beam(self, material, start, end, width, depth, up=UP):
        """Box along the centre line start..end, `width` across and `depth` along `up`."""
        start, end = np.asarray(start, dtype=float), np.asarray(end, dtype=float)
        along = unit(end - start)
        across = unit(np.cross(up, along))
        axes = np.array([along, np.cross(along, across), across])
        half = (np.linalg.norm(end - start) / 2, depth / 2, width / 2)
        self.oriented_box(material, (start + end) / 2, axes, half, grain=along)

    def cylinder(self, material, base, radius, height, segments=16, radius_top=None,
                 caps=(True, True), axis=UP):
        """Cylinder or frustum standing on `base` along `axis`; st wraps once around."""
        base, axis = np.asarray(base, dtype=float), unit(axis)
        radius_top = radius if radius_top is None else radius_top
        side_a = unit(np.cross(axis, [0.0, 0.0, 1.0]) if abs(axis[2]) < 0.9
                      else np.cross(axis, [1.0, 0.0, 0.0]))
        side_b = np.cross(axis, side_a)
        ring = [side_a * math.cos(2 * math.pi * i / segments)
                + side_b * math.sin(2 * math.pi * i / segments) for i in range(segments + 1)]
        top = base + axis * height
        slope = (radius - radius_top) / height
        circumference = 2 * math.pi * max(radius, radius_top)
        for i in range(segments):
            r0, r1 = ring[i], ring[i + 1]
            pts = [base + r0 * radius, base + r1 * radius, top + r1 * radius_top,
                   top + r0 * radius_top]
            n = unit(unit(r0 + r1) + axis * slope)
            s0, s1 = circumference * i / segments, circumference * (i + 1) / segments
            self.polygon(material, pts, n, st=[(s0, 0), (s1, 0), (s1, height), (s0, height)],
                         normalised=False)
        for cap, center, r, n in ((caps[0], base, radius, -axis),
                                  (caps[1], top, radius_top, axis)):
            if cap and r > 0:
                self.polygon(material, [center + p * r for p in ring[:-1]], n)

    def transformed(self, rotation_y=0.0, offset=(0, 0, 0)):
        """A copy turned about +y by `rotation_y` radians and moved by `offset`."""
        c, s = math.cos(rotation_y), math.sin(rotation_y)
        rot = np.array([[c, 0, s], [0, 1, 0], [-s, 0, c]])
        out = Part(self.name)
        for material, tris in self.triangles.items():
            for pos, nrm, st in tris:
                out._append(material, pos @ rot.T + np.asarray(offset, dtype=float),
                            nrm @ rot.T, st)
        return out

    def merge(self, other):
        for material, tris in other.triangles.items():
            self.triangles.setdefault(material, []).extend(tris)

    def triangle_count(self):
        return sum(len(t) for t in self.triangles.values())
