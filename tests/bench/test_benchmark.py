"""A very short benchmark run: its JSON must name the build, the driver, the processor, the settings and
the data it ran with, report every start-up phase, every stretch with each of its frames, and in each
stretch exactly the passes its effect switches select; its CSV must hold every measured frame with its
passes; and two reports compare. Times are noisy and not checked."""

import csv
import datetime
import json
import os
import re
import statistics
import subprocess
import tempfile
import unittest

BENCHMARK = os.environ["BENCHMARK_BINARY"]
DEMO_DIR = os.path.join(os.environ["DEMO_SOURCE_DIR"], "demo")

PHASES = {"window", "soundtrack", "scene_import", "textures", "shader_build", "pass_setup", "first_frame",
          "process_to_first_frame"}
# The scene is shaded once: with 4 samples and resolved, or single-sample over its laid depth under the
# depth of field.
SCENE = {"shadow", "scene_4x", "resolve"}
DOF = {"shadow", "scene_depth", "scene", "dof_depth", "dof_stages", "quad"}
STRETCH_PASSES = {
    "bloom": SCENE | {"bloom"},
    "dof": DOF,
    "walk": SCENE | {"bloom"},
    "walk_noshadow": SCENE - {"shadow"} | {"bloom"},
    "walk_nobloom": SCENE,
    "walk_nonormal": SCENE | {"bloom"},
}
SUMMARY = {"median_ms", "p95_ms", "max_ms"}
# Mesa ignores a setting it does not know; the report names it as it names every MESA_* one.
DRIVER_MARK = {"MESA_BENCHMARK_TEST_MARK": "1"}


def driver_settings(env):
    return {name: value for name, value in env.items()
            if name in ("LP_NUM_THREADS", "GALLIUM_DRIVER") or name.startswith("MESA_")}


def summary(median, p95):
    return {"median_ms": median, "p95_ms": p95, "max_ms": p95}


def small_report(startup, stretches):
    return {"commit": "0" * 40, "renderer": "a renderer", "gl_version": "3.3", "cpu_model": "a processor",
            "cpu_cores": 2, "pass_clock": "timer_query", "startup_ms": startup,
            "stretches": {name: {"frames": 2, "frame": frame, "frames_ms": [frame["median_ms"]] * 2,
                                 "passes": passes} for name, (frame, passes) in stretches.items()}}


def compare(path_a, path_b):
    result = subprocess.run([BENCHMARK, "--compare", path_a, path_b], capture_output=True, text=True, timeout=60)
    return result.returncode, result.stdout.splitlines()


