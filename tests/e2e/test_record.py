"""The recorder (tools/record): what a recording holds, picture and sound, and how it fails."""

import os
import shlex
import shutil
import signal
import subprocess
import tempfile
import unittest

import numpy

from capture_tool import capture
from demo_process import SOURCE_DIR, program_env

BINARY = os.environ.get("RECORD_BINARY", "")
JOIN = os.path.join(SOURCE_DIR, "tools", "record", "join.sh")
WORKDIR = os.path.join(SOURCE_DIR, "demo")
SOUNDTRACK = os.path.join(SOURCE_DIR, "sounds", "piano_soundtrack.mp3")
RATE = 44100
AAC_FRAME = 1024
FLIGHT_END = 155.0  # the camera path's last point; the recorder's --to by default
SMALL = "160x120"


def record(out, *options, env=None, timeout=900):
    return subprocess.run([BINARY, "--out", out, *options], cwd=WORKDIR, env=program_env(env),
                          capture_output=True, text=True, timeout=timeout)


def record_in_parts(folder, parts, *options):
    """Records the parts as the notes tell, with GNU parallel, through this machine's own login (-S :) in
    place of other hosts' (-S host1,host2): each job runs in `folder` and leaves part-K.mp4 there."""
    job = 'dir=$PWD; cd %s && %s %s --part {}/%d --out "$dir/part-{}.mp4"' % (
        shlex.quote(WORKDIR), shlex.quote(BINARY), " ".join(options), parts)
    return subprocess.run(["parallel", "-S", ":", "-j", "1", "--workdir", ".", "--return", "part-{}.mp4",
                           "--cleanup", job], input="".join("%d\n" % k for k in range(1, parts + 1)), cwd=folder,
                          env=program_env(), capture_output=True, text=True, timeout=900)


def probe(path, stream, *entries):
    out = subprocess.run(["ffprobe", "-v", "error", "-select_streams", stream, "-show_entries",
                          "stream=" + ",".join(entries), "-of", "default=noprint_wrappers=1", path],
                         capture_output=True, text=True, check=True).stdout
    return dict(line.split("=", 1) for line in out.split())


def frame_times(path):
    out = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v", "-show_entries", "frame=pts_time",
                          "-of", "default=nw=1:nk=1", path], capture_output=True, text=True, check=True).stdout
    return out.split()


def decoded_sound(path):
    """The file's sound from its own time 0 (or from its first sample, if later), as float stereo frames."""
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-map", "0:a", "-f", "s16le", "-ac", "2", "-"],
                         capture_output=True, check=True).stdout
    return numpy.frombuffer(raw, numpy.int16).reshape(-1, 2).astype(float)


def decoded_frames(path, size):
    width, height = (int(side) for side in size.split("x"))
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-map", "0:v", "-f", "rawvideo", "-pix_fmt",
                          "rgb24", "-"], capture_output=True, check=True).stdout
    return numpy.frombuffer(raw, numpy.uint8).reshape(-1, height, width, 3).astype(float)


def psnr(a, b):
    mse = numpy.mean((numpy.asarray(a, float) - numpy.asarray(b, float)) ** 2)
    return 10 * numpy.log10(255.0 ** 2 / mse) if mse > 0 else float("inf")


def rms(samples):
    return numpy.sqrt(numpy.mean(samples ** 2))


