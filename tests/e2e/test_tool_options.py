"""Command lines of the tools. A bad value is refused with a message naming its option and exit code 2
before anything renders (the runs have no display, so a tool that went on would render headless and end
with 0 or 1, not 2); the content generators' --help and a bad option write nothing."""

import os
import subprocess
import sys
import tempfile
import unittest

from demo_process import BINARY, SOURCE_DIR, program_env

TOOLS = {name: os.environ.get(name.upper() + "_BINARY", "")
         for name in ("capture", "benchmark", "soak", "record")}
GENERATORS = ["make_sky.py", "make_soundtrack.py", "make_house.py", "check_house.py", "make_icon.py"]
CONTENT_FOLDERS = ["images", "sounds", "models", "packaging"]


def bad_command_lines(folder):
    """(tool, arguments, the option the message names) for each bad command line."""
    report = os.path.join(folder, "report.json")
    with open(report, "w") as out:
        out.write("{}")
    frames = os.path.join(folder, "frames")
    capture = ["--times", "5", "--out", frames]
    record = ["--out", os.path.join(folder, "flight.mp4")]
    return [
        ("capture", ["--times", "5,x", "--out", frames], "--times"),
        ("capture", ["--times", "5,,6", "--out", frames], "--times"),
        ("capture", ["--times", "-1", "--out", frames], "--times"),
        ("capture", ["--times", "nan", "--out", frames], "--times"),
        ("capture", ["--times", "5"], "--out"),
        ("capture", capture + ["--step", "2"], "--step"),
        ("capture", capture + ["--step", "0.5s"], "--step"),
        ("capture", capture + ["--walk", "1,2,3,4"], "--walk"),
        ("capture", capture + ["--flags", "1,1,2,0"], "--flags"),
        ("capture", capture + ["--flags", "1,1,1,0,4"], "--flags"),
        ("capture", capture + ["--light", "1,2,x"], "--light"),
        ("capture", capture + ["--bogus", "1"], "--bogus"),
        ("capture", capture + ["--scale", "0"], "--scale"),
        ("benchmark", ["--frames", "1x"], "--frames"),
        ("benchmark", ["--frames", "0"], "--frames"),
        ("benchmark", ["--warmup", "-1"], "--warmup"),
        ("benchmark", ["--only", "walk,nowhere"], "--only"),
        ("benchmark", ["--compare", report], "--compare"),
        ("benchmark", ["--frames", "2", "--compare", report, report], "--compare"),
        ("benchmark", ["--scale", "2"], "--scale"),
        ("soak", ["--end", "abc"], "--end"),
        ("soak", ["--step", "2"], "--step"),
        ("soak", ["--sample", "0"], "--sample"),
        ("soak", ["--keys", "100:F11"], "--keys"),
        ("soak", ["--keys", "abc:F10"], "--keys"),
        ("soak", ["--keys", "100:F10,"], "--keys"),
        ("record", ["--to", "5"], "--out"),
        ("record", record + ["--size", "0x0"], "--size"),
        ("record", record + ["--size", "abc"], "--size"),
        ("record", record + ["--size", "161x120"], "--size"),
        ("record", record + ["--size", "99999x99999"], "--size"),
        ("record", record + ["--fps", "0"], "--fps"),
        ("record", record + ["--fps", "29.97"], "--fps"),
        ("record", record + ["--fps", "1000"], "--fps"),
        ("record", record + ["--from", "-1"], "--from"),
        ("record", record + ["--from", "10", "--to", "5"], "--from"),
        ("record", record + ["--to", "200"], "--to"),
        ("record", record + ["--to", "nan"], "--to"),
        ("record", record + ["--from", "0.05"], "--from"),
        ("record", record + ["--part", "0/2"], "--part"),
        ("record", record + ["--part", "3/2"], "--part"),
        ("record", record + ["--part", "x"], "--part"),
        ("record", record + ["--part", "1/0"], "--part"),
        ("record", record + ["--from", "20", "--to", "20.1", "--fps", "10", "--part", "1/2"], "--part"),
        ("record", record + ["--scale", "x"], "--scale"),
    ]


def content_files():
    """Every content file with its modification time."""
    stamps = {}
    for folder in CONTENT_FOLDERS:
        for top, _, names in os.walk(os.path.join(SOURCE_DIR, folder)):
            for name in names:
                path = os.path.join(top, name)
                stamps[path] = os.stat(path).st_mtime_ns
    return stamps


class ToolOptions(unittest.TestCase):
    def test_bad_values_are_refused_before_any_window(self):
        env = program_env()
        env.pop("DISPLAY", None)
        with tempfile.TemporaryDirectory() as folder:
            for tool, arguments, option in bad_command_lines(folder):
                with self.subTest(tool=tool, arguments=arguments):
                    result = subprocess.run([TOOLS[tool], *arguments], cwd=os.path.join(SOURCE_DIR, "demo"),
                                            env=env, capture_output=True, text=True, timeout=60)
                    self.assertEqual(result.returncode, 2, result.stderr)
                    self.assertIn(option, result.stderr)
                    self.assertEqual(result.stdout, "")
            self.assertEqual(sorted(os.listdir(folder)), ["report.json"])

    def test_every_program_names_itself_its_version_and_commit(self):
        env = program_env()
        env.pop("DISPLAY", None)
        programs = dict({"tellmarin-" + tool: binary for tool, binary in TOOLS.items()}, tellmarin=BINARY)
        for name, binary in programs.items():
            with self.subTest(program=name):
                result = subprocess.run([binary, "--version"], cwd="/", env=env, capture_output=True, text=True,
                                        timeout=60)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertRegex(result.stdout, r"^%s \d+\.\d+\.\d+\ncommit ([0-9a-f]{40}(-dirty)?|unknown)\n$" % name)
                self.assertEqual(result.stderr, "")

    def test_generators_write_nothing_for_help_or_a_bad_option(self):
        before = content_files()
        for generator in GENERATORS:
            for arguments, code in ((["--help"], 0), (["--bogus"], 2)):
                with self.subTest(generator=generator, arguments=arguments), \
                        tempfile.TemporaryDirectory() as folder:
                    result = subprocess.run(
                        [sys.executable, os.path.join(SOURCE_DIR, "tools", "content", generator), *arguments],
                        cwd=folder, capture_output=True, text=True, timeout=120)
                    self.assertEqual(result.returncode, code, result.stderr)
                    self.assertIn("usage:", result.stdout + result.stderr)
                    self.assertEqual(os.listdir(folder), [])
        self.assertEqual(content_files(), before)


if __name__ == "__main__":
    unittest.main()
