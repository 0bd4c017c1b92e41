#!/usr/bin/python3
"""Synthesises the demo's piano piece and encodes it as sounds/piano_soundtrack.mp3.

A gentle piece in D major that lasts exactly as long as the camera's flight (155 s), its
sections placed on the flight's parts: an opening for the arrival (0 s), the theme and
its answer inside the house (10 s), a quiet, slower passage under the depth of field
(50-70 s), the theme again, a rise with a crescendo while the camera climbs into the
vault (83-103 s), a fuller middle part upstairs, and a coda that slows down into a
closing cadence whose tonic chord rings out to silence at the flight's end, where the
demo restarts the piece from its quiet opening.

Each note is modelled as a pair of slightly detuned strings with inharmonic partials, a
hammer thump, a two-stage decay that is faster for higher partials, dampers and a
sustain pedal; the mix gets a synthetic room reverb and is scaled to a set integrated
loudness (ITU-R BS.1770), or less where a true-peak ceiling comes first; the encoded file
is decoded and measured again before it is written.

Deterministic: fixed seeds, no time-dependent input; lame's output is a pure function
of the PCM it is given.
"""
import argparse
import os
import shutil
import subprocess
import tempfile
import wave

import numpy as np

SAMPLE_RATE = 44100
LENGTH_SECONDS = 155.0  # the camera's flight
BEATS_PER_BAR = 4
TRANSPOSE = 2  # the score below is written in C major and played in D major
SEED = 20260705
TARGET_LOUDNESS_LUFS = -16.0
# Below the -1 dBTP that the encoded file must keep: the MP3 codec overshoots a little.
TRUE_PEAK_CEILING_DBTP = -1.6
ENCODED_LOUDNESS_RANGE_LUFS = (-20.0, -14.0)
ENCODED_TRUE_PEAK_LIMIT_DBTP = -1.0
BITRATE_KBPS = 192

# One line per bar: chord symbols (one per half bar when two are given) | melody notes
# as NAME+OCTAVE:BEATS, "r" for a rest. A section starts with "# NAME DYNAMIC BPM STYLE"; a
# dynamic "p<f" is a crescendo over the section's bars. The times are where each section
# starts in the flight.
SCORE = """
# arrival p 72 broken  (0 s)
C  | r:4
Am | r:2 E5:1 G5:1
F G | A5:1.5 G5:.5 D5:2
# theme mp 72 broken  (10 s: inside, under the gallery)
C  | G4:1 C5:1 E5:1.5 D5:.5
G  | D5:2 B4:1 G4:1
Am | C5:1 E5:1 A5:1.5 G5:.5
F  | F5:2 E5:1 C5:1
C  | E5:1.5 D5:.5 C5:1 E5:1
F  | A5:2 G5:1 F5:1
Dm | F5:1 E5:1 D5:1 A4:1
G  | B4:2 D5:2
# answer mp 72 broken  (36.7 s)
C  | G4:1 C5:1 E5:1.5 D5:.5
F  | A4:1 C5:1 F5:1.5 E5:.5
Dm G | F5:1 D5:1 B4:1 D5:1
C  | C5:4
# still pp 60 still  (50 s: under the depth of field)
Am | E5:3 C5:1
F  | A4:4
Dm | F5:2 E5:1 D5:1
Em | G4:2 B4:2
F G | A4:2 B4:2
# return mp 72 broken  (70 s)
C  | G4:1 C5:1 E5:1.5 D5:.5
G  | D5:2 B4:1 G4:1
Am | C5:1 E5:1 A5:1.5 G5:.5
F  | F5:2 E5:1 C5:1
# rise p<f 72 full  (83.3 s: the climb into the vault)
Dm | D5:1 F5:1 A5:2
Em | E5:1 G5:1 B5:2
F  | F5:1 A5:1 C6:2
G  | G5:1 B5:1 D6:2
Am F | E6:1 C6:1 A5:1 C6:1
G7 | D6:2 B5:1 G5:1
# upstairs mf 72 full  (103.3 s)
C  | E6:1.5 D6:.5 C6:2
Am | A5:1.5 G5:.5 E5:2
Em | G5:1.5 E5:.5 B4:2
F  | A5:1 C6:1 A5:1 F5:1
C  | G5:3 E5:1
Dm | F5:1.5 E5:.5 D5:1 F5:1
Am | E5:1.5 D5:.5 C5:1 A4:1
G7 | G5:2 F5:1 D5:1
# theme mp 72 broken  (130 s)
C  | G4:1 C5:1 E5:1.5 D5:.5
Am | C5:1 E5:1 A5:1.5 G5:.5
# coda p 72 broken  (136.7 s; the closing cadence, its last chord from 147.8 s)
Dm | A5:1.5 G5:.5 F5:1 E5:1
G7 | D5:2 B4:1 D5:1
C  | C5:2 G4:1 E5:1
C  | C5:4
"""