class Recording(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="record-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def record(self, name, *options):
        result = record(self.path(name), *options)
        self.assertEqual(result.returncode, 0, result.stderr)
        return self.path(name)

    def assert_same_frames(self, frames, reference, least_psnr):
        """Two encodings of the same pictures: each frame within `least_psnr` dB of its reference, and much
        further off a neighbouring one, as a frame shifted by one would be."""
        self.assertEqual(len(frames), len(reference))
        for index in range(len(reference)):
            same = psnr(frames[index], reference[index])
            self.assertGreater(same, least_psnr, index)
            neighbour = reference[index + 1 if index + 1 < len(reference) else index - 1]
            self.assertGreater(same, psnr(frames[index], neighbour) + 6, index)

    # The flight's last three seconds, where the soundtrack ends and the demo starts it again: 30 frames of
    # the asked size, and three seconds of sound at half the file's level, sample for sample the file as
    # played from the flight's start, whichever side of the last frame its restart falls on; the closing
    # chord dies away, so the sound that runs past the picture clicks nowhere.
    def test_the_flights_end_has_its_frames_and_the_sound_as_played(self):
        track = decoded_sound(SOUNDTRACK)
        start = FLIGHT_END - 3
        out = self.record("end.mp4", "--from", "%.1f" % start, "--fps", "10", "--size", SMALL)

        video = probe(out, "v", "codec_name", "pix_fmt", "width", "height", "nb_frames", "duration")
        self.assertEqual((video["codec_name"], video["pix_fmt"]), ("h264", "yuv420p"))
        self.assertEqual((video["width"], video["height"], video["nb_frames"]), ("160", "120", "30"))
        self.assertAlmostEqual(float(video["duration"]), 3.0, places=3)
        audio = probe(out, "a", "codec_name", "start_time", "duration")
        self.assertEqual(audio["codec_name"], "aac")
        # Cut to whole AAC frames of the flight's grid: it starts and ends within one frame of the picture.
        first = float(audio["start_time"])
        self.assertTrue(0 <= first < AAC_FRAME / RATE, audio)
        self.assertAlmostEqual(first + float(audio["duration"]), 3.0, delta=AAC_FRAME / RATE)

        recorded = decoded_sound(out)
        begin = int(round(start * RATE + first * RATE))
        played = track[numpy.arange(begin, begin + len(recorded)) % len(track)]
        self.assertAlmostEqual(rms(recorded) / rms(played), 0.5, delta=0.015)
        # The closing chord at the very sample where the file has it; the first AAC frame decodes only roughly.
        chord = slice(AAC_FRAME, AAC_FRAME + RATE)
        lags = range(-256, 257)
        match = [numpy.dot(recorded[chord.start + lag:chord.stop + lag, 0], played[chord, 0]) for lag in lags]
        self.assertEqual(lags[int(numpy.argmax(match))], 0)
        whole = slice(AAC_FRAME, None)
        self.assertLess(rms(recorded[whole, 0] - played[whole, 0] / 2), 0.1 * rms(played[whole, 0] / 2))
        self.assertLess(numpy.abs(recorded[-RATE // 4:]).max(), 32768 * 10 ** (-50 / 20))

    # A frame of the recording is the capture tool's frame of that moment, up to the encoder's loss, and
    # closer to it than to the next frame's; with bloom (25 s) and with the depth of field (60 s). Each
    # capture steps from 0 in whole seconds, as the recorder does on its way to the first frame: where the
    # light waits, it waits where the last step in its way left it.
    def test_frames_are_the_capture_tools_frames(self):
        for start in (25, 60):
            captured = capture(WORKDIR, [start, start + 0.1])
            out = self.record("at%d.mp4" % start, "--from", str(start), "--to", "%.1f" % (start + 0.2),
                              "--fps", "10")
            frames = decoded_frames(out, "1024x768")
            self.assertEqual(len(frames), 2)
            for index, moment in enumerate((start, start + 0.1)):
                same = psnr(frames[index], numpy.asarray(captured[moment]))
                other = psnr(frames[1 - index], numpy.asarray(captured[moment]))
                self.assertGreater(same, 35, moment)
                self.assertGreater(same, other + 6, moment)

    # Two recordings of adjacent ranges joined by tools/record/join.sh are one recording of both ranges:
    # the same frames at the same times, and the sound without a gap, an overlap or a click at the join.
    def test_two_parts_joined_are_one_recording(self):
        common = ("--fps", "10", "--size", SMALL)
        parts = [self.record("part%d.mp4" % i, "--from", start, "--to", end, *common)
                 for i, (start, end) in enumerate((("0", "1.5"), ("1.5", "3")))]
        whole = self.record("whole.mp4", "--from", "0", "--to", "3", *common)
        joined = self.path("joined.mp4")
        subprocess.run([JOIN, joined, *parts], check=True, timeout=120)

        self.assertEqual(frame_times(joined), frame_times(whole))
        self.assertEqual(len(frame_times(joined)), 30)
        self.assert_same_frames(decoded_frames(joined, SMALL), decoded_frames(whole, SMALL), 32)

        joined_sound, whole_sound = decoded_sound(joined), decoded_sound(whole)
        self.assertEqual(len(joined_sound), len(whole_sound))
        join = int(1.5 * RATE)
        for begin in range(join - 4 * AAC_FRAME, join + 4 * AAC_FRAME, 256):
            stretch = slice(begin, begin + 256)
            self.assertLess(rms(joined_sound[stretch] - whole_sound[stretch]), 0.1 * rms(whole_sound[stretch]),
                            begin - join)

    # Parts recorded by GNU parallel and joined are one recording of the range: the same frames at the same
    # times, and the sound as a join keeps it.
    def test_parts_recorded_by_gnu_parallel_join_into_one_recording(self):
        common = ("--from", "20", "--to", "21", "--fps", "10", "--size", SMALL)
        result = record_in_parts(self.dir, 2, *common)
        self.assertEqual(result.returncode, 0, result.stderr)
        whole = self.record("whole.mp4", *common)
        joined = self.path("joined.mp4")
        subprocess.run([JOIN, joined, self.path("part-1.mp4"), self.path("part-2.mp4")], check=True, timeout=120)

        self.assertEqual(len(frame_times(joined)), 10)
        self.assertEqual(frame_times(joined), frame_times(whole))
        # Not bit for bit: each part is its own H.264 encoding, the second opening on a key frame where the
        # whole has a predicted one, and the encoder's look-ahead sees other frames after each.
        self.assert_same_frames(decoded_frames(joined, SMALL), decoded_frames(whole, SMALL), 35)

        # Within 3 %, as any join of recordings in parts.
        joined_sound, whole_sound = decoded_sound(joined), decoded_sound(whole)
        self.assertEqual(len(joined_sound), len(whole_sound))
        self.assertLess(rms(joined_sound - whole_sound), 0.03 * rms(whole_sound))


class Failures(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="record-failures-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        self.out = os.path.join(self.dir, "flight.mp4")

    def assert_nothing_written(self):
        folder = os.path.dirname(self.out)
        self.assertEqual(os.listdir(folder) if os.path.isdir(folder) else [], [])

    def assert_fails(self, result, message, code=None):
        self.assertNotEqual(result.returncode, 0)
        if code is not None:
            self.assertEqual(result.returncode, code)
        self.assertIn(message, result.stderr)
        self.assert_nothing_written()

    def test_failures_leave_no_file(self):
        stretch = ("--from", "20", "--to", "23", "--fps", "10", "--size", SMALL)
        with self.subTest("ffmpeg missing"):
            self.assert_fails(record(self.out, *stretch, env={"PATH": "/nonexistent"}), "ffmpeg was not found")
        with self.subTest("output can't be written"):
            self.out = os.path.join(self.dir, "missing", "flight.mp4")
            self.assert_fails(record(self.out, *stretch), "can't write")
            self.out = os.path.join(self.dir, "flight.mp4")
        with self.subTest("ffmpeg dies part-way"):
            fake = tempfile.mkdtemp(prefix="fake-ffmpeg-")
            self.addCleanup(shutil.rmtree, fake)
            with open(os.path.join(fake, "ffmpeg"), "w") as script:
                script.write("#!/bin/sh\nhead -c 200000 >/dev/null\nexit 3\n")
            os.chmod(os.path.join(fake, "ffmpeg"), 0o755)
            result = record(self.out, *stretch, env={"PATH": fake + ":" + os.environ["PATH"]})
            self.assert_fails(result, "ffmpeg stopped after", code=1)
            self.assertIn("exit code 3", result.stderr)
        with self.subTest("Ctrl+C"):
            with subprocess.Popen([BINARY, "--out", self.out, "--from", "20", "--to", "40", "--fps", "10",
                                   "--size", SMALL], cwd=WORKDIR, env=program_env(), stdout=subprocess.DEVNULL,
                                  stderr=subprocess.PIPE, text=True) as proc:
                for line in proc.stderr:
                    if "10%" in line:
                        break
                proc.send_signal(signal.SIGINT)
                stderr = proc.stderr.read()
                self.assertEqual(proc.wait(timeout=60), 130, stderr)
            self.assertIn("interrupted", stderr)
            self.assert_nothing_written()
        with self.subTest("disk full"):
            small = os.path.join(self.dir, "small")
            os.mkdir(small)
            if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", small],
                              capture_output=True).returncode != 0:
                self.skipTest("mounting a small tmpfs needs root")
            self.addCleanup(subprocess.run, ["umount", small])
            self.out = os.path.join(small, "flight.mp4")
            result = record(self.out, *stretch)
            self.assert_fails(result, "No space left on device")
            self.assertIn("record: ffmpeg", result.stderr)


if __name__ == "__main__":
    unittest.main()
