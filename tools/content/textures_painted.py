"""Textures drawn shape by shape: leaves, the rug and the decor atlas (book spines, two
paintings, a piano keyboard)."""
import numpy as np

import texture_noise as tn


def leaves():
    """Overlapping leaves on dark foliage; seamless."""
    g = tn.rng(27)
    size = 512
    u, v = tn.grid(size)
    rgb = np.zeros((size, size, 3)) + np.array([0.06, 0.12, 0.04])
    height = np.zeros((size, size))
    for _ in range(260):
        cx, cy, angle = g.random(), g.random(), g.uniform(0, np.pi)
        length, width = g.uniform(0.05, 0.09), g.uniform(0.018, 0.03)
        dx = (u - cx + 0.5) % 1 - 0.5
        dy = (v - cy + 0.5) % 1 - 0.5
        a = dx * np.cos(angle) + dy * np.sin(angle)
        b = -dx * np.sin(angle) + dy * np.cos(angle)
        r = (a / length) ** 2 + (b / (width * (1 - np.abs(a) / length + 0.2))) ** 2
        inside = r < 1
        green = np.array([0.16, 0.34, 0.08]) * g.uniform(0.7, 1.35)
        rib = np.clip(np.abs(b) / 0.002, 0, 1)
        shade = (0.75 + 0.25 * rib) * (1.05 - 0.35 * r)
        rgb[inside] = green * shade[inside][:, None]
        height[inside] = 1 - r[inside]
    return np.clip(rgb, 0, 1), height


def rug():
    """Woven rug with borders and a central diamond, mapped once over the rug."""
    g = tn.rng(28)
    u, v = tn.grid(512)
    edge = np.minimum(np.minimum(u, 1 - u), np.minimum(v, 1 - v))
    diamond = np.abs(u - 0.5) + np.abs(v - 0.5)
    zone = np.select([edge < 0.04, edge < 0.07, edge < 0.1, diamond < 0.18, diamond < 0.24],
                     [0, 1, 2, 1, 3], default=4)
    colors = np.array([(0.45, 0.10, 0.08), (0.85, 0.76, 0.58), (0.14, 0.18, 0.33),
                       (0.60, 0.15, 0.10), (0.62, 0.20, 0.12)])
    rgb = colors[zone]
    zigzag = (np.abs(((u * 24) % 1) - 0.5) * 2 > np.abs(((v * 24) % 1) - 0.5) * 2)
    rgb = rgb * np.where((zone == 4) & zigzag, 0.88, 1.0)[..., None]
    weave = np.sin(2 * np.pi * u * 160) * np.sin(2 * np.pi * v * 160) * 0.5 + 0.5
    fuzz = tn.fbm(512, 64, g, 2)
    return rgb * (0.85 + 0.15 * fuzz)[..., None], 0.6 * weave + 0.4 * fuzz


def _books(size, g):
    u, v = tn.grid(size)
    rgb = np.zeros((size, size, 3))
    x = 0.0
    palette = np.array([(0.55, 0.12, 0.10), (0.12, 0.25, 0.45), (0.15, 0.38, 0.22),
                        (0.75, 0.62, 0.35), (0.30, 0.18, 0.28), (0.85, 0.82, 0.75)])
    while x < 1:
        w = g.uniform(0.025, 0.06)
        band = (u >= x) & (u < x + w)
        color = palette[g.integers(len(palette))] * g.uniform(0.75, 1.1)
        rgb[band] = color
        for y in (g.uniform(0.1, 0.2), g.uniform(0.75, 0.88)):
            rgb[band & (np.abs(v - y) < 0.008)] = (0.85, 0.72, 0.35)
        rgb[band & (np.abs(u - x) < 0.002)] *= 0.5
        x += w
    return np.clip(rgb, 0, 1)