# Key velocities in 0..1 of each dynamic: (melody, accompaniment).
DYNAMICS = {"pp": (0.38, 0.22), "p": (0.45, 0.28), "mp": (0.58, 0.34), "mf": (0.68, 0.40), "f": (0.76, 0.46)}
# Tempo stretch of the last bars (1 = a tempo).
RITARDANDO = [1.0, 1.1, 1.25, 1.35]
# The last chord rings this long under the pedal; then the dampers fall and the room dies away.
FINAL_RING_SECONDS = 4.0
RING_OUT_SECONDS = 3.0
NOTE_OFFSETS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}
CHORD_ROOTS = {"C": 48, "D": 50, "E": 52, "F": 53, "G": 43, "A": 45, "B": 47}
# Left-hand broken chord in eighths, as (interval name, semitones above the root).
ACCOMPANIMENT = ["root", "fifth", "tenth", "fifth", "octave", "fifth", "tenth", "fifth"]
# The left hand's chord of the still passage, rolled upwards twice a bar.
ROLLED = ["root", "fifth", "tenth"]


def parse_score(text):
    """Returns bars as dicts: chords (list of (root midi, quality)), melody, velocities, bpm, style."""
    bars = []
    for section in text.strip().split("#")[1:]:
        header, *lines = section.strip().splitlines()
        _, dynamic, bpm, style = header.split()[:4]
        for index, line in enumerate(lines):
            chord_text, melody_text = line.split("|")
            bars.append({"chords": [parse_chord(symbol) for symbol in chord_text.split()],
                         "melody": [parse_note(token) for token in melody_text.split()],
                         "velocities": section_velocities(dynamic, index / max(1, len(lines) - 1)),
                         "bpm": float(bpm), "style": style})
    return bars


def parse_chord(symbol):
    return CHORD_ROOTS[symbol[0]] + TRANSPOSE, symbol[1:]


def parse_note(token):
    name, beats = token.split(":")
    pitch = None if name == "r" else NOTE_OFFSETS[name[0]] + 12 * (int(name[1:]) + 1) + TRANSPOSE
    return pitch, float(beats)


def section_velocities(dynamic, progress):
    """The (melody, accompaniment) velocities at `progress` (0..1) through a section."""
    start, _, end = dynamic.partition("<")
    low, high = DYNAMICS[start], DYNAMICS[end or start]
    return tuple(a + (b - a) * progress for a, b in zip(low, high))


def chord_tones(root, quality):
    third = 3 if quality.startswith("m") else 4
    tones = {"root": 0, "fifth": 7, "tenth": 12 + third, "octave": 12}
    if quality == "7":
        tones["octave"] = 10
    return {name: root + interval for name, interval in tones.items()}


