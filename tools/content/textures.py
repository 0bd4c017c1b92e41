"""Procedural textures of the house. Each generator returns (rgb, height): rgb in [0, 1]
of shape (size, size, 3), and a height field from which the "normal_" map is derived
(None for textures without one). Every generator has its own fixed seed."""
import numpy as np

import texture_noise as tn


def _grooved(seam, width):
    """1 on a board face, falling to 0 in the joints."""
    return 1 - np.exp(-np.maximum(seam, 0) / width)


def _boards(size, seed, rows, colors, spread, vertical=False, lengths=(0.3, 0.8)):
    g = tn.rng(seed)
    _, board, seam, _ = tn.rows_of_boards(size, rows, g, *lengths, vertical=vertical)
    cells = (96, 4) if vertical else (4, 96)
    grain = tn.fbm(size, cells[0], g, 4, cells_v=cells[1])
    streak = np.sin((grain * 18 + tn.per_id(board, g, 3)) * np.pi) * 0.5 + 0.5
    tone = 0.5 + tn.per_id(board, g, spread) + 0.3 * (grain - 0.5) + 0.12 * (streak - 0.5)
    groove = _grooved(seam, 1.2 * size / 512)
    rgb = tn.palette(tone, colors) * (0.45 + 0.55 * groove)[..., None]
    return rgb, groove * 0.8 + 0.2 * grain


def oak_planks():
    return _boards(1024, 11, 12, [(0.47, 0.31, 0.17), (0.66, 0.47, 0.28),
                                  (0.78, 0.60, 0.38)], 0.12)


def pine_boards():
    return _boards(1024, 16, 8, [(0.70, 0.52, 0.32), (0.82, 0.66, 0.44),
                                (0.88, 0.75, 0.55)], 0.08, lengths=(0.5, 1.0))


def cladding():
    return _boards(1024, 14, 8, [(0.20, 0.14, 0.10), (0.33, 0.24, 0.16),
                                (0.43, 0.33, 0.22)], 0.1, vertical=True, lengths=(0.6, 1.0))


def decking():
    return _boards(512, 23, 6, [(0.36, 0.32, 0.27), (0.50, 0.44, 0.37),
                                (0.60, 0.55, 0.47)], 0.1)


def timber():
    g = tn.rng(17)
    grain = tn.fbm(1024, 3, g, 5, cells_v=48)
    rings = np.sin((grain * 26) * np.pi) * 0.5 + 0.5
    tone = 0.45 + 0.45 * (grain - 0.5) + 0.2 * (rings - 0.5)
    return tn.palette(tone, [(0.25, 0.15, 0.08), (0.42, 0.27, 0.15), (0.55, 0.38, 0.22)]), \
        0.6 * grain + 0.4 * rings


def plaster():
    g = tn.rng(12)
    broad, fine = tn.fbm(1024, 4, g, 5), tn.fbm(1024, 32, g, 4)
    tone = 0.5 * broad + 0.5 * fine
    return tn.palette(tone, [(0.80, 0.77, 0.71), (0.93, 0.91, 0.86)]), 0.7 * fine + 0.3 * broad


def stone():
    g = tn.rng(13)
    points = [((i + g.uniform(0.15, 0.85)) / 7, (j + g.uniform(0.15, 0.85)) / 11)
              for i in range(7) for j in range(11)]
    d1, d2, cell = tn.voronoi(1024, points, (1.0, 1.5))
    edge = d2 - d1
    rough = tn.fbm(1024, 16, g, 4)
    tone = 0.5 + tn.per_id(cell, g, 0.3) + 0.3 * (rough - 0.5)
    rgb = tn.palette(tone, [(0.42, 0.40, 0.38), (0.58, 0.55, 0.50), (0.72, 0.68, 0.60)])
    mortar = np.clip(edge / 0.012, 0, 1)
    rgb = rgb * mortar[..., None] + np.array([0.62, 0.60, 0.56]) * (1 - mortar[..., None])
    return rgb, np.sqrt(np.clip(edge / 0.05, 0, 1)) * 0.8 + 0.2 * rough


