"""The viewer's additions in the real program: its command line, finding its data from any working
directory, pause, seeks, fullscreen, the overlay, screenshots and a resizable window. Screenshots of one
state are compared exactly: llvmpipe renders the same state to the same pixels."""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

from PIL import Image, ImageChops

from demo_process import BINARY, DemoRun, is_frame_rate_line, program_env
from test_bad_input import shows_a_picture
from test_lifecycle import SHADER_FILES
from picture_compare import assert_close, share_beyond
from test_reference_frames import reference_path

# The window's pixels on the screen and the capture tool's read of its back buffer differ along the edges
# of triangles (the multisampled pixels), so the opening view is compared with its reference coarsely.
# Any other moment of the flight differs from it almost everywhere.
COARSE_SIZE, COARSE_LEVELS, COARSE_SHARE = (256, 192), 8, 0.05


def settle(run):
    """Waits until at least two frames have been drawn after the last key: a frame that moves a path on to
    its next segment still shows the old spot, and ImGui shows a new panel from its second frame on. The
    frame rate is printed at the start of a frame, so the third line is the sure sign."""
    run.frames_after(3)


def shot(run, folder):
    return Image.open(run.screenshot(tempfile.mktemp(suffix=".png", dir=folder))).convert("RGB")


def same(a, b):
    return ImageChops.difference(a, b).getbbox() is None


class CommandLine(unittest.TestCase):
    def run_program(self, *args):
        # Without a display, any step towards a window would complain on standard error.
        return subprocess.run([BINARY, *args], cwd="/", env=program_env({"DISPLAY": ""}), capture_output=True,
                              text=True, timeout=60)

    def test_bad_command_lines_and_no_data_folder_end_before_the_window(self):
        for args in (["--size", "0x0"], ["--size", "99999x99999"], ["--size", "abc"], ["--start", "-5"],
                     ["--scale", "0"], ["--scale", "2"], ["--scale", "x"], ["--target-fps", "0"],
                     ["--target-fps", "-3"], ["--data", "/nonexistent"], ["--unknown"]):
            with self.subTest(args=args):
                result = self.run_program(*args)
                self.assertEqual(result.returncode, 2, result.stderr)
                self.assertEqual(result.stdout, "")
                self.assertIn("ERROR", result.stderr)
                self.assertIn("Usage", result.stderr)
                self.assertNotIn("GLFW", result.stderr)
        with tempfile.TemporaryDirectory() as empty:
            result = self.run_program("--data", empty)
        self.assertEqual(result.returncode, 1)
        # Not a word from the soundtrack, which was never tried.
        self.assertEqual(result.stdout, "")
        self.assertEqual(len(result.stderr.splitlines()), 1, result.stderr)
        self.assertIn(empty, result.stderr)


