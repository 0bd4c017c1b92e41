import os
import shutil
import tempfile
import unittest

from capture_tool import capture
from demo_process import SOURCE_DIR
from scene_content import look_angles, make_content, world


def brightness(image, xy):
    return sum(image.getpixel(xy)) / 3.0


class CaptureOnTheTestScene(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="capture-scene-")
        self.addCleanup(shutil.rmtree, self.root, True)
        make_content(self.root, SOURCE_DIR)
        self.workdir = os.path.join(self.root, "demo")

    def walk(self, eye, target):
        heading, pitch = look_angles(eye, target)
        return "--walk", "%g,%g,%g,%g,%g" % (*eye, heading, pitch)

    # Looking down at the box standing on the floor, the light above its right-hand side: the floor
    # left of the box is in its shadow only while shadow mapping is on; the open floor is the same.
    def test_walk_view_with_and_without_shadows(self):
        view = self.walk(world((150, 1400, 1200)), world((0, 0, -300)))
        light = ("--light", "%g,%g,%g" % world((900, 600, -450)))
        on = capture(self.workdir, [0.5], *view, *light, "--flags", "1,0,1,0")[0.5]
        off = capture(self.workdir, [0.5], *view, *light, "--flags", "0,0,1,0")[0.5]
        self.assertEqual(on.size, (1024, 768))
        # Floor points picked on the pictures: left of the box, and open floor in front of it.
        shadowed, open_floor = (450, 360), (560, 650)
        self.assertLess(brightness(on, shadowed), brightness(off, shadowed) - 30)
        self.assertAlmostEqual(brightness(on, open_floor), brightness(off, open_floor), delta=2)

    # The controlled clock makes the flight reproducible: the same moment reached in different steps,
    # across segment boundaries of the camera path, gives the same picture.
    def test_the_same_moment_reached_in_different_steps_gives_the_same_frame(self):
        direct = capture(self.workdir, [11], "--step", "1")[11]
        stepped = capture(self.workdir, [3, 11], "--step", "0.5")
        self.assertEqual(list(direct.getdata()), list(stepped[11].getdata()))
        self.assertNotEqual(list(stepped[3].getdata()), list(stepped[11].getdata()))

    # The light waits on its path where the last frame before the wait left it: a moment asked for off
    # the step grid, just before the wait, must not move it for the moments after.
    def test_a_moment_off_the_step_grid_leaves_the_later_ones_alone(self):
        alone = capture(self.workdir, [45])[45]
        after_off_grid = capture(self.workdir, [35.5, 45])[45]
        self.assertEqual(list(alone.getdata()), list(after_off_grid.getdata()))


if __name__ == "__main__":
    unittest.main()
