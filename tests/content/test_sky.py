"""The six sky images form one cube without seams, sky above and land below the horizon.

The box table is restated here on purpose: the images must fit the box the renderer draws,
whatever the generator believes. Texture coordinate t = 0 is an image's bottom row."""
import os
import unittest

import numpy as np
from PIL import Image

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BOX = {
    "top": ([(-3.015, 3, -3.015), (-3.015, 3, 3.015), (3.015, 3, 3.015), (3.015, 3, -3.015)],
            [(1, 1), (0, 1), (0, 0), (1, 0)]),
    "bottom": ([(-3.015, -3, -3.015), (-3.015, -3, 3.015), (3.015, -3, 3.015), (3.015, -3, -3.015)],
               [(1, 0), (1, 1), (0, 1), (0, 0)]),
    "right": ([(-3, -3.015, 3.015), (-3, 3.015, 3.015), (-3, 3.015, -3.015), (-3, -3.015, -3.015)],
              [(0, 0), (0, 1), (1, 1), (1, 0)]),
    "left": ([(3, -3.015, 3.015), (3, 3.015, 3.015), (3, 3.015, -3.015), (3, -3.015, -3.015)],
             [(1, 0), (1, 1), (0, 1), (0, 0)]),
    "front": ([(3.015, -3.015, 3), (3.015, 3.015, 3), (-3.015, 3.015, 3), (-3.015, -3.015, 3)],
              [(1, 0), (1, 1), (0, 1), (0, 0)]),
    "back": ([(3.015, -3.015, -3), (3.015, 3.015, -3), (-3.015, 3.015, -3), (-3.015, -3.015, -3)],
             [(0, 0), (0, 1), (1, 1), (1, 0)]),
}
SIDES = ["right", "left", "front", "back"]
GROUND_Y = -1.0


class Face:
    def __init__(self, name):
        vertices, texcoords = BOX[name]
        path = os.path.join(ROOT, "images", name + ".bmp")
        with Image.open(path) as image:
            self.format, self.mode = image.format, image.mode
            self.pixels = np.asarray(image, dtype=float)
        # texture coordinates are affine in position on the face: solve (s, t, 1) -> position
        st1 = np.column_stack([np.asarray(texcoords, float), np.ones(4)])
        self.to_position, *_ = np.linalg.lstsq(st1, np.asarray(vertices, float), rcond=None)
        self.axis = int(np.argmin(np.ptp(np.asarray(vertices, float), axis=0)))

    def sample(self, points):
        """Bilinear lookup like GL's, at world points on the face's plane."""
        in_plane = [a for a in range(3) if a != self.axis]
        m = self.to_position
        st = np.linalg.solve(m[:2][:, in_plane].T, (points[:, in_plane] - m[2, in_plane]).T).T
        height, width = self.pixels.shape[:2]
        x = st[:, 0] * width - 0.5
        y = (1 - st[:, 1]) * height - 0.5  # rows are stored top first, t = 0 is the bottom row
        x0 = np.clip(np.floor(x).astype(int), 0, width - 2)
        y0 = np.clip(np.floor(y).astype(int), 0, height - 2)
        fx, fy = (x - x0)[:, None], (y - y0)[:, None]
        p = self.pixels
        return ((p[y0, x0] * (1 - fx) + p[y0, x0 + 1] * fx) * (1 - fy)
                + (p[y0 + 1, x0] * (1 - fx) + p[y0 + 1, x0 + 1] * fx) * fy)


def cube_edges():
    """The twelve edges as (face, face, points along the edge)."""
    faces_at = {(1, 3): "top", (1, -3): "bottom", (0, -3): "right", (0, 3): "left", (2, 3): "front",
                (2, -3): "back"}
    along = np.linspace(-3, 3, 601)
    for free in range(3):
        a, b = [axis for axis in range(3) if axis != free]
        for va in (-3, 3):
            for vb in (-3, 3):
                points = np.zeros((along.size, 3))
                points[:, free], points[:, a], points[:, b] = along, va, vb
                yield faces_at[(a, va)], faces_at[(b, vb)], points


class Sky(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.faces = {name: Face(name) for name in BOX}

    def test_images_are_square_24_bit_bitmaps_of_one_size(self):
        sizes = {face.pixels.shape for face in self.faces.values()}
        self.assertEqual(len(sizes), 1)
        height, width, channels = sizes.pop()
        self.assertEqual((height, channels), (width, 3))
        self.assertEqual(width & (width - 1), 0, "power of two")
        for face in self.faces.values():
            self.assertEqual((face.format, face.mode), ("BMP", "RGB"))

    def test_neighbouring_faces_agree_along_every_edge(self):
        for first, second, points in cube_edges():
            with self.subTest(edge=(first, second)):
                difference = np.abs(self.faces[first].sample(points) - self.faces[second].sample(points))
                self.assertLess(difference.max(), 4.0)
                self.assertLess(difference.mean(), 1.0)

    def test_sky_above_and_land_below_the_ground_line_on_every_side(self):
        heights = np.linspace(-2.9, 2.9, 117)
        across = np.linspace(-2.9, 2.9, 59)
        for name in SIDES:
            face = self.faces[name]
            h, w = np.meshgrid(heights, across, indexing="ij")
            points = np.zeros(h.shape + (3,))
            points[..., face.axis] = face.to_position[2, face.axis]  # the face's plane
            points[..., 1] = h
            points[..., 2 if face.axis == 0 else 0] = w
            colours = face.sample(points.reshape(-1, 3)).reshape(h.shape + (3,))
            red, green, blue = colours[..., 0], colours[..., 1], colours[..., 2]
            with self.subTest(face=name):
                self.assertTrue(np.all(blue[h > 0.1] > green[h > 0.1]), "sky above the hills")
                self.assertTrue(np.all(green[h < GROUND_Y - 0.05] > blue[h < GROUND_Y - 0.05]), "land below")
                self.assertTrue(np.all(green[h < GROUND_Y - 0.05] > red[h < GROUND_Y - 0.05]), "land below")

    def test_top_is_sky_and_bottom_is_land(self):
        top, bottom = self.faces["top"].pixels, self.faces["bottom"].pixels
        self.assertTrue(np.all(top[..., 2] > top[..., 0]))
        self.assertTrue(np.all(bottom[..., 1] > bottom[..., 2]))


if __name__ == "__main__":
    unittest.main()