def _landscape(size, g):
    u, v = tn.grid(size)
    sky = tn.palette(v, [(0.95, 0.75, 0.50), (0.55, 0.70, 0.88)])
    rgb = sky.copy()
    for k, (base, color) in enumerate(((0.55, (0.35, 0.45, 0.55)), (0.42, (0.25, 0.40, 0.25)),
                                       (0.28, (0.35, 0.30, 0.15)))):
        ridge = base + 0.06 * np.sin(2 * np.pi * (u * (2 + k) + g.random())) \
            + 0.04 * (tn.fbm(size, 6, g, 3) - 0.5)
        rgb[v < ridge] = color
    sun = np.hypot(u - 0.7, v - 0.72) < 0.06
    rgb[sun] = (1.0, 0.92, 0.7)
    brush = tn.fbm(size, 48, g, 2, cells_v=12)
    return _framed(rgb * (0.88 + 0.24 * brush)[..., None], u, v)


def _sea(size, g):
    u, v = tn.grid(size)
    rgb = tn.palette(v, [(0.05, 0.20, 0.35), (0.20, 0.45, 0.60), (0.92, 0.90, 0.82)])
    waves = np.sin(2 * np.pi * (u * 3 + v * 40 + tn.fbm(size, 8, g, 3) * 2))
    rgb = rgb * np.where(v < 0.55, 0.9 + 0.1 * waves, 1.0)[..., None]
    hull = (np.abs(u - 0.4) < 0.12 - (0.5 - v) * 0.5) & (v > 0.47) & (v < 0.53)
    sail = (u > 0.36) & (u < 0.44) & (v > 0.53) & (v < 0.53 + (0.44 - u) * 2.5)
    rgb[hull] = (0.35, 0.15, 0.10)
    rgb[sail] = (0.95, 0.93, 0.88)
    return _framed(rgb, u, v)


def _framed(rgb, u, v):
    edge = np.minimum(np.minimum(u, 1 - u), np.minimum(v, 1 - v))
    rgb = np.where((edge < 0.05)[..., None], np.array([0.35, 0.22, 0.10]), rgb)
    return np.clip(rgb, 0, 1)


def _keyboard(size):
    u, v = tn.grid(size)
    white_keys = 52
    k = u * white_keys
    rgb = np.ones((size, size, 3)) * 0.93
    rgb[(k % 1) < 0.06] = 0.55
    black = np.isin(np.floor(k + 0.5).astype(int) % 7, [1, 2, 4, 5, 6])
    black &= np.abs((k + 0.5) % 1 - 0.5) < 0.3
    rgb[black & (v > 0.4)] = 0.05
    return rgb


# Quadrants of the decor atlas as (u0, v0) of their lower-left corner, each 0.5 wide.
DECOR_BOOKS = (0.0, 0.5)
DECOR_LANDSCAPE = (0.5, 0.5)
DECOR_KEYBOARD = (0.0, 0.0)
DECOR_SEA = (0.5, 0.0)


def decor():
    g = tn.rng(29)
    half = 512
    atlas = np.zeros((2 * half, 2 * half, 3))
    atlas[:half, :half] = _books(half, g)
    atlas[:half, half:] = _landscape(half, g)
    atlas[half:, :half] = _keyboard(half)
    atlas[half:, half:] = _sea(half, g)
    return atlas, None


def leaf_blade():
    """One leaf filling the texture: u along the blade, v across it, midrib at v = 0.5."""
    g = tn.rng(30)
    u, v = tn.grid(512)
    across = np.abs(v - 0.5) * 2
    veins = np.abs(np.sin(np.pi * (u * 6 - across * 1.2))) > 0.985
    tone = 0.55 + 0.25 * (1 - across) + 0.15 * (tn.fbm(512, 16, g, 3) - 0.5)
    rgb = tn.palette(tone, [(0.10, 0.24, 0.06), (0.22, 0.42, 0.10), (0.40, 0.58, 0.18)])
    rgb[veins] *= 1.15
    rgb[across < 0.03] = (0.55, 0.66, 0.30)
    height = 1 - across ** 2 - 0.15 * veins - 0.3 * (across < 0.03)
    return np.clip(rgb, 0, 1), height
