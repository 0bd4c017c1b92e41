#!/usr/bin/python3
"""Synthesises the demo's piano piece and encodes it as sounds/piano_soundtrack.mp3.

A gentle piece in D major at 72 bpm: a two-bar introduction, a theme (A), its answer (A'),
a middle part in the relative minor's colour (B), a shortened theme and a coda that
slows down and lets the tonic chord ring out to silence, so the restart from the quiet
introduction follows naturally. Each note is modelled as a pair of slightly detuned
strings with inharmonic partials, a hammer thump, a two-stage decay that is faster for
higher partials, dampers and a sustain pedal; the mix gets a synthetic room reverb.

Deterministic: fixed seeds, no time-dependent input; lame's output is a pure function
of the PCM it is given.
"""
import argparse
import os
import subprocess
import tempfile
import wave

import numpy as np

SAMPLE_RATE = 44100
BEATS_PER_MINUTE = 72
BEATS_PER_BAR = 4
TRANSPOSE = 2  # the score below is written in C major and played in D major
SEED = 20260705
PEAK = 10 ** (-2.0 / 20)  # leaves headroom for the MP3 codec's overshoot
BITRATE_KBPS = 192

# One line per bar: chord symbols (one per half bar when two are given) | melody notes
# as NAME+OCTAVE:BEATS, "r" for a rest. Section marks start with "#".
SCORE = """
# intro p
C | r:4
C | r:4
# theme mp
C  | G4:1 C5:1 E5:1.5 D5:.5
G  | D5:2 B4:1 G4:1
Am | C5:1 E5:1 A5:1.5 G5:.5
F  | F5:2 E5:1 C5:1
C  | E5:1.5 D5:.5 C5:1 E5:1
F  | A5:2 G5:1 F5:1
Dm | F5:1 E5:1 D5:1 A4:1
G  | B4:2 D5:2
# answer mp
C  | G4:1 C5:1 E5:1.5 D5:.5
G  | D5:2 G5:1 F5:1
Am | E5:1.5 D5:.5 C5:1 E5:1
Em | B4:2 G4:2
F  | A4:1 C5:1 F5:1.5 E5:.5
C  | E5:2 G5:2
Dm G | F5:1 D5:1 B4:1 D5:1
C  | C5:4
# middle mf
Am | A5:1.5 G5:.5 E5:2
Em | G5:1.5 E5:.5 B4:2
F  | A5:1 C6:1 A5:1 F5:1
C  | G5:3 E5:1
Dm | F5:1.5 E5:.5 D5:1 F5:1
Am | E5:1.5 D5:.5 C5:1 A4:1
F  | C5:1 D5:1 E5:1 F5:1
G7 | G5:2 F5:1 D5:1
# theme again mp
C  | G4:1 C5:1 E5:1.5 D5:.5
G  | D5:2 B4:1 G4:1
Am | C5:1 E5:1 A5:1.5 G5:.5
F  | F5:2 A5:1 G5:1
# coda p
Dm | A5:1.5 G5:.5 F5:1 E5:1
G7 | D5:2 B4:1 D5:1
C  | C5:2 G4:1 E5:1
C  | C5:6
"""

# Loudness of each section: (melody, accompaniment) key velocities in 0..1.
DYNAMICS = {"p": (0.45, 0.28), "mp": (0.58, 0.34), "mf": (0.68, 0.40)}
# Tempo stretch of the last bars (1 = a tempo); the final bar is held as a fermata.
RITARDANDO = [1.0, 1.08, 1.2, 1.35]
NOTE_OFFSETS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}
CHORD_ROOTS = {"C": 48, "D": 50, "E": 52, "F": 53, "G": 43, "A": 45, "B": 47}
# Left-hand broken chord in eighths, as (interval name, semitones above the root).
ACCOMPANIMENT = ["root", "fifth", "tenth", "fifth", "octave", "fifth", "tenth", "fifth"]


def parse_score(text):
    """Returns bars as dicts: chords (list of (root midi, quality)), melody, dynamic."""
    bars, dynamic = [], "mp"
    for line in text.strip().splitlines():
        line = line.strip()
        if line.startswith("#"):
            dynamic = line.split()[-1]
            continue
        chord_text, melody_text = line.split("|")
        chords = []
        for symbol in chord_text.split():
            quality = symbol[1:]
            chords.append((CHORD_ROOTS[symbol[0]] + TRANSPOSE, quality))
        melody = []
        for token in melody_text.split():
            name, beats = token.split(":")
            pitch = None if name == "r" else NOTE_OFFSETS[name[0]] + 12 * (int(name[1:]) + 1) + TRANSPOSE
            melody.append((pitch, float(beats)))
        bars.append({"chords": chords, "melody": melody, "dynamic": dynamic})
    return bars


def chord_tones(root, quality):
    third = 3 if quality.startswith("m") else 4
    tones = {"root": 0, "fifth": 7, "tenth": 12 + third, "octave": 12}
    if quality == "7":
        tones["octave"] = 10
    return {name: root + interval for name, interval in tones.items()}