class ShortBenchmark(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.env = dict(os.environ, **DRIVER_MARK)
        with tempfile.TemporaryDirectory() as folder:
            path, table = os.path.join(folder, "bench.json"), os.path.join(folder, "frames.csv")
            cls.run_result = subprocess.run([BENCHMARK, "--frames", "2", "--warmup", "1", "--json", path,
                                             "--csv", table], cwd=DEMO_DIR, env=cls.env, capture_output=True,
                                            text=True, timeout=600)
            cls.report = cls.self_comparison = cls.rows = None
            if os.path.exists(table):
                with open(table, newline="") as rows:
                    cls.rows = list(csv.reader(rows))
            if os.path.exists(path):
                with open(path) as report:
                    cls.report = json.load(report)
                # The report as written reads back: compared with itself, every ratio is 1.
                cls.self_comparison = compare(path, path)

    def test_run_succeeds_and_names_build_driver_and_processor(self):
        self.assertEqual(self.run_result.returncode, 0, self.run_result.stderr)
        self.assertIn("renderer: ", self.run_result.stdout)
        self.assertRegex(self.report["commit"], r"^([0-9a-f]{40}(-dirty)?|unknown)$")
        for name in ("renderer", "gl_version", "cpu_model"):
            self.assertIsInstance(self.report[name], str)
            self.assertTrue(self.report[name], name)
        self.assertGreaterEqual(self.report["cpu_cores"], 1)
        self.assertEqual(self.report["pass_clock"], "timer_query")

    def test_run_names_its_settings_and_the_data_it_ran_with(self):
        self.assertIsInstance(self.report["schema_version"], int)
        date = datetime.datetime.strptime(self.report["date"], "%Y-%m-%dT%H:%M:%SZ")
        self.assertLess(abs(datetime.datetime.utcnow() - date), datetime.timedelta(hours=1))
        self.assertIsInstance(self.report["build_type"], str)
        self.assertTrue(self.report["build_type"])
        self.assertEqual(self.report["resolution"], {"width": 1024, "height": 768})
        self.assertEqual(self.report["swap_interval"], 0)
        self.assertEqual(self.report["environment"], driver_settings(self.env))
        data = os.path.realpath(DEMO_DIR)
        self.assertEqual(self.report["data_folder"], data)
        shaders = os.path.join(data, "shader")
        self.assertEqual(sorted(self.report["shader_files"]),
                         sorted(os.path.join(shaders, name) for name in os.listdir(shaders)))
        self.assertIn("data folder: %s\n" % data, self.run_result.stdout)
        for path in self.report["shader_files"]:
            self.assertIn("  %s\n" % path, self.run_result.stdout)

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
                for pass_summary in stretches[name]["passes"].values():
                    self.assertEqual(set(pass_summary), SUMMARY)

    def test_every_measured_frame_is_reported_and_agrees_with_the_summary(self):
        for name, stretch in self.report["stretches"].items():
            with self.subTest(stretch=name):
                frames = stretch["frames_ms"]
                self.assertEqual(len(frames), 2)
                self.assertTrue(all(ms > 0 for ms in frames))
                self.assertAlmostEqual(statistics.median(frames), stretch["frame"]["median_ms"], delta=0.002)
                self.assertAlmostEqual(max(frames), stretch["frame"]["max_ms"], delta=0.002)

    # A row per measured frame, in the report's order, with a time in exactly the columns of its passes.
    def test_frame_table_holds_every_measured_frame_and_its_passes(self):
        header, rows = self.rows[0], self.rows[1:]
        self.assertEqual(header[:3], ["stretch", "frame", "frame_ms"])
        pass_columns = header[3:]
        # A column for every pass a frame may run: the upscale's stays empty at scale 1.
        self.assertEqual({column[:-len("_ms")] for column in pass_columns if column.endswith("_ms")},
                         set().union(*STRETCH_PASSES.values()) | {"upscale"})
        self.assertEqual(len(pass_columns), len(set(pass_columns)))
        expected = [(name, str(index)) for name, stretch in self.report["stretches"].items()
                    for index in range(stretch["frames"])]
        self.assertEqual([tuple(row[:2]) for row in rows], expected)
        for row in rows:
            with self.subTest(stretch=row[0], frame=row[1]):
                self.assertEqual(len(row), len(header))
                stretch = self.report["stretches"][row[0]]
                self.assertEqual(float(row[2]), stretch["frames_ms"][int(row[1])])
                ran = {column[:-len("_ms")] for column, cell in zip(pass_columns, row[3:]) if cell}
                self.assertEqual(ran, STRETCH_PASSES[row[0]])
                self.assertTrue(all(float(cell) >= 0 for cell in row[3:] if cell))

    def test_a_report_compared_with_itself_gives_ratios_of_one(self):
        code, lines = self.self_comparison
        self.assertEqual(code, 0)
        rows = [line for line in lines if re.match(r"^(\S+)?\s+\S+(\s+\d+\.\d){2}", line)]
        # The start-up phases, and per stretch its frame and passes.
        self.assertEqual(len(rows), len(PHASES) + sum(1 + len(p) for p in STRETCH_PASSES.values()))
        for row in rows:
            self.assertRegex(row, r"(\s+1\.00)+$")


class Unwritable(unittest.TestCase):
    def test_a_table_that_cannot_be_written_fails_the_run(self):
        path = os.path.join(tempfile.gettempdir(), "missing-folder-%d" % os.getpid(), "frames.csv")
        result = subprocess.run([BENCHMARK, "--frames", "1", "--warmup", "0", "--only", "bloom", "--csv", path],
                                cwd=DEMO_DIR, capture_output=True, text=True, timeout=600)
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertIn("could not write " + path, result.stderr)


class Comparison(unittest.TestCase):
    def test_ratios_are_b_over_a_per_phase_stretch_and_pass(self):
        a = small_report({"window": 100.0, "textures": 40.0},
                         {"bloom": (summary(100.0, 120.0), {"shadow": summary(20.0, 30.0),
                                                             "bloom": summary(10.0, 10.0)}),
                          "dof": (summary(300.0, 300.0), {})})
        b = small_report({"window": 80.0, "textures": 60.0},
                         {"bloom": (summary(50.0, 60.0), {"shadow": summary(30.0, 30.0),
                                                           "quad": summary(5.0, 5.0)}),
                          "walk": (summary(200.0, 200.0), {})})
        with tempfile.TemporaryDirectory() as folder:
            paths = []
            for name, report in (("a.json", a), ("b.json", b)):
                paths.append(os.path.join(folder, name))
                with open(paths[-1], "w") as out:
                    json.dump(report, out)
            code, lines = compare(*paths)
        self.assertEqual(code, 0)
        self.assertIn("B/A: B's milliseconds divided by A's; below 1.00 B is faster.", lines)
        for row in [r"  window\s+100\.0\s+80\.0\s+0\.80", r"  textures\s+40\.0\s+60\.0\s+1\.50",
                    r"bloom\s+frame\s+100\.0\s+50\.0\s+0\.50\s+0\.50", r"\s+shadow\s+20\.0\s+30\.0\s+1\.50\s+1\.00",
                    r"\s+bloom\s+10\.0\s+-\s+only in A", r"\s+quad\s+-\s+5\.0\s+only in B",
                    r"dof\s+frame\s+300\.0\s+-\s+only in A", r"walk\s+frame\s+-\s+200\.0\s+only in B"]:
            with self.subTest(row=row):
                self.assertTrue(any(re.fullmatch(row, line) for line in lines), "\n".join(lines))


if __name__ == "__main__":
    unittest.main()
