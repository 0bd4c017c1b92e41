"""The committed house model is valid COLLADA and is exactly what its generator makes."""
import filecmp
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
MODELS = os.path.join(ROOT, "models")
MODEL = os.path.join(MODELS, "casa de vacaciones.dae")
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


if __name__ == "__main__":
    unittest.main()
