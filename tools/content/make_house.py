"""Generates the demo's house: "models/casa de vacaciones.dae" and its textures under
models/textures/ (diffuse maps and their "normal_" maps), byte for byte reproducibly.

Run from anywhere:  /usr/bin/python3 tools/content/make_house.py [--out DIR]
DIR defaults to the repository root. The house is checked against the camera and light
flights before anything is written (see check_house.py).
"""
import argparse
import os
import sys

import numpy as np
from PIL import Image

import check_house
import collada_writer
import model
import texture_noise
import textures
import textures_painted
from materials import BY_NAME, MATERIALS

REPO = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
MODEL_FILE = "casa de vacaciones.dae"

# File name -> (generator, normal-map strength; None when no normal map is made).
TEXTURES = {
    "oak_planks.png": (textures.oak_planks, 3.0),
    "pine_boards.png": (textures.pine_boards, 3.0),
    "cladding.png": (textures.cladding, 3.0),
    "decking.png": (textures.decking, 3.0),
    "timber.png": (textures.timber, 1.5),
    "plaster.png": (textures.plaster, 3.0),
    "stone.png": (textures.stone, 6.0),
    "roof_tiles.png": (textures.roof_tiles, 6.0),
    "tiles.png": (textures.tiles, 3.0),
    "fabric.png": (textures.fabric, 2.0),
    "linen.png": (textures.linen, 3.0),
    "curtain.png": (textures.curtain, None),
    "marble.png": (textures.marble, None),
    "terracotta.png": (textures.terracotta, 2.0),
    "grass.png": (textures.grass, 3.0),
    "bark.png": (textures.bark, 4.0),
    "leaves.png": (textures_painted.leaves, 3.0),
    "leaf.png": (textures_painted.leaf_blade, 2.0),
    "rug.png": (textures_painted.rug, 2.0),
    "decor.png": (textures_painted.decor, None),
}


# Side of the texture files. The patterns are generated finer and averaged down to it: seen from
# the flight, most maps look the same at 1024 texels, and each such map takes four times the decoding of
# a 512 one. Wood and stone fill the close-ups of the flight's late part, so theirs stay at 1024, each
# with its 512 form in `half/` beside it: the demo's first frame needs only that one decoded, and the
# top level follows once the flight runs.
MAX_TEXTURE_SIZE = 512
FULL_SIZE_TEXTURES = {"oak_planks.png", "pine_boards.png", "cladding.png", "timber.png", "stone.png"}
FULL_TEXTURE_SIZE = 1024
HALF_FOLDER = "half"


def _reduced(array, size):
    """`array` (rows, columns, channels) averaged over square blocks down to `size` rows."""
    factor = max(1, array.shape[0] // size)
    rows, columns, channels = array.shape
    return array.reshape(rows // factor, factor, columns // factor, factor, channels).mean(axis=(1, 3))


def _reduced_normals(encoded, size):
    """A normal map averaged down like `_reduced`, each normal made unit length again."""
    normals = _reduced(encoded * 2.0 - 1.0, size)
    normals /= np.linalg.norm(normals, axis=-1, keepdims=True)
    return normals * 0.5 + 0.5


def _save_png(array, path):
    pixels = (np.clip(array, 0.0, 1.0) * 255.0 + 0.5).astype(np.uint8)
    Image.fromarray(pixels, "RGB").save(path, "PNG")


def _write_maps(rgb, normals, size, folder, name):
    _save_png(_reduced(rgb, size), os.path.join(folder, name))
    if normals is not None:
        _save_png(_reduced_normals(normals, size), os.path.join(folder, "normal_" + name))


def write_textures(folder):
    os.makedirs(os.path.join(folder, HALF_FOLDER), exist_ok=True)
    for name, (generate, strength) in TEXTURES.items():
        rgb, height = generate()
        normals = None if strength is None else texture_noise.normal_map(height, strength)
        if name in FULL_SIZE_TEXTURES:
            _write_maps(rgb, normals, FULL_TEXTURE_SIZE, folder, name)
            _write_maps(rgb, normals, FULL_TEXTURE_SIZE // 2, os.path.join(folder, HALF_FOLDER), name)
        else:
            _write_maps(rgb, normals, MAX_TEXTURE_SIZE, folder, name)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=REPO, help="folder that receives models/")
    parser.add_argument("--no-check", action="store_true", help="skip the flight checks")
    args = parser.parse_args()
    if not args.no_check and check_house.main() != 0:
        print("the house does not fit the flights; nothing written", file=sys.stderr)
        return 1
    models = os.path.join(args.out, "models")
    write_textures(os.path.join(models, "textures"))
    parts = model.parts()
    collada_writer.write(os.path.join(models, MODEL_FILE), parts, BY_NAME)
    triangles = sum(p.triangle_count() for p in parts)
    used = {m for p in parts for m in p.triangles}
    print(f"{triangles} triangles, {len(used)} of {len(MATERIALS)} materials")
    return 0


if __name__ == "__main__":
    sys.exit(main())
