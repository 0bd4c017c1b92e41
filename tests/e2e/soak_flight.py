"""The soak run (tools/soak): the real start-up and frame loop over the whole flight and past its end, with
a walk-mode excursion that presses every effect key, on a controlled clock, with a soundtrack short enough
to restart several times. The console must be exactly the demo's: the start-up lines, the frame rate once
a clock second and the key confirmations where the keys fall; no GL error, no non-finite colour, and
neither GL objects nor memory may grow after the start-up and its first frames."""

import os
import shutil
import subprocess
import unittest

from demo_process import content_copy, program_env
from test_lifecycle import SHADER_FILES
from test_soundtrack import write_mp3_tone

BINARY = os.environ.get("SOAK_BINARY", "")
STEP = 1.0
END = 170.0  # the flight ends at 155 s, the light at 125 s
SAMPLE = 5.0
KEYS = [(100, "F10"), (101, "F1"), (102, "F2"), (103, "F3"), (104, "F4"), (105, "F5"), (106, "F5"),
        (107, "F5"), (108, "F5"), (109, "F4"), (110, "F3"), (111, "F2"), (112, "F1"), (113, "F10")]
EFFECTS = {"F1": "Shadow Mapping", "F2": "Bloom effect", "F3": "Normal Mapping", "F4": "Dof"}
# Resident memory grows while the driver compiles code for each way of drawing a frame, on its first use;
# the flight's last new one is the depth of field's single-sample scene from 51 s. From the first sample
# after that on, the process must stay within this of it.
SETTLED_AT = 55.0
STEADY_GROWTH_KIB = 2048


def expected_console():
    lines = []
    for program in SHADER_FILES:
        for path in program:
            lines += ["Compiling shader : %s\n" % path, "\n"]
        lines += ["Linking program\n", "\n"]
    # Shadows, bloom and normal mapping start on; depth of field is off outside the flight's 50 s to 70 s.
    effects = {"F1": True, "F2": True, "F3": True, "F4": False}
    walking = False
    keys = list(KEYS)
    counted, window_start = 0, 0.0
    frame = 0
    while frame * STEP <= END:
        time = frame * STEP
        while keys and keys[0][0] <= time:
            key = keys.pop(0)[1]
            if key == "F10":
                walking = not walking
                lines.append("walkit changed. \n")
            elif walking and key == "F5":
                lines.append("Dof show changed. \n")
            elif walking:
                effects[key] = not effects[key]
                lines.append("%s %s. \n" % (EFFECTS[key], "enabled" if effects[key] else "disabled"))
        counted += 1
        if time - window_start >= 1.0:
            lines.append("%f\n" % (counted / (time - window_start)))
            counted, window_start = 0, time
        frame += 1
    return lines, frame


def parse_report(stderr):
    report, rss = {}, {}
    for line in stderr.splitlines():
        name, *values = line.split()
        if name == "rss_kib_at":
            rss[float(values[0])] = int(values[1])
        else:
            report[name] = [int(v, 0) if v.lstrip("-").isdigit() else v for v in values]
    return report, rss


@unittest.skipUnless(BINARY, "no soak binary given (SOAK_BINARY)")
class Soak(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = content_copy()
        write_mp3_tone(os.path.join(cls.root, "sounds", "piano_soundtrack.mp3"), 2.0)
        keys = ",".join("%g:%s" % key for key in KEYS)
        cls.result = subprocess.run([BINARY, "--step", str(STEP), "--end", str(END), "--sample", str(SAMPLE),
                                     "--keys", keys], cwd=os.path.join(cls.root, "demo"), env=program_env(),
                                    capture_output=True, text=True, timeout=1800)
        cls.report, cls.rss = parse_report(cls.result.stderr)
        print(cls.result.stderr)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.root, True)

    def test_runs_the_whole_flight_with_exactly_the_demos_console(self):
        self.assertEqual(self.result.returncode, 0, self.result.stderr)
        lines, frames = expected_console()
        self.assertEqual(self.result.stdout.splitlines(keepends=True), lines)
        self.assertEqual(self.report["frames"], [frames])
        periodic = {i * SAMPLE for i in range(int(END // SAMPLE) + 1)}
        self.assertEqual(self.report["sampled_frames"], [len(periodic | {time for time, _ in KEYS})])
        self.assertGreater(self.report["music_restarts"][0], 0)

    def test_no_gl_error_and_no_non_finite_colour(self):
        self.assertEqual(self.report["gl_errors"], [0], self.result.stderr)
        self.assertEqual(self.report["non_finite_pixels"], [0])
        self.assertEqual(self.report["nan_signature_pixels"], [0])

    def test_neither_gl_objects_nor_memory_grow(self):
        self.assertEqual(self.report["gl_objects_at_end"], self.report["gl_objects_after_startup"])
        later = [kib for t, kib in self.rss.items() if t > SETTLED_AT] + self.report["rss_kib_at_end"]
        self.assertLessEqual(max(later) - self.rss[SETTLED_AT], STEADY_GROWTH_KIB, self.rss)


if __name__ == "__main__":
    unittest.main()
