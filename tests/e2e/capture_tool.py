"""Runs the capture tool (tools/capture) from a demo working directory and loads the frames it writes."""

import os
import subprocess
import tempfile

from PIL import Image

from demo_process import program_env

BINARY = os.environ.get("CAPTURE_BINARY", "")


def capture(workdir, times, *options, timeout=900):
    """Captures the frames at `times` (seconds) with extra command-line `options`; returns time -> image."""
    out = tempfile.mkdtemp(prefix="capture-")
    result = subprocess.run([BINARY, "--times", ",".join("%g" % t for t in times), "--out", out, *options],
                            cwd=workdir, env=program_env(), capture_output=True, text=True, timeout=timeout)
    if result.returncode != 0:
        raise RuntimeError("capture failed (%d): %s" % (result.returncode, result.stderr))
    frames = {}
    for t in times:
        path = os.path.join(out, "frame_%.2f.png" % t)
        frames[t] = Image.open(path).convert("RGB")
        os.remove(path)
    os.rmdir(out)
    return frames