class Viewer(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="viewer-")
        self.addCleanup(shutil.rmtree, self.folder, True)

    def test_from_root_pause_seek_restart_and_overlay_with_an_unchanged_console(self):
        run = DemoRun(workdir="/")
        try:
            self.assertIsNotNone(run.wait_for_frame_rate(count=2), "".join(run.stdout + run.stderr))
            run.key("space")
            settle(run)
            paused = shot(run, self.folder)
            time.sleep(2)
            settle(run)
            self.assertTrue(same(paused, shot(run, self.folder)), "the paused picture moved")
            run.key("Next")
            settle(run)
            self.assertFalse(same(paused, shot(run, self.folder)), "seeking did not change the picture")
            run.key("Home")
            settle(run)
            opening = shot(run, self.folder)
            run.key("F12")
            settle(run)
            overlay = ImageChops.difference(opening, shot(run, self.folder)).getbbox()
            run.key("F12")
            settle(run)
            self.assertTrue(same(opening, shot(run, self.folder)), "the overlay did not go")
            run.key("Escape")
            self.assertEqual(run.wait(), 0)
        finally:
            run.kill()
        # The overlay is a panel at the top left, over a picture otherwise unchanged.
        self.assertIsNotNone(overlay, "no overlay")
        self.assertLess(overlay[0], 50)
        self.assertLess(overlay[2], opening.width * 3 // 4)
        if os.path.exists(reference_path(0)):
            reference = Image.open(reference_path(0)).convert("RGB").resize(COARSE_SIZE, Image.BOX)
            assert_close(self, opening.resize(COARSE_SIZE, Image.BOX), reference, "viewer_home", COARSE_LEVELS,
                         COARSE_SHARE, "Home did not bring back the opening view")
        # The console as without the new keys: the start-up lines, then only the frame rate.
        compiled = [l[len("Compiling shader : "):-1] for l in run.stdout if l.startswith("Compiling shader : ")]
        self.assertEqual(compiled, [path for program in SHADER_FILES for path in program])
        assert_frame_rates_only_after_start(self, run.stdout)
        self.assertEqual(run.stderr, [])

    def test_fullscreen_fills_a_screen_larger_than_the_window_and_mute_needs_no_audio_device(self):
        screen = [int(side) for side in subprocess.run(["xdotool", "getdisplaygeometry"], check=True,
                                                       capture_output=True, text=True).stdout.split()]
        window = (screen[0] * 5 // 8, screen[1] * 5 // 8)
        run = DemoRun(args=["--size", "%dx%d" % window, "--mute"], env={"SDL_AUDIODRIVER": "no-such-driver"})
        outside = (window[0], window[1]) + tuple(screen)
        try:
            self.assertIsNotNone(run.wait_for_frame_rate(count=2), "".join(run.stdout + run.stderr))
            self.assertFalse(shows_a_picture(shot(run, self.folder).crop(outside)))
            fullscreen = shot_after_key(run, "F11", self.folder)
            windowed = shot_after_key(run, "F11", self.folder)
            run.key("Escape")
            self.assertEqual(run.wait(), 0)
        finally:
            run.kill()
        self.assertTrue(shows_a_picture(fullscreen.crop(outside)), "fullscreen leaves the screen's corner empty")
        self.assertFalse(shows_a_picture(windowed.crop(outside)), "F11 did not bring the window back")
        self.assertTrue(shows_a_picture(windowed.crop((0, 0) + window)))
        self.assertEqual(run.stderr, [])


def shot_after_key(run, key, folder):
    run.key(key)
    settle(run)
    return shot(run, folder)


def assert_frame_rates_only_after_start(test, stdout):
    """The console as without the new keys and options: after the start-up lines, only the frame rate."""
    first_frame = next(i for i, line in enumerate(stdout) if is_frame_rate_line(line))
    test.assertTrue(all(is_frame_rate_line(line) for line in stdout[first_frame:]), stdout)


def window_property(run, name):
    return subprocess.run(["xprop", "-id", run.window_id(), name], check=True, capture_output=True, text=True,
                          timeout=30).stdout


def wait_for_error_line(run, text, frames=10):
    """The first line of standard error holding `text`, looked for while `frames` frame-rate lines pass."""
    for _ in range(frames):
        run.frames_after(1)
        line = next((l for l in run.stderr if text in l), None)
        if line:
            return line
    return None


class Screenshots(unittest.TestCase):
    def setUp(self):
        self.home = tempfile.mkdtemp(prefix="home-")
        self.addCleanup(shutil.rmtree, self.home, True)
        self.env = {"HOME": self.home, "XDG_CONFIG_HOME": ""}

    def test_f9_saves_the_window_without_the_overlay_into_pictures_and_the_class_is_the_programs(self):
        pictures = os.path.join(self.home, "Pictures")
        os.mkdir(pictures)
        run = DemoRun(workdir="/", env=self.env)
        try:
            self.assertIsNotNone(run.wait_for_frame_rate(count=2), "".join(run.stdout + run.stderr))
            window_class = window_property(run, "WM_CLASS")
            run.key("space", "F12")
            settle(run)
            run.key("F9")
            saved = wait_for_error_line(run, "Screenshot saved")
            with_overlay = shot(run, self.home)
            without_overlay = shot_after_key(run, "F12", self.home)
            run.key("Escape")
            self.assertEqual(run.wait(), 0)
        finally:
            run.kill()
        self.assertIn('"tellmarin", "tellmarin"', window_class)
        files = os.listdir(pictures)
        self.assertEqual(len(files), 1, files)
        self.assertRegex(files[0], r"^tellmarin-\d{3}\.\ds\.png$")
        self.assertIn(os.path.join(pictures, files[0]), saved or "")
        picture = Image.open(os.path.join(pictures, files[0])).convert("RGB")
        self.assertEqual(picture.size, (1024, 768))
        coarse = lambda image: image.resize(COARSE_SIZE, Image.BOX)
        self.assertLessEqual(share_beyond(coarse(picture), coarse(without_overlay), COARSE_LEVELS), COARSE_SHARE)
        self.assertGreater(share_beyond(coarse(picture), coarse(with_overlay), COARSE_LEVELS), COARSE_SHARE)
        assert_frame_rates_only_after_start(self, run.stdout)
        self.assertEqual(run.stderr, [saved])

    def test_an_unwritable_pictures_folder_is_reported_and_the_resizable_window_goes_on(self):
        config = os.path.join(self.home, ".config")
        os.mkdir(config)
        with open(os.path.join(config, "user-dirs.dirs"), "w") as dirs:
            dirs.write('XDG_PICTURES_DIR="/proc"\n')
        run = DemoRun(workdir="/", env=dict(self.env, XDG_CONFIG_HOME=config), args=["--resizable", "--vsync"])
        try:
            self.assertIsNotNone(run.wait_for_frame_rate(count=2), "".join(run.stdout + run.stderr))
            run.key("F9")
            failure = wait_for_error_line(run, "Could not save")
            hints = window_property(run, "WM_NORMAL_HINTS")
            subprocess.run(["xdotool", "windowsize", "--sync", run.window_id(), "800", "600"], check=True,
                           timeout=30)
            settle(run)
            resized = shot(run, self.home)
            run.key("Escape")
            self.assertEqual(run.wait(), 0)
        finally:
            run.kill()
        self.assertIn("/proc/tellmarin-", failure or "")
        self.assertNotIn("maximum size", hints)
        self.assertTrue(shows_a_picture(resized.crop((0, 0, 800, 600))))
        self.assertFalse(shows_a_picture(resized.crop((800, 0, 1024, 768))), "the window kept its size")


if __name__ == "__main__":
    unittest.main()