class Timeline:
    """Maps bar and beat positions to seconds: each section's tempo, the coda's ritardando."""

    def __init__(self, bars):
        stretch = [1.0] * (len(bars) - len(RITARDANDO)) + RITARDANDO
        self.bar_starts = [0.0]
        self.beat_lengths = []
        for index, bar in enumerate(bars):
            length = 60.0 / bar["bpm"] * stretch[index]
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
        is_last = index == len(bars) - 1
        for chord_index in range(len(bar["chords"])):
            change = timeline.time(index, chord_index * 4 / len(bar["chords"])) + lead_in
            pedal_lifts.append(change + 0.04)  # legato pedalling: lift just after the new chord sounds
            if is_last:
                root, quality = bar["chords"][chord_index]
                notes += final_chord(change, chord_tones(root, quality), bar["velocities"][1], rng)
            else:
                notes += left_hand(bar, chord_index, lambda beat: timeline.time(index, beat) + lead_in, rng)
        notes += right_hand(bar, lambda beat: timeline.time(index, beat) + lead_in, rng)
    final_lift = timeline.bar_starts[-2] + lead_in + FINAL_RING_SECONDS
    if final_lift + RING_OUT_SECONDS > LENGTH_SECONDS:
        raise SystemExit(f"the score's last chord at {final_lift:.1f} s leaves no time to ring out")
    pedal_lifts.append(final_lift)
    return notes, sorted(pedal_lifts)


def left_hand(bar, chord_index, seconds, rng):
    """The accompaniment under one chord: broken in eighths, or rolled on each half bar in the still style."""
    root, quality = bar["chords"][chord_index]
    tones = chord_tones(root, quality)
    velocity = bar["velocities"][1]
    chord_beats = BEATS_PER_BAR / len(bar["chords"])
    first = chord_index * chord_beats
    if bar["style"] == "still":
        notes = []
        for beat in np.arange(first, first + chord_beats, 2):
            onset, release = seconds(beat), seconds(beat + 1.9)
            notes += [humanised(onset + 0.09 * i, release, tones[name], velocity * (1 - 0.08 * i), rng)
                      for i, name in enumerate(ROLLED)]
        return notes
    eighths = int(chord_beats * 2)
    notes = []
    for step in range(eighths):
        onset = seconds(first + step / 2)
        accent = 0.06 if (chord_index * eighths + step) % 4 == 0 else 0.0
        notes.append(humanised(onset, onset + 0.3, tones[ACCOMPANIMENT[step]],
                               velocity + accent + rng.normal(0, 0.02), rng))
    if bar["style"] == "full":
        notes.append(humanised(seconds(first), seconds(first) + 1.0, root - 12, velocity, rng))
    return notes


def right_hand(bar, seconds, rng):
    """The melody, phrased: a little louder on the bar's first beat and as it climbs; doubled an octave
    below on the high notes of the full style."""
    notes, beat = [], 0.0
    for pitch, beats in bar["melody"]:
        if pitch is not None:
            onset, release = seconds(beat), seconds(beat + beats * 0.92)
            lift = 0.06 * (pitch - 74) / 12 + (0.04 if beat == 0 else 0.0)
            velocity = bar["velocities"][0] + lift + rng.normal(0, 0.025)
            notes.append(humanised(onset, release, pitch, velocity, rng))
            if bar["style"] == "full" and pitch >= 76 + TRANSPOSE:
                notes.append(humanised(onset, release, pitch - 12, velocity * 0.6, rng))
        beat += beats
    return notes


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
    notes, pedal_lifts = plan_notes(bars, rng)
    total = int(round(LENGTH_SECONDS * SAMPLE_RATE))
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
    return normalised(mix), rng


# BS.1770's K-weighting as its two biquads at 48 kHz: a high shelf around 1.5 kHz, then a high-pass.
K_WEIGHTING = [
    ([1.53512485958697, -2.69169618940638, 1.19839281085285], [1.0, -1.69065929318241, 0.73248077421585]),
    ([1.0, -2.0, 1.0], [1.0, -1.99004745483398, 0.99007225036621]),
]


def k_weighting_gain(freqs):
    """The K-weighting's magnitude at these frequencies; the 48 kHz biquads hold it well below 20 kHz."""
    z = np.exp(-2j * np.pi * freqs / 48000)
    gain = np.ones(len(freqs), complex)
    for b, a in K_WEIGHTING:
        gain *= np.polyval(b[::-1], z) / np.polyval(a[::-1], z)
    return np.abs(gain)


