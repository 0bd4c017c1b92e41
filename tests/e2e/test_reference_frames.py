"""Frames of the real flight against committed reference pictures, so that an unintended change of the
rendering fails and an intended one updates the references on purpose: run with UPDATE_REFERENCES=1 to
record the current frames as the new references (tests/reference/)."""

import os
import unittest

from PIL import Image

from capture_tool import capture
from demo_process import SOURCE_DIR
from picture_compare import assert_close

REFERENCE_DIR = os.path.join(os.path.dirname(__file__), "..", "reference")
SCENE = os.path.join(SOURCE_DIR, "models", "casa de vacaciones.dae")
TIMES = [0, 10, 30]
# Compared at half size: llvmpipe is deterministic, but builds on other processors may round a few
# pixels differently.
SIZE = (512, 384)
LEVELS = 2
SHARE = 0.01


def reference_path(time):
    return os.path.join(REFERENCE_DIR, "flight_%03d.png" % time)


@unittest.skipUnless(os.path.exists(SCENE), "the house model is not in models/")
class FlightFrames(unittest.TestCase):
    def test_frames_match_their_references(self):
        update = os.environ.get("UPDATE_REFERENCES") == "1"
        if not update and not all(os.path.exists(reference_path(t)) for t in TIMES):
            self.skipTest("no reference pictures; record them with UPDATE_REFERENCES=1")
        frames = capture(os.path.join(SOURCE_DIR, "demo"), TIMES)
        for time in TIMES:
            frame = frames[time].resize(SIZE, Image.BOX)
            if update:
                os.makedirs(REFERENCE_DIR, exist_ok=True)
                frame.save(reference_path(time))
                continue
            reference = Image.open(reference_path(time)).convert("RGB")
            with self.subTest(time=time):
                assert_close(self, frame, reference, "flight_%03d" % time, LEVELS, SHARE,
                             "the frame at %d s differs from %s; if the change is intended, record new "
                             "references with UPDATE_REFERENCES=1" % (time, reference_path(time)))


if __name__ == "__main__":
    unittest.main()
