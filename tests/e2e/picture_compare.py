"""Pictures compared against what they should look like. A failed comparison leaves the picture, the
expected one and their difference (amplified, so that small differences show) in the report folder, and its
message says where: TEST_REPORT_DIR, which the ctest run sets to test-reports/ in the build folder, or else a
folder under the system's temporary folder."""

import os
import re
import tempfile

from PIL import ImageChops

REPORT_DIR = os.environ.get("TEST_REPORT_DIR") or os.path.join(tempfile.gettempdir(), "tellmarin-test-reports")
# Differences of a few levels are what matter here; scaled up they become visible.
DIFFERENCE_GAIN = 16


def share_beyond(frame, reference, levels):
    """The share of pixels where some channel differs by more than `levels`."""
    difference = ImageChops.difference(frame, reference).getdata()
    return sum(1 for pixel in difference if max(pixel) > levels) / float(len(difference))


def save_difference(name, frame, reference):
    """Writes NAME-frame.png, NAME-reference.png and NAME-difference.png into the report folder; returns the
    difference's path."""
    os.makedirs(REPORT_DIR, exist_ok=True)
    stem = os.path.join(REPORT_DIR, re.sub(r"[^\w.-]", "_", name))
    frame.save(stem + "-frame.png")
    reference.save(stem + "-reference.png")
    ImageChops.difference(frame, reference).point(lambda level: min(255, level * DIFFERENCE_GAIN)).save(
        stem + "-difference.png")
    return stem + "-difference.png"


def assert_close(test, frame, reference, name, levels, share, message):
    """Fails `test` with `message` when more than `share` of the pixels differ by more than `levels`, after
    writing the pictures and their difference for a look."""
    beyond = share_beyond(frame, reference, levels)
    if beyond > share:
        path = save_difference(name, frame, reference)
        test.fail("%s (%.2f%% of the pixels differ by more than %d levels; the difference is in %s)"
                  % (message, 100.0 * beyond, levels, path))
