"""The committed house model is valid COLLADA and is exactly what its generator makes; its normal maps
hold unit normals."""
import filecmp
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import numpy as np
from PIL import Image

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
MODELS = os.path.join(ROOT, "models")
MODEL = os.path.join(MODELS, "casa de vacaciones.dae")
TEXTURES = os.path.join(MODELS, "textures")
GENERATOR = os.path.join(ROOT, "tools", "content", "make_house.py")


def files_under(folder):
    return sorted(os.path.relpath(os.path.join(top, name), folder)
                  for top, _, names in os.walk(folder) for name in names)


class HouseModel(unittest.TestCase):
    @unittest.skipUnless(shutil.which("opencolladavalidator"), "opencollada-tools not installed")
    def test_validates_against_the_collada_schema(self):
        result = subprocess.run(["opencolladavalidator", MODEL], capture_output=True, text=True)
        self.assertIn("is valid against the COLLADA 1.4.1 schema", result.stdout + result.stderr)

    def test_generator_reproduces_the_committed_files(self):
        with tempfile.TemporaryDirectory() as scratch:
            subprocess.run([sys.executable, GENERATOR, "--no-check", "--out", scratch], check=True,
                           stdout=subprocess.DEVNULL)
            made = os.path.join(scratch, "models")
            self.assertEqual(files_under(made), files_under(MODELS))
            for name in files_under(MODELS):
                self.assertTrue(filecmp.cmp(os.path.join(made, name), os.path.join(MODELS, name),
                                            shallow=False), name)


class HalfSizeMaps(unittest.TestCase):
    # The demo's first frames show a map's half-size form in place of the map's levels below its top, so
    # it must be that map averaged down: about a quarter level apart, where another map is tens apart.
    def test_each_half_size_form_is_its_map_averaged_down(self):
        halves = sorted(os.listdir(os.path.join(TEXTURES, "half")))
        self.assertGreaterEqual(len(halves), 10)
        for name in halves:
            full = np.asarray(Image.open(os.path.join(TEXTURES, name)).convert("RGB"), dtype=float)
            half = np.asarray(Image.open(os.path.join(TEXTURES, "half", name)).convert("RGB"), dtype=float)
            rows, columns = full.shape[0] // 2, full.shape[1] // 2
            self.assertEqual(half.shape, (rows, columns, 3), name)
            averaged = full.reshape(rows, 2, columns, 2, 3).mean(axis=(1, 3))
            self.assertLess(np.abs(averaged - half).mean(), 1.0, name)


class NormalMaps(unittest.TestCase):
    # Averaging a map down shortens its normals unless they are made unit again; 8-bit rounding alone
    # stays within about 0.01.
    def test_every_texel_is_a_unit_normal_facing_out_of_the_surface(self):
        names = [name for name in sorted(os.listdir(TEXTURES)) if name.startswith("normal_")]
        self.assertTrue(names)
        for name in names:
            with self.subTest(map=name):
                encoded = np.asarray(Image.open(os.path.join(TEXTURES, name)).convert("RGB"), float)
                normals = encoded / 255.0 * 2.0 - 1.0
                lengths = np.linalg.norm(normals, axis=-1)
                self.assertLess(np.abs(lengths - 1.0).max(), 0.02)
                self.assertGreater(normals[..., 2].min(), 0.0)


if __name__ == "__main__":
    unittest.main()
