"""The committed soundtrack decodes to a loopable 44.1 kHz stereo piece as long as the flight, with headroom,
at a set loudness, and with its quiet passage and its rise where the flight has them."""
import os
import re
import subprocess
import tempfile
import unittest
import wave

import numpy as np

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SOUNDTRACK = os.path.join(ROOT, "sounds", "piano_soundtrack.mp3")
FLIGHT_SECONDS = 155.0  # the camera path's last point (demo/motion/built_in_paths.cpp)


def decode(path):
    with tempfile.TemporaryDirectory() as scratch:
        wav_path = os.path.join(scratch, "decoded.wav")
        subprocess.run(["lame", "--quiet", "--decode", path, wav_path], check=True)
        with wave.open(wav_path) as decoded:
            rate, channels = decoded.getframerate(), decoded.getnchannels()
            pcm = np.frombuffer(decoded.readframes(decoded.getnframes()), "<i2")
    return rate, channels, pcm.reshape(-1, channels).astype(float) / 32768


def dbfs(samples):
    return 20 * np.log10(max(np.abs(samples).max(), 1e-9))


def rms_db(samples):
    return 10 * np.log10(max(np.mean(samples**2), 1e-18))


def ebur128(path):
    """ffmpeg's integrated loudness (LUFS) and true peak (dBTP) of the file."""
    report = subprocess.run(["ffmpeg", "-nostats", "-i", path, "-af", "ebur128=peak=true", "-f", "null", "-"],
                            capture_output=True, text=True, check=True).stderr
    summary = report[report.rindex("Summary:"):]
    return (float(re.search(r"I:\s+(-?[\d.]+) LUFS", summary).group(1)),
            float(re.search(r"Peak:\s+(-?[\d.]+|-inf) dBFS", summary).group(1)))


class Soundtrack(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.rate, cls.channels, cls.samples = decode(SOUNDTRACK)

    def test_format_and_length(self):
        self.assertEqual((self.rate, self.channels), (44100, 2))
        # the demo restarts the piece when it ends: where the flight ends
        self.assertAlmostEqual(len(self.samples) / self.rate, FLIGHT_SECONDS, delta=1.0)

    def test_level_leaves_headroom_without_offset(self):
        self.assertLess(dbfs(self.samples), -1.0)
        self.assertGreater(dbfs(self.samples), -6.0, "the piece should use most of the range")
        self.assertLess(np.abs(self.samples.mean(axis=0)).max(), 1e-3)

    def test_loudness_and_true_peak(self):
        loudness, true_peak = ebur128(SOUNDTRACK)
        self.assertTrue(-20.0 <= loudness <= -14.0, loudness)
        self.assertLessEqual(true_peak, -1.0)

    def test_restart_is_seamless(self):
        # the piece fades out completely and starts from silence, so looping it clicks nowhere
        self.assertLess(dbfs(self.samples[-self.rate // 2:]), -60.0)
        self.assertLess(dbfs(self.samples[: self.rate // 100]), -60.0)

    def test_plays_throughout(self):
        seconds = len(self.samples) // self.rate
        loudness = [dbfs(self.samples[s * self.rate:(s + 1) * self.rate]) for s in range(seconds - 8)]
        self.assertGreater(min(loudness), -40.0, "no silent gap before the ending")

    def test_follows_the_flight(self):
        def level(start, end):
            return rms_db(self.samples[int(start * self.rate):int(end * self.rate)])

        # quieter under the depth of field (50-70 s) than the rooms before and after it
        self.assertLess(level(51, 69), min(level(30, 49), level(71, 83)) - 6.0)
        # louder as the camera climbs into the vault
        self.assertGreater(level(95, 103), level(83, 90) + 3.0)


if __name__ == "__main__":
    unittest.main()