def roof_tiles():
    """Overlapping curved clay tiles in staggered rows; each row's lower edge lies on top."""
    g = tn.rng(15)
    u, v = tn.grid(512)
    rows, per_row = 8, 8
    row = np.floor(v * rows).astype(int)
    frac = v * rows - row
    across = u * per_row + 0.5 * (row % 2)
    tile_id = row * per_row + np.floor(across).astype(int) % per_row
    curve = np.sin(np.pi * (across % 1))
    height = (1 - frac) * 0.5 + 0.5 * curve
    rough = tn.fbm(512, 16, g, 4)
    tone = 0.5 + tn.per_id(tile_id, g, 0.2) + 0.25 * (rough - 0.5)
    shade = (0.35 + 0.65 * np.clip((1 - frac) / 0.15, 0, 1)) * (0.55 + 0.45 * curve)
    rgb = tn.palette(tone, [(0.38, 0.15, 0.10), (0.58, 0.26, 0.16), (0.70, 0.38, 0.24)])
    return rgb * shade[..., None], height + 0.1 * rough


def tiles():
    g = tn.rng(18)
    u, v = tn.grid(512)
    n = 4
    fu, fv = u * n % 1, v * n % 1
    bevel = np.minimum(np.minimum(fu, 1 - fu), np.minimum(fv, 1 - fv)) * 512 / n
    tile_id = np.floor(u * n).astype(int) * n + np.floor(v * n).astype(int)
    tone = 0.5 + tn.per_id(tile_id, g, 0.15) + 0.1 * (tn.fbm(512, 8, g, 3) - 0.5)
    face = np.clip((bevel - 3) / 4, 0, 1)
    rgb = tn.palette(tone, [(0.55, 0.66, 0.68), (0.75, 0.82, 0.80), (0.92, 0.92, 0.86)])
    grout = np.array([0.7, 0.68, 0.63])
    return rgb * face[..., None] + grout * (1 - face[..., None]), face


def _weave(size, threads, generator):
    u, v = tn.grid(size)
    warp = np.sin(2 * np.pi * u * threads) * 0.5 + 0.5
    weft = np.sin(2 * np.pi * v * threads) * 0.5 + 0.5
    over = (np.floor(u * threads) + np.floor(v * threads)) % 2
    return np.where(over == 0, warp, weft) * 0.7 + 0.3 * tn.fbm(size, 64, generator, 2)


def fabric():
    g = tn.rng(19)
    weave = _weave(512, 96, g)
    tone = 0.5 + 0.3 * (weave - 0.5) + 0.3 * (tn.fbm(512, 6, g, 3) - 0.5)
    return tn.palette(tone, [(0.20, 0.27, 0.36), (0.33, 0.42, 0.52)]), weave


def linen():
    g = tn.rng(20)
    weave = _weave(512, 128, g)
    folds = tn.fbm(512, 3, g, 3)
    tone = 0.6 + 0.2 * (weave - 0.5) + 0.3 * (folds - 0.5)
    return tn.palette(tone, [(0.72, 0.72, 0.70), (0.95, 0.94, 0.90)]), 0.3 * weave + 0.7 * folds


def curtain():
    g = tn.rng(21)
    u, _ = tn.grid(512)
    stripes = (np.sin(2 * np.pi * u * 8) > 0.6).astype(float)
    tone = 0.6 + 0.15 * stripes + 0.15 * (_weave(512, 128, g) - 0.5)
    return tn.palette(tone, [(0.55, 0.42, 0.30), (0.90, 0.85, 0.74)]), None


def marble():
    g = tn.rng(22)
    u, v = tn.grid(512)
    turbulence = tn.fbm(512, 4, g, 6)
    veins = np.abs(np.sin(2 * np.pi * (u + v + 1.6 * turbulence)))
    tone = 0.35 + 0.65 * veins ** 0.35
    return tn.palette(tone, [(0.45, 0.45, 0.47), (0.85, 0.85, 0.84), (0.96, 0.95, 0.93)]), None


def terracotta():
    g = tn.rng(24)
    rough = tn.fbm(512, 12, g, 5)
    return tn.palette(0.3 + 0.6 * rough, [(0.52, 0.26, 0.15), (0.72, 0.40, 0.24)]), rough


def grass():
    g = tn.rng(25)
    blades = tn.fbm(1024, 128, g, 3, cells_v=24)
    patches = tn.fbm(1024, 5, g, 4)
    tone = 0.55 * blades + 0.45 * patches
    return tn.palette(tone, [(0.16, 0.28, 0.08), (0.28, 0.45, 0.14), (0.50, 0.58, 0.26)]), blades


def bark():
    g = tn.rng(26)
    ridges = tn.fbm(512, 24, g, 4, cells_v=3)
    fissure = np.abs(np.sin(ridges * 9 * np.pi))
    tone = 0.3 + 0.6 * fissure * (0.6 + 0.4 * tn.fbm(512, 16, g, 3))
    return tn.palette(tone, [(0.12, 0.09, 0.07), (0.33, 0.28, 0.23), (0.48, 0.43, 0.37)]), fissure