def integrated_loudness(mix):
    """Integrated loudness in LUFS: K-weighted power in 400 ms blocks every 100 ms, gated at -70 LUFS and
    at 10 LU below the blocks that pass. Loudness needs only the weighting's magnitude, so it is applied
    in the frequency domain."""
    spectrum = np.fft.rfft(mix, axis=1) * k_weighting_gain(np.fft.rfftfreq(mix.shape[1], 1 / SAMPLE_RATE))
    weighted = np.fft.irfft(spectrum, mix.shape[1], axis=1)
    energy = np.concatenate([[0.0], np.cumsum(np.sum(weighted**2, axis=0))])
    block, hop = int(0.4 * SAMPLE_RATE), int(0.1 * SAMPLE_RATE)
    starts = np.arange(0, mix.shape[1] - block + 1, hop)
    power = (energy[starts + block] - energy[starts]) / block
    power = power[power > 10 ** ((-70 + 0.691) / 10)]
    power = power[power > power.mean() / 10]
    return -0.691 + 10 * np.log10(power.mean())


def true_peak_dbtp(mix, oversampling=4, chunk=1 << 15, margin=256):
    """The highest level between the samples in dBTP: each stretch upsampled four times through its
    spectrum, with margins that keep the stretch's edges from ringing into it."""
    length, peak = mix.shape[1], 0.0
    for start in range(0, length, chunk):
        low, high = max(0, start - margin), min(length, start + chunk + margin)
        upsampled = np.fft.irfft(np.fft.rfft(mix[:, low:high], axis=1), (high - low) * oversampling, axis=1)
        inside = upsampled[:, (start - low) * oversampling:(min(length, start + chunk) - low) * oversampling]
        peak = max(peak, oversampling * np.abs(inside).max())
    return 20 * np.log10(peak)


def normalised(mix):
    """Scaled to the target loudness, or less where the true-peak ceiling comes first."""
    gain_db = min(TARGET_LOUDNESS_LUFS - integrated_loudness(mix), TRUE_PEAK_CEILING_DBTP - true_peak_dbtp(mix))
    return mix * 10 ** (gain_db / 20)


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


def decode_mp3(path, scratch):
    """The file's samples as lame decodes them: float stereo, full scale 1, and how many sit at full scale."""
    wav_path = os.path.join(scratch, "decoded.wav")
    subprocess.run(["lame", "--quiet", "--decode", path, wav_path], check=True)
    with wave.open(wav_path) as decoded:
        pcm = np.frombuffer(decoded.readframes(decoded.getnframes()), "<i2").reshape(-1, 2).T
    clipped = int(np.count_nonzero((pcm == 32767) | (pcm == -32768)))
    return pcm / 32768.0, clipped


def check_encoded(path, scratch):
    """Measures the encoded piece as a player decodes it; refuses one outside the loudness window, above
    the true-peak limit or with clipped samples."""
    mix, clipped = decode_mp3(path, scratch)
    loudness, peak = integrated_loudness(mix), true_peak_dbtp(mix)
    low, high = ENCODED_LOUDNESS_RANGE_LUFS
    if not low <= loudness <= high or peak > ENCODED_TRUE_PEAK_LIMIT_DBTP or clipped:
        raise SystemExit(f"the encoded piece is off: {loudness:.1f} LUFS, {peak:.1f} dBTP, {clipped} clipped")
    return f"{mix.shape[1] / SAMPLE_RATE:.1f} s, {loudness:.1f} LUFS, true peak {peak:.1f} dBTP, none clipped"


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", nargs="?", default=os.path.join(root, "sounds", "piano_soundtrack.mp3"),
                        help="the MP3 file to write (default: sounds/piano_soundtrack.mp3 in the repository)")
    output = parser.parse_args().output
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    mix, rng = render(parse_score(SCORE))
    with tempfile.TemporaryDirectory() as scratch:
        wav_path, mp3_path = os.path.join(scratch, "soundtrack.wav"), os.path.join(scratch, "soundtrack.mp3")
        write_wav(wav_path, mix, rng)
        encode_mp3(wav_path, mp3_path)
        figures = check_encoded(mp3_path, scratch)
        shutil.copyfile(mp3_path, output)
    print(f"{output}: {figures}")


if __name__ == "__main__":
    main()