class Timeline:
    """Maps bar and beat positions to seconds, with the coda's ritardando."""

    def __init__(self, bars):
        beat = 60.0 / BEATS_PER_MINUTE
        stretch = [1.0] * (len(bars) - len(RITARDANDO)) + RITARDANDO
        self.bar_starts = [0.0]
        self.beat_lengths = []
        for index, bar in enumerate(bars):
            length = beat * stretch[index]
            self.beat_lengths.append(length)
            bar_beats = max(BEATS_PER_BAR, sum(b for _, b in bar["melody"]))
            self.bar_starts.append(self.bar_starts[-1] + bar_beats * length)

    def time(self, bar, beat):
        return self.bar_starts[bar] + beat * self.beat_lengths[bar]


def plan_notes(bars, rng):
    """Lists every key press as (onset s, key-up s, midi, velocity), plus the pedal lifts."""
    timeline = Timeline(bars)
    notes, pedal_lifts = [], []
    lead_in = 0.05
    for index, bar in enumerate(bars):
        melody_velocity, accompaniment_velocity = DYNAMICS[bar["dynamic"]]
        is_last = index == len(bars) - 1
        chords = bar["chords"]
        eighths_per_chord = 8 // len(chords)
        for chord_index, (root, quality) in enumerate(chords):
            change = timeline.time(index, chord_index * 4 / len(chords)) + lead_in
            pedal_lifts.append(change + 0.04)  # legato pedalling: lift just after the new chord sounds
            tones = chord_tones(root, quality)
            if is_last:
                notes += final_chord(change, tones, accompaniment_velocity, rng)
                continue
            for step in range(eighths_per_chord):
                position = chord_index * eighths_per_chord + step
                onset = timeline.time(index, position / 2) + lead_in
                accent = 0.06 if position % 4 == 0 else 0.0
                velocity = accompaniment_velocity + accent + rng.normal(0, 0.02)
                notes.append(humanised(onset, onset + 0.3, tones[ACCOMPANIMENT[step]], velocity, rng))
            if bar["dynamic"] == "mf":
                notes.append(humanised(change, change + 1.0, root - 12, accompaniment_velocity, rng))
        beat = 0.0
        for pitch, beats in bar["melody"]:
            if pitch is not None:
                onset = timeline.time(index, beat) + lead_in
                release = timeline.time(index, beat + beats * 0.92) + lead_in
                lift = 0.06 * (pitch - 74) / 12 + (0.04 if beat == 0 else 0.0)
                velocity = melody_velocity + lift + rng.normal(0, 0.025)
                notes.append(humanised(onset, release, pitch, velocity, rng))
                if bar["dynamic"] == "mf" and pitch >= 76 + TRANSPOSE:
                    notes.append(humanised(onset, release, pitch - 12, velocity * 0.6, rng))
            beat += beats
    end = timeline.bar_starts[-1] + lead_in
    pedal_lifts.append(end + 1.5)
    return notes, sorted(pedal_lifts), end


def final_chord(start, tones, velocity, rng):
    """A soft chord rolled upwards from the low tonic, held under the last melody note."""
    pitches = [tones["root"] - 12, tones["root"] - 5, tones["root"], tones["tenth"] - 12, tones["fifth"],
               tones["octave"], tones["tenth"]]
    return [humanised(start + 0.07 * i, start + 3.0, p, velocity * (1.3 - 0.04 * i), rng)
            for i, p in enumerate(pitches)]


def humanised(onset, release, pitch, velocity, rng):
    shift = rng.normal(0, 0.006)
    return onset + shift, release + shift, pitch, float(np.clip(velocity, 0.15, 0.95))


def damper_time(release, pedal_lifts):
    """The dampers fall when the key is up and the pedal is not holding it."""
    for lift in pedal_lifts:
        if lift >= release:
            return lift
    return release


def piano_note(pitch, velocity, held, rng):
    """One note as a mono signal: detuned string pair, inharmonic partials, hammer, damper."""
    f0 = 440.0 * 2 ** ((pitch - 69) / 12)
    stiffness = 4e-4 * 2 ** (0.9 * (pitch - 60) / 12)
    damper_tau = 0.12 + 0.25 * np.clip((60 - pitch) / 24, 0, 1)
    length = int((held + 6 * damper_tau) * SAMPLE_RATE)
    t = np.arange(length) / SAMPLE_RATE
    damper = np.ones(length)
    damped = t > held
    damper[damped] = np.exp(-(t[damped] - held) / damper_tau)

    out = np.zeros(length)
    brightness = 1.9 - 1.0 * velocity
    detune = 2 ** (rng.uniform(0.15, 0.7) / 1200)
    for n in range(1, 49):
        fn = n * f0 * np.sqrt(1 + stiffness * n * n)
        if fn > 12000:
            break
        amplitude = abs(np.sin(np.pi * n / 7.3)) / n**brightness * (1 - fn / 12000) ** 2
        tau = 1.0 / (0.3 + fn / 450.0)
        # each partial is computed only until its slow decay falls below -100 dB of the note
        active = min(length, int(4 * tau * np.log(max(2.0, 0.28 * amplitude * 1e5)) * SAMPLE_RATE))
        tn = t[:active]
        envelope = 0.72 * np.exp(-tn / tau) + 0.28 * np.exp(-tn / (4 * tau))
        phase = rng.uniform(0, 2 * np.pi)
        strings = np.sin(2 * np.pi * fn * tn + phase) + 0.8 * np.sin(2 * np.pi * fn * detune * tn + phase)
        out[:active] += amplitude * envelope * strings

    attack = 1 - np.exp(-t / (0.0008 + 0.002 * (1 - velocity)))
    out *= attack * damper
    thump_length = int(0.03 * SAMPLE_RATE)
    kernel = np.hanning(max(3, int(SAMPLE_RATE / (4 * f0 + 1500))))
    thump = np.convolve(rng.normal(0, 1, thump_length), kernel / kernel.sum(), mode="same")
    thump -= thump.mean()
    out[:thump_length] += 0.5 * thump * np.exp(-t[:thump_length] / 0.006)
    loudness = velocity ** 1.7 * (1.0 - 0.25 * np.clip((pitch - 72) / 24, 0, 1))
    return loudness * out


