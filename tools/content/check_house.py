"""Self-check of the house against the flights: the camera keeps clear of every surface
and crosses none, the light never sits inside a solid, and every triangle faces the
way its normal says (the demo culls back faces).

Run: /usr/bin/python3 tools/content/check_house.py   (exit status 1 on a failure)
"""
import argparse
import sys

import numpy as np

import flight_paths
import model
from materials import BY_NAME

CLEARANCE = 30.0
CELL = 100.0


def triangles(select):
    tris = model.gather(model.parts())
    chosen = [pos for name, (pos, _, _) in tris.items() if select(BY_NAME[name])]
    return np.concatenate(chosen)


def _cells(lo, hi):
    a, b = np.floor(lo / CELL).astype(int), np.floor(hi / CELL).astype(int)
    return [(i, j, k) for i in range(a[0], b[0] + 1) for j in range(a[1], b[1] + 1)
            for k in range(a[2], b[2] + 1)]


class Grid:
    """Triangles bucketed by the cells their bounds (grown by `margin`) touch."""

    def __init__(self, tris, margin):
        self.tris = tris
        self.cells = {}
        for i, t in enumerate(tris):
            for c in _cells(t.min(axis=0) - margin, t.max(axis=0) + margin):
                self.cells.setdefault(c, []).append(i)

    def near(self, point):
        key = tuple(np.floor(np.asarray(point) / CELL).astype(int))
        return self.tris[self.cells.get(key, [])]


def point_triangle_distance(p, tris):
    """Distance from p to each triangle (n, 3, 3), by the closest-point regions."""
    a, b, c = tris[:, 0], tris[:, 1], tris[:, 2]
    ab, ac, ap = b - a, c - a, p - a
    d1, d2 = np.einsum("ij,ij->i", ab, ap), np.einsum("ij,ij->i", ac, ap)
    bp, cp = p - b, p - c
    d3, d4 = np.einsum("ij,ij->i", ab, bp), np.einsum("ij,ij->i", ac, bp)
    d5, d6 = np.einsum("ij,ij->i", ab, cp), np.einsum("ij,ij->i", ac, cp)
    va, vb, vc = d3 * d6 - d5 * d4, d5 * d2 - d1 * d6, d1 * d4 - d3 * d2
    denom = va + vb + vc
    denom[denom == 0] = 1e-30
    v, w = vb / denom, vc / denom
    closest = a + ab * v[:, None] + ac * w[:, None]
    edges = [(a, b), (b, c), (c, a)]
    outside = (va <= 0) | (vb <= 0) | (vc <= 0)
    best = np.linalg.norm(p - closest, axis=1)
    edge_best = np.full(len(tris), np.inf)
    for s, e in edges:
        se = e - s
        t = np.clip(np.einsum("ij,ij->i", p - s, se) / np.maximum(
            np.einsum("ij,ij->i", se, se), 1e-30), 0, 1)
        edge_best = np.minimum(edge_best, np.linalg.norm(p - (s + se * t[:, None]), axis=1))
    return np.where(outside, edge_best, best)


def camera_clearance(step=0.01):
    """Smallest distance from the eye to any triangle over the flight, and its time."""
    grid = Grid(triangles(lambda m: True), CLEARANCE)
    times, eyes = flight_paths.camera_samples(step)
    worst = (np.inf, None)
    for t, eye in zip(times, eyes):
        near = grid.near(eye)
        if len(near):
            d = point_triangle_distance(eye, near).min()
            worst = min(worst, (d, t))
    return worst


def solid_depth(point, grid_xz, tris, normals):
    """How many closed solids hold the point: exits minus entries along a vertical ray."""
    x, y, z = point
    idx = grid_xz.get((int(np.floor(x / CELL)), int(np.floor(z / CELL))), [])
    depth = 0
    for i in idx:
        a, b, c = tris[i]
        det = (b[0] - a[0]) * (c[2] - a[2]) - (c[0] - a[0]) * (b[2] - a[2])
        if abs(det) < 1e-12:
            continue
        u = ((x - a[0]) * (c[2] - a[2]) - (c[0] - a[0]) * (z - a[2])) / det
        v = ((b[0] - a[0]) * (z - a[2]) - (x - a[0]) * (b[2] - a[2])) / det
        if u < 0 or v < 0 or u + v > 1:
            continue
        if a[1] + u * (b[1] - a[1]) + v * (c[1] - a[1]) > y:
            depth += 1 if normals[i][1] > 0 else -1
    return depth


def light_inside_times(step=0.05):
    """Times at which the light sits inside a solid (vertical rays, three offsets)."""
    tris = triangles(lambda m: m.opacity >= 1 and not m.two_sided)
    normals = np.cross(tris[:, 1] - tris[:, 0], tris[:, 2] - tris[:, 0])
    grid = {}
    for i, t in enumerate(tris):
        lo, hi = t.min(axis=0), t.max(axis=0)
        for cx in range(int(np.floor(lo[0] / CELL)), int(np.floor(hi[0] / CELL)) + 1):
            for cz in range(int(np.floor(lo[2] / CELL)), int(np.floor(hi[2] / CELL)) + 1):
                grid.setdefault((cx, cz), []).append(i)
    times, lights = flight_paths.light_samples(step)
    bad = []
    for t, p in zip(times, lights):
        votes = [solid_depth(p + off, grid, tris, normals) > 0
                 for off in ((0.013, 0, 0.029), (-0.031, 0, 0.017), (0.023, 0, -0.011))]
        if sum(votes) >= 2:
            bad.append(t)
    return bad


def misfacing_triangles():
    """Triangles whose winding disagrees with their normals."""
    count = 0
    for pos, nrm, _ in model.gather(model.parts()).values():
        geometric = np.cross(pos[:, 1] - pos[:, 0], pos[:, 2] - pos[:, 0])
        count += int(np.sum(np.einsum("ij,ij->i", geometric, nrm[:, 0]) <= 0))
    return count


def main():
    clearance, when = camera_clearance()
    inside = light_inside_times()
    misfacing = misfacing_triangles()
    print("camera clearance " + (f"{clearance:.1f} at {when:.2f} s" if when is not None
                                 else f"above {CLEARANCE:.0f} everywhere"))
    print(f"light inside a solid at {len(inside)} samples" +
          (f" ({inside[0]:.2f} .. {inside[-1]:.2f} s)" if inside else ""))
    print(f"misfacing triangles {misfacing}")
    ok = clearance >= CLEARANCE and not inside and misfacing == 0
    return 0 if ok else 1


if __name__ == "__main__":
    argparse.ArgumentParser(description=__doc__.split("\n\n")[0]).parse_args()
    sys.exit(main())
