"""The house's materials: which texture each uses, how large one texture repeat is in
model units, and the colours and flags the demo reads."""
from dataclasses import dataclass
from typing import Optional

TEXTURE_DIR = "../models/textures/"


@dataclass(frozen=True)
class MaterialSpec:
    name: str
    texture: Optional[str] = None  # file name under models/textures/
    tile: float = 400.0  # model units per texture repeat
    color: tuple = (0.8, 0.8, 0.8, 1.0)  # diffuse when untextured
    specular: tuple = (0.1, 0.1, 0.1, 1.0)
    shininess: float = 8.0
    two_sided: bool = False
    opacity: float = 1.0

    @property
    def texture_path(self):
        return TEXTURE_DIR + self.texture if self.texture else None


# In drawing order: the renderer draws each material's triangles as one batch in this order, so the
# large surfaces that hide the rest (outer walls, roof, inner walls, ceilings, floors) come first and
# the depth test rejects what lies behind them before it is shaded.
MATERIALS = [
    MaterialSpec("cladding", "cladding.png", tile=500),
    MaterialSpec("roof_tiles", "roof_tiles.png", tile=400),
    MaterialSpec("plaster", "plaster.png", tile=500),
    MaterialSpec("ceiling_boards", "pine_boards.png", tile=500),
    MaterialSpec("floor_oak", "oak_planks.png", tile=600, specular=(0.3, 0.3, 0.3, 1.0),
                 shininess=32.0),
    MaterialSpec("tiles", "tiles.png", tile=200, specular=(0.5, 0.5, 0.5, 1.0),
                 shininess=48.0),
    MaterialSpec("stone", "stone.png", tile=500),
    MaterialSpec("decking", "decking.png", tile=500),
    MaterialSpec("grass", "grass.png", tile=600),
    MaterialSpec("terracotta", "terracotta.png", tile=200),
    MaterialSpec("timber", "timber.png", tile=300, specular=(0.2, 0.2, 0.2, 1.0),
                 shininess=16.0),
    MaterialSpec("fabric", "fabric.png", tile=160),
    MaterialSpec("bed_linen", "linen.png", tile=200),
    MaterialSpec("countertop", "marble.png", tile=300, specular=(0.5, 0.5, 0.5, 1.0),
                 shininess=48.0),
    MaterialSpec("metal", color=(0.55, 0.55, 0.56, 1.0), specular=(0.9, 0.9, 0.9, 1.0),
                 shininess=64.0),
    MaterialSpec("piano_lacquer", color=(0.03, 0.03, 0.035, 1.0),
                 specular=(0.9, 0.9, 0.9, 1.0), shininess=96.0),
    MaterialSpec("rug", "rug.png", tile=1.0),
    MaterialSpec("decor", "decor.png", tile=1.0, specular=(0.2, 0.2, 0.2, 1.0),
                 shininess=16.0),
    MaterialSpec("lampshade", color=(0.98, 0.93, 0.8, 1.0), specular=(0.0, 0.0, 0.0, 1.0),
                 shininess=1.0, two_sided=True),
    MaterialSpec("curtain", "curtain.png", tile=300, two_sided=True),
    MaterialSpec("bark", "bark.png", tile=240),
    MaterialSpec("foliage", "leaves.png", tile=300),
    MaterialSpec("leaves", "leaf.png", tile=1.0, two_sided=True),
    MaterialSpec("glass", color=(0.85, 0.92, 0.95, 1.0), specular=(0.9, 0.9, 0.9, 1.0),
                 shininess=96.0, opacity=0.3),
]

BY_NAME = {m.name: m for m in MATERIALS}