def pan_gains(pitch):
    """Low notes to the left, high to the right, as the pianist hears them; equal power."""
    pan = np.clip((pitch - 62) / 30, -1, 1) * 0.35
    angle = (pan + 1) * np.pi / 4
    return np.cos(angle), np.sin(angle)


def room_impulse(rng):
    """Stereo reverb tail: decorrelated noise whose highs die out faster than its lows."""
    length = int(2.4 * SAMPLE_RATE)
    t = np.arange(length) / SAMPLE_RATE
    spectrum_freqs = np.fft.rfftfreq(length, 1 / SAMPLE_RATE)
    channels = []
    for _ in range(2):
        response = np.zeros(length)
        for low, high, decay in ((0, 800, 0.55), (800, 3500, 0.38), (3500, SAMPLE_RATE, 0.2)):
            spectrum = np.fft.rfft(rng.normal(0, 1, length))
            spectrum[(spectrum_freqs < low) | (spectrum_freqs >= high)] = 0
            response += np.fft.irfft(spectrum, length) * np.exp(-t / decay)
        response[: int(0.018 * SAMPLE_RATE)] = 0  # pre-delay
        channels.append(response / np.sqrt(np.sum(response**2)))
    return np.stack(channels)


def convolve(signal, impulse):
    size = 1 << int(np.ceil(np.log2(len(signal) + len(impulse))))
    return np.fft.irfft(np.fft.rfft(signal, size) * np.fft.rfft(impulse, size), size)[: len(signal)]


def render(bars):
    rng = np.random.default_rng(SEED)
    notes, pedal_lifts, end = plan_notes(bars, rng)
    total = int((end + 5.0) * SAMPLE_RATE)
    dry = np.zeros((2, total))
    for onset, release, pitch, velocity in notes:
        held = damper_time(release, pedal_lifts) - onset
        signal = piano_note(pitch, velocity, held, rng)
        start = int(round(onset * SAMPLE_RATE))
        stop = min(total, start + len(signal))
        left, right = pan_gains(pitch)
        dry[0, start:stop] += left * signal[: stop - start]
        dry[1, start:stop] += right * signal[: stop - start]
    impulse = room_impulse(rng)
    wet = np.stack([convolve(dry[0], impulse[0]), convolve(dry[1], impulse[1])])
    mix = dry + 0.35 * wet
    mix -= mix.mean(axis=1, keepdims=True)
    fade = int(1.0 * SAMPLE_RATE)
    mix[:, -fade:] *= np.linspace(1, 0, fade) ** 2
    return mix * (PEAK / np.abs(mix).max()), rng


def write_wav(path, mix, rng):
    dither = rng.uniform(-0.5, 0.5, mix.shape) + rng.uniform(-0.5, 0.5, mix.shape)
    pcm = np.clip(np.round(mix * 32767 + dither), -32768, 32767).astype("<i2")
    with wave.open(path, "wb") as out:
        out.setnchannels(2)
        out.setsampwidth(2)
        out.setframerate(SAMPLE_RATE)
        out.writeframes(pcm.T.tobytes())


def encode_mp3(wav_path, mp3_path):
    subprocess.run(["lame", "--quiet", "--noreplaygain", "--cbr", "-b", str(BITRATE_KBPS), "-q", "2", "-m", "j",
                    wav_path, mp3_path], check=True)


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", nargs="?", default=os.path.join(root, "sounds", "piano_soundtrack.mp3"),
                        help="the MP3 file to write (default: sounds/piano_soundtrack.mp3 in the repository)")
    output = parser.parse_args().output
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    mix, rng = render(parse_score(SCORE))
    with tempfile.TemporaryDirectory() as scratch:
        wav_path = os.path.join(scratch, "soundtrack.wav")
        write_wav(wav_path, mix, rng)
        encode_mp3(wav_path, output)
    print(f"{output}: {mix.shape[1] / SAMPLE_RATE:.1f} s")


if __name__ == "__main__":
    main()
