"""A very short benchmark run: its JSON must report every start-up phase, every stretch, and in each
stretch exactly the passes its effect switches select. Times are noisy and not checked."""

import json
import os
import subprocess
import tempfile
import unittest

BENCHMARK = os.environ["BENCHMARK_BINARY"]
DEMO_DIR = os.path.join(os.environ["DEMO_SOURCE_DIR"], "demo")

PHASES = {"window", "soundtrack", "scene_import", "textures", "shader_build", "pass_setup", "first_frame",
          "process_to_first_frame"}
SCENE = {"shadow", "scene_window", "scene_offscreen"}
DOF = {"dof_depth", "dof_stages", "quad"}
STRETCH_PASSES = {
    "bloom": SCENE | {"bloom"},
    "dof": SCENE | DOF,
    "walk": SCENE | {"bloom"},
    "walk_noshadow": SCENE - {"shadow"} | {"bloom"},
    "walk_nobloom": SCENE,
    "walk_nonormal": SCENE | {"bloom"},
}
SUMMARY = {"median_ms", "p95_ms", "max_ms"}


class ShortBenchmark(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "bench.json")
            cls.run_result = subprocess.run([BENCHMARK, "--frames", "2", "--warmup", "1", "--json", path],
                                            cwd=DEMO_DIR, capture_output=True, text=True, timeout=600)
            cls.report = json.load(open(path)) if os.path.exists(path) else None

    def test_run_succeeds_and_names_its_renderer(self):
        self.assertEqual(self.run_result.returncode, 0, self.run_result.stderr)
        self.assertIn("renderer: ", self.run_result.stdout)
        self.assertTrue(self.report["renderer"])

    def test_every_startup_phase_is_reported(self):
        self.assertEqual(set(self.report["startup_ms"]), PHASES)

    def test_every_stretch_reports_the_frame_and_exactly_its_passes(self):
        stretches = self.report["stretches"]
        self.assertEqual(set(stretches), set(STRETCH_PASSES))
        for name, passes in STRETCH_PASSES.items():
            with self.subTest(stretch=name):
                self.assertEqual(stretches[name]["frames"], 2)
                self.assertEqual(set(stretches[name]["frame"]), SUMMARY)
                self.assertEqual(set(stretches[name]["passes"]), passes)
                for summary in stretches[name]["passes"].values():
                    self.assertEqual(set(summary), SUMMARY)


if __name__ == "__main__":
    unittest.main()
