"""Key dimensions of the house, in model units (the demo shows 1000 units as one world
unit; the house is drawn at roughly 200 units to the metre).

The open hall rises to a pitched, exposed-rafter roof with its ridge along z; a gallery
runs along the east side at first-floor level, reached by a straight stair against the
east wall. Openings sit where the fixed camera and light flights need them.
"""

# Interior faces of the outer walls and their thickness.
X_WEST, X_EAST = -1050.0, 250.0
Z_NORTH, Z_SOUTH = -2550.0, -150.0
WALL = 40.0
FLOOR_BASE = -30.0  # walls and floor slabs start below the floor level y = 0

# Roof: underside rises from the eaves (at the walls' inner faces) to the ridge.
EAVE = 1000.0
RIDGE_X = -400.0
RIDGE = 1750.0
SLOPE = (RIDGE - EAVE) / (RIDGE_X - X_WEST)
ROOF_THICKNESS = 80.0
OVERHANG = 100.0
RAFTER_DEPTH = 70.0
RAFTER_WIDTH = 36.0
RAFTER_Z = [-2520.0, -2210.0, -1880.0, -1590.0, -1280.0, -970.0, -660.0, -350.0]

# Gallery along the east wall, and the stair that reaches it from the north.
GALLERY_X = (-150.0, X_EAST)
GALLERY_Z = (-1550.0, Z_SOUTH)
GALLERY_FLOOR = 620.0
GALLERY_SLAB = 50.0
STAIR_X = (60.0, X_EAST)
STAIR_Z = (-2450.0, GALLERY_Z[0])
STAIR_RISERS = 14


def roof_underside(x):
    """Height of the roof's underside above the point x (symmetric about the ridge)."""
    return RIDGE - SLOPE * abs(x - RIDGE_X)
