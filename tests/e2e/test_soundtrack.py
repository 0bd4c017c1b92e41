import math
import os
import shutil
import signal
import subprocess
import time
import unittest
import wave

import numpy

from demo_process import DemoRun, content_copy

RATE = 44100


def write_mp3_tone(path, seconds, amplitude=8000):
    """A 440 Hz stereo tone, encoded with lame."""
    frames = numpy.round(amplitude * numpy.sin(2 * math.pi * 440 * numpy.arange(int(RATE * seconds)) / RATE))
    wav = path + ".wav"
    with wave.open(wav, "wb") as out:
        out.setnchannels(2)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(numpy.repeat(frames.astype("<i2"), 2).tobytes())
    subprocess.run(["lame", "--quiet", wav, path], check=True)
    os.remove(wav)


def sounding_samples(raw_output):
    """The samples of the mixed output (signed 16-bit, as the demo opens it) that are not silence."""
    mixed = numpy.fromfile(raw_output, numpy.int16).astype(float)
    return mixed[mixed != 0]


class Soundtrack(unittest.TestCase):
    def setUp(self):
        self.root = content_copy()
        self.addCleanup(shutil.rmtree, self.root)
        self.sound = os.path.join(self.root, "sounds", "piano_soundtrack.mp3")
        write_mp3_tone(self.sound, 1.0)

    def start(self, env=None):
        return DemoRun(workdir=os.path.join(self.root, "demo"), env=env)

    def assert_ends_before_the_window(self, message, env=None):
        # Without a display, any step towards the window would complain on standard error.
        run = self.start(dict(env or {}, DISPLAY=""))
        self.assertEqual(run.wait(), 255)
        self.assertEqual("".join(run.stdout), message)
        self.assertNotIn("GLFW", "".join(run.stderr))

    def test_unusable_sound_file_ends_the_program(self):
        with open(self.sound, "rb") as track:
            encoded = track.read()
        damages = {
            "missing": None,
            "empty": b"",
            "truncated": encoded[: len(encoded) // 2],
            "not audio": b"<html><body>not a sound</body></html>\n" * 50,
        }
        for damage, content in damages.items():
            with self.subTest(damage):
                if os.path.exists(self.sound):
                    os.remove(self.sound)
                if content is not None:
                    with open(self.sound, "wb") as track:
                        track.write(content)
                self.assert_ends_before_the_window("Error loading sound file!")

    def test_no_audio_device_ends_the_program(self):
        self.assert_ends_before_the_window("Error initiating fmod system!", {"SDL_AUDIODRIVER": "no-such-driver"})

    def test_plays_at_half_level_and_restarts(self):
        output = os.path.join(self.root, "output.raw")
        decoded = os.path.join(self.root, "decoded.wav")
        subprocess.run(["lame", "--quiet", "--decode", self.sound, decoded], check=True)
        with wave.open(decoded) as source:
            source_level = numpy.sqrt(numpy.mean(numpy.frombuffer(source.readframes(source.getnframes()), "<i2")
                                                 .astype(float) ** 2))
        run = self.start({"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": output})
        try:
            self.assertIsNotNone(run.wait_for_frame_rate(), "".join(run.stdout + run.stderr))
            # More sound than one playback holds: the one-second track has ended and started again.
            deadline = time.monotonic() + 60
            while len(sounding_samples(output)) < 2 * RATE * 1.5 and time.monotonic() < deadline:
                time.sleep(0.2)
            run.key("Escape")
            self.assertEqual(run.wait(), 0)
        finally:
            run.kill()
        sounding = sounding_samples(output)
        self.assertGreater(len(sounding), 2 * RATE * 1.5, "the track did not start again")
        self.assertAlmostEqual(numpy.sqrt(numpy.mean(sounding ** 2)) / source_level, 0.5, delta=0.02)

    def test_control_c_still_ends_the_program(self):
        # A child inherits an ignored SIGINT when the tests themselves run in the background of a script.
        self.addCleanup(signal.signal, signal.SIGINT, signal.signal(signal.SIGINT, signal.default_int_handler))
        run = self.start()
        try:
            self.assertIsNotNone(run.wait_for_frame_rate(), "".join(run.stdout + run.stderr))
            run.proc.send_signal(signal.SIGINT)
            self.assertEqual(run.wait(timeout=30), -signal.SIGINT)
        finally:
            run.kill()


if __name__ == "__main__":
    unittest.main()
