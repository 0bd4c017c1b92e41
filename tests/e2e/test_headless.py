"""The tools without a display: they find the demo's data from any working folder, refuse a data folder
without the data, and end with one line and exit code 1, never a crash, where EGL gives them no display or
no OpenGL 3.3 core context. The runs have no display named, so every tool takes the headless path."""

import os
import subprocess
import tempfile
import unittest

from PIL import Image

from demo_process import program_env

TOOLS = {name: os.environ.get(name.upper() + "_BINARY", "")
         for name in ("capture", "benchmark", "soak", "record")}


def tool_runs(folder):
    """(tool, arguments) of a short run of each tool writing into `folder`."""
    return [
        ("capture", ["--times", "0", "--out", os.path.join(folder, "frames")]),
        ("benchmark", ["--frames", "1", "--warmup", "0", "--only", "bloom"]),
        ("soak", ["--end", "0"]),
        ("record", ["--from", "0", "--to", "0.1", "--fps", "10", "--size", "64x48",
                    "--out", os.path.join(folder, "flight.mp4")]),
    ]


def run(tool, arguments, folder, env=None):
    return subprocess.run([TOOLS[tool], *arguments], cwd=folder, env=program_env(env), capture_output=True,
                          text=True, timeout=300)


@unittest.skipUnless(all(TOOLS.values()), "tool binaries not given (CAPTURE_BINARY, ...)")
class Headless(unittest.TestCase):
    def assert_refused(self, result, message):
        self.assertEqual(result.returncode, 1, result.stderr)
        lines = result.stderr.strip().splitlines()
        self.assertEqual(len(lines), 1, result.stderr)
        self.assertIn(message, lines[0])

    def test_capture_from_another_folder_finds_the_data_and_renders(self):
        with tempfile.TemporaryDirectory() as folder:
            result = run("capture", ["--times", "0", "--out", "frames"], folder)
            self.assertEqual(result.returncode, 0, result.stderr)
            with Image.open(os.path.join(folder, "frames", "frame_0.00.png")) as image:
                self.assertEqual(image.size, (1024, 768))
                # A rendered frame, not an untouched or cleared target: many colours.
                self.assertGreater(len(image.convert("RGB").getcolors(1 << 20)), 1000)

    def test_a_data_folder_without_the_data_is_refused(self):
        with tempfile.TemporaryDirectory() as folder:
            for tool, arguments in tool_runs(folder):
                with self.subTest(tool=tool):
                    result = run(tool, [*arguments, "--data", folder], folder)
                    self.assert_refused(result, "No data folder")

    def test_no_egl_display_or_no_core_context_is_a_message_and_exit_code(self):
        # libglvnd finds no EGL vendor library in an empty list; Mesa told to offer OpenGL 3.2 at most has
        # no 3.3 core context.
        cases = [({"__EGL_VENDOR_LIBRARY_DIRS": "/nonexistent"}, "no EGL display"),
                 ({"MESA_GL_VERSION_OVERRIDE": "3.2"}, "no OpenGL 3.3 core context")]
        with tempfile.TemporaryDirectory() as folder:
            for env, message in cases:
                for tool, arguments in tool_runs(folder):
                    with self.subTest(tool=tool, env=env):
                        self.assert_refused(run(tool, [*arguments, "--headless"], folder, env), message)


if __name__ == "__main__":
    unittest.main()
