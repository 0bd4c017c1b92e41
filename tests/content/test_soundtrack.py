"""The committed soundtrack decodes to a loopable 44.1 kHz stereo piece with headroom."""
import os
import subprocess
import tempfile
import unittest
import wave

import numpy as np

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SOUNDTRACK = os.path.join(ROOT, "sounds", "piano_soundtrack.mp3")


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


class Soundtrack(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.rate, cls.channels, cls.samples = decode(SOUNDTRACK)

    def test_format_and_length(self):
        self.assertEqual((self.rate, self.channels), (44100, 2))
        self.assertGreaterEqual(len(self.samples) / self.rate, 90.0)

    def test_level_leaves_headroom_without_offset(self):
        self.assertLess(dbfs(self.samples), -1.0)
        self.assertGreater(dbfs(self.samples), -6.0, "the piece should use most of the range")
        self.assertLess(np.abs(self.samples.mean(axis=0)).max(), 1e-3)

    def test_restart_is_seamless(self):
        # the piece fades out completely and starts from silence, so looping it clicks nowhere
        self.assertLess(dbfs(self.samples[-self.rate // 2:]), -60.0)
        self.assertLess(dbfs(self.samples[: self.rate // 100]), -60.0)

    def test_plays_throughout(self):
        seconds = len(self.samples) // self.rate
        loudness = [dbfs(self.samples[s * self.rate:(s + 1) * self.rate]) for s in range(seconds - 8)]
        self.assertGreater(min(loudness), -40.0, "no silent gap before the ending")


if __name__ == "__main__":
    unittest.main()
