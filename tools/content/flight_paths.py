"""The demo's camera and light flights, evaluated as the program evaluates them.

Both tables are in world units; `to_model` maps a world point into the house model's
units (the program places a model vertex v at 0.001 v + MODEL_OFFSET).
"""
import numpy as np

MODEL_OFFSET = np.array([0.7, -1.0, 1.5])
MODEL_SCALE = 0.001

# time, eye x y z, target x y z
CAMERA_ROWS = np.array([
    [0, -1.716012, -0.393584, -2.26443, -1.273062, -0.500778, -1.374315],
    [5, -1.454578, -0.531762, -0.564108, -0.597457, -0.607321, -0.054565],
    [10, -0.229532, -0.57997, -0.037755, 0.76843, -0.608822, 0.019157],
    [15, 0.316843, -0.618108, -0.036366, 1.311507, -0.695313, 0.032061],
    [20, 0.369889, -0.627257, 0.027893, 0.657412, -0.729403, 0.980204],
    [25, 0.377782, -0.651431, 0.273539, 0.485415, -0.69515, 1.266768],
    [30, 0.332601, -0.655813, 0.436304, 1.315497, -0.732823, 0.603593],
    [35, 0.378639, -0.65942, 0.44414, 1.346839, -0.901095, 0.508794],
    [40, 0.378639, -0.65942, 0.44414, 0.936247, -0.7005, 1.273227],
    [45, 0.403698, -0.655365, 0.608642, 0.234134, -0.554651, 1.589002],
    [50, 0.355598, -0.632566, 0.801856, 0.117738, -0.530145, 1.76774],
    [55, 0.355598, -0.632566, 0.801856, -0.545541, -0.516818, 1.219649],
    [60, 0.355598, -0.632566, 0.801856, -0.640415, -0.543431, 0.798468],
    [65, 0.263739, -0.628666, 0.84209, -0.277564, -0.626275, 0.001265],
    [70, 0.301702, -0.632266, 0.691712, 0.454545, -0.718778, -0.292744],
    [75, 0.350508, -0.637833, 0.248033, 0.387662, -0.622633, -0.751161],
    [80, 0.36579, -0.637642, -0.499903, 0.615644, -0.669288, -1.467669],
    [85, 0.426111, -0.64096, -0.594863, 1.102861, -0.669294, -1.33053],
    [87, 0.491922, -0.644619, -0.735262, 1.466268, -0.672984, -0.512001],
    [90, 0.601789, -0.624545, -0.718731, 0.698671, -0.295052, 0.220443],
    [95, 0.622153, -0.510973, -0.507958, 0.680447, -0.004444, 0.352292],
    [100, 0.664319, -0.430597, -0.326845, -0.0521, -0.118519, 0.297135],
    [105, 0.541182, -0.396402, -0.246767, -0.417891, -0.258135, 0.000338],
    [110, 0.430352, -0.390221, -0.227922, 0.4761, -0.341668, 0.76985],
    [115, 0.44796, -0.375979, 0.018317, 0.520414, -0.345763, 1.015231],
    [120, 0.42829, -0.372725, 0.309522, -0.030786, -0.389291, 1.197765],
    [125, 0.218324, -0.376476, 0.568874, -0.44907, -0.38803, 1.313489],
    [130, 0.093865, -0.378374, 0.684243, -0.217198, -0.341605, 1.63392],
    [135, 0.083551, -0.358052, 0.871787, -0.723518, -0.409778, 1.459973],
    [140, 0.082883, -0.361929, 1.035665, -0.904393, -0.463488, 0.913305],
    [145, -0.031783, -0.371002, 1.079731, -0.390389, -0.084384, 0.191333],
    [150, -0.031783, -0.371002, 1.079731, 0.163947, 0.2692, 0.336877],
    [155, -0.031783, -0.371002, 1.079731, 0.475005, 0.484828, 1.183279],
])

# time, x y z
LIGHT_ROWS = np.array([
    [0, -1.5, 0.8, -1.7],
    [20, -1.5, 0.8, -1.7],
    [30, 1.5, 0, 0],
    [40, 1.2, -0.5, 1.3],
    [70, 1.2, -0.5, 1.3],
    [80, -0.1, 0.7, -0.8],
    [110, -0.1, 0.7, -0.8],
    [125, -2.378555, 2.161492, -2.11762],
])

LIGHT_START = np.array([1.5, -0.5, 1.3])


def to_model(world):
    return (np.asarray(world, dtype=float) - MODEL_OFFSET) / MODEL_SCALE


def catmull_rom(p0, p1, p2, p3, s):
    s2, s3 = s * s, s * s * s
    return 0.5 * ((-s3 + 2 * s2 - s) * p0 + (3 * s3 - 5 * s2 + 2) * p1
                  + (-3 * s3 + 4 * s2 + s) * p2 + (s3 - s2) * p3)


def _closed(rows):
    """Rows with the first and last repeated, as the program builds its paths."""
    return np.vstack([rows[:1], rows, rows[-1:]])


def _segment(points, t):
    """Index of the window whose P1..P2 span holds t (clamped to the ends)."""
    times = points[:, 0]
    for i in range(len(points) - 3):
        if t <= times[i + 2]:
            return i
    return len(points) - 4


def _evaluate(points, i, t):
    p0, p1, p2, p3 = points[i:i + 4]
    s = (t - p1[0]) / (p2[0] - p1[0]) if p2[0] > p1[0] else 1.0
    s = min(max(s, 0.0), 1.0)
    return catmull_rom(p0[1:], p1[1:], p2[1:], p3[1:], s)


def camera_at(t):
    """Eye and target in model units at path time t."""
    points = _closed(CAMERA_ROWS)
    value = _evaluate(points, _segment(points, t), t)
    return to_model(value[:3]), to_model(value[3:])


def light_at(t):
    """Light position in model units at path time t, holding through segments
    between equal points (the light then keeps its last evaluated position)."""
    points = _closed(LIGHT_ROWS)
    held = LIGHT_START
    for i in range(len(points) - 3):
        p1, p2 = points[i + 1], points[i + 2]
        if np.array_equal(p1[1:], p2[1:]):
            if t <= p2[0]:
                return to_model(held)
            continue
        if t <= p2[0]:
            return to_model(_evaluate(points, i, t))
        held = p2[1:]
    return to_model(held)


def camera_samples(step=0.01):
    times = np.arange(0.0, CAMERA_ROWS[-1, 0] + 1e-9, step)
    return times, np.array([camera_at(t)[0] for t in times])


def light_samples(step=0.01):
    times = np.arange(0.0, LIGHT_ROWS[-1, 0] + 1e-9, step)
    return times, np.array([light_at(t) for t in times])
