"""Seamless noise and pattern helpers for the procedural textures.

Every field is periodic over the image, so the textures tile without seams. Images are
arrays indexed [row, column] with row 0 at the top; v runs up the image.
"""
import numpy as np


def rng(seed):
    return np.random.default_rng(seed)


def grid(size):
    """Texel centres as (u, v) in [0, 1), v upwards."""
    coords = (np.arange(size) + 0.5) / size
    u, v = np.meshgrid(coords, coords[::-1])
    return u, v


def value_noise(size, cells, generator, cells_v=None):
    """Smooth periodic noise in [0, 1] with `cells` lattice cells across (and up)."""
    cells_v = cells_v or cells
    lattice = generator.random((cells_v, cells))
    u, v = grid(size)
    x, y = u * cells, v * cells_v
    x0, y0 = np.floor(x).astype(int), np.floor(y).astype(int)
    fx, fy = x - x0, y - y0
    fx, fy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    x1, y1 = (x0 + 1) % cells, (y0 + 1) % cells_v
    x0, y0 = x0 % cells, y0 % cells_v
    top = lattice[y0, x0] * (1 - fx) + lattice[y0, x1] * fx
    bottom = lattice[y1, x0] * (1 - fx) + lattice[y1, x1] * fx
    return top * (1 - fy) + bottom * fy


def fbm(size, cells, generator, octaves=4, gain=0.5, cells_v=None):
    """Fractal sum of value noise, normalised to [0, 1]."""
    total = np.zeros((size, size))
    amplitude, norm = 1.0, 0.0
    for k in range(octaves):
        scale = 2 ** k
        total += amplitude * value_noise(size, cells * scale, generator,
                                         (cells_v or cells) * scale)
        norm += amplitude
        amplitude *= gain
    return total / norm


def stretch(field, factor, axis):
    """Field resampled so its features are `factor` times longer along axis (1 = u)."""
    size = field.shape[axis]
    idx = (np.arange(size) / factor).astype(int) % size
    return np.take(field, idx, axis=axis)


def voronoi(size, points, metric_scale=(1.0, 1.0)):
    """Periodic Voronoi: nearest and second-nearest distances and the nearest index."""
    u, v = grid(size)
    d1 = np.full((size, size), np.inf)
    d2 = np.full((size, size), np.inf)
    nearest = np.zeros((size, size), dtype=int)
    for i, (px, py) in enumerate(points):
        dx = np.abs(u - px)
        dy = np.abs(v - py)
        dx = np.minimum(dx, 1 - dx) * metric_scale[0]
        dy = np.minimum(dy, 1 - dy) * metric_scale[1]
        d = np.hypot(dx, dy)
        closer = d < d1
        d2 = np.where(closer, d1, np.minimum(d2, d))
        nearest = np.where(closer, i, nearest)
        d1 = np.where(closer, d, d1)
    return d1, d2, nearest


def rows_of_boards(size, count, generator, min_len=0.25, max_len=0.7, vertical=False):
    """Board layout: index of the board row, a per-board id and the distance (in texels)
    to the nearest joint, for `count` rows of staggered boards along u (or v)."""
    u, v = grid(size)
    along, across = (v, u) if vertical else (u, v)
    row = np.floor(across * count).astype(int) % count
    board_id = np.zeros((size, size), dtype=int)
    joint = np.full((size, size), np.inf)
    edge_across = np.minimum(across * count - np.floor(across * count),
                             np.ceil(across * count) - across * count) * size / count
    for r in range(count):
        cuts = _cuts(generator, min_len, max_len)
        in_row = row == r
        a = along[in_row]
        board_id[in_row] = r * 100 + np.searchsorted(cuts, a, side="right") % len(cuts)
        wrapped = np.concatenate([cuts - 1, cuts, cuts + 1])
        joint[in_row] = np.min(np.abs(a[:, None] - wrapped), axis=1) * size
    return row, board_id, np.minimum(joint, edge_across), edge_across


def _cuts(generator, min_len, max_len):
    """Joint positions in [0, 1) along one row, periodic."""
    start = generator.random()
    cuts, pos = [], start
    while pos < start + 1 - min_len:
        cuts.append(pos % 1.0)
        pos += generator.uniform(min_len, max_len)
    return np.sort(np.array(cuts))


def palette(t, colors):
    """Map t in [0, 1] through evenly spaced colours."""
    colors = np.asarray(colors, dtype=float)
    t = np.clip(t, 0, 1) * (len(colors) - 1)
    i = np.minimum(np.floor(t).astype(int), len(colors) - 2)
    f = (t - i)[..., None]
    return colors[i] * (1 - f) + colors[i + 1] * f


def per_id(ids, generator, spread):
    """A random value in [-spread, spread] for each distinct id."""
    unique, inverse = np.unique(ids, return_inverse=True)
    values = generator.uniform(-spread, spread, len(unique))
    return values[inverse].reshape(ids.shape)


def normal_map(height, strength):
    """Tangent-space normal map (RGB in [0, 1]) of a height field; green along +v."""
    du = (np.roll(height, -1, axis=1) - np.roll(height, 1, axis=1)) / 2
    dv = (np.roll(height, 1, axis=0) - np.roll(height, -1, axis=0)) / 2
    n = np.stack([-du * strength, -dv * strength, np.ones_like(height)], axis=-1)
    n /= np.linalg.norm(n, axis=-1, keepdims=True)
    return n * 0.5 + 0.5
