#!/usr/bin/python3
"""Paints the six sky box images (images/*.bmp) by casting a ray through every texel.

Each texel's texture coordinate is mapped onto its face's plane with the same vertex and
texture-coordinate table the renderer draws the box with, and the colour is one function of
the direction from the centre of the ground plane, (0, -1, 0): so the six images meet without
seams, and the hills stand on the line y = -1 where the ground plane reaches the box walls.
Images have their origin at the lower left: the bottom row is texture coordinate t = 0.
"""
import argparse
import os

import numpy as np
from PIL import Image

# Texels along a face's side. The clouds and hills are soft at this size already (each face is drawn
# magnified), and every doubling would cost start-up time for decoding and mipmapping.
SIZE = 512
SEED = 7310
GROUND_CENTRE = np.array([0.0, -1.0, 0.0])
CLOUD_HEIGHT = 0.9  # above the ground centre, in noise cells
HILL_CELLS = 192  # noise cells around the horizon for the woods on the nearest hills
CROWN_CELLS = 1024  # noise cells around the horizon for the tree tops on the crests

# name, vertices in drawing order, their texture coordinates
FACES = [
    ("top", [(-3.015, 3, -3.015), (-3.015, 3, 3.015), (3.015, 3, 3.015), (3.015, 3, -3.015)],
     [(1, 1), (0, 1), (0, 0), (1, 0)]),
    ("bottom", [(-3.015, -3, -3.015), (-3.015, -3, 3.015), (3.015, -3, 3.015), (3.015, -3, -3.015)],
     [(1, 0), (1, 1), (0, 1), (0, 0)]),
    ("right", [(-3, -3.015, 3.015), (-3, 3.015, 3.015), (-3, 3.015, -3.015), (-3, -3.015, -3.015)],
     [(0, 0), (0, 1), (1, 1), (1, 0)]),
    ("left", [(3, -3.015, 3.015), (3, 3.015, 3.015), (3, 3.015, -3.015), (3, -3.015, -3.015)],
     [(1, 0), (1, 1), (0, 1), (0, 0)]),
    ("front", [(3.015, -3.015, 3), (3.015, 3.015, 3), (-3.015, 3.015, 3), (-3.015, -3.015, 3)],
     [(1, 0), (1, 1), (0, 1), (0, 0)]),
    ("back", [(3.015, -3.015, -3), (3.015, 3.015, -3), (-3.015, 3.015, -3), (-3.015, -3.015, -3)],
     [(0, 0), (0, 1), (1, 1), (1, 0)]),
]

# sRGB colours of the palette
ZENITH = (62, 118, 200)
SKY = (118, 168, 228)
HAZE = (208, 224, 240)
CLOUD_LIT = (250, 250, 252)
CLOUD_SHADE = (168, 178, 196)
FOREST = (44, 78, 42)
MEADOW = (104, 138, 64)
FIELD = (128, 146, 72)
DISTANCE = (150, 174, 204)  # the blue veil of the air over far hills

# Hill ridges from near to far: base and relief of the silhouette in degrees above the
# horizon, how much haze veils them, the profile's roughness and the height of the tree
# crowns along their crest, in degrees.
RIDGES = [
    {"base": 0.4, "relief": 3.5, "haze": 0.1, "roughness": 1.45, "trees": 0.45},
    {"base": 1.2, "relief": 6.0, "haze": 0.35, "roughness": 1.7, "trees": 0.2},
    {"base": 2.5, "relief": 10.0, "haze": 0.6, "roughness": 1.9, "trees": 0.0},
]


def linear(srgb):
    c = np.asarray(srgb, dtype=float) / 255.0
    return np.where(c <= 0.04045, c / 12.92, ((c + 0.055) / 1.055) ** 2.4)


def to_srgb_bytes(rgb, rng):
    c = np.clip(rgb, 0.0, 1.0)
    c = np.where(c <= 0.0031308, c * 12.92, 1.055 * c ** (1 / 2.4) - 0.055)
    dither = rng.uniform(-0.5, 0.5, c.shape)  # hides 8-bit banding in the smooth gradients
    return np.clip(np.round(c * 255 + dither), 0, 255).astype(np.uint8)


def mix(a, b, amount):
    return a + (b - a) * amount[..., None]


def smoothstep(edge0, edge1, x):
    u = np.clip((x - edge0) / (edge1 - edge0), 0.0, 1.0)
    return u * u * (3 - 2 * u)


class GradientNoise:
    """2D Perlin noise from a seeded permutation, summed into fractal noise."""

    def __init__(self, rng):
        self.perm = np.tile(rng.permutation(256), 2)
        angles = rng.uniform(0, 2 * np.pi, 256)
        self.gradients = np.stack([np.cos(angles), np.sin(angles)], axis=1)

    def noise(self, x, y, period=256):
        xi, yi = np.floor(x).astype(np.int64), np.floor(y).astype(np.int64)
        xf, yf = x - xi, y - yi

        def corner(dx, dy):
            column = (xi + dx) % period  # lattice columns beyond 256 get their own hashes
            row = (yi + dy + 101 * (column >> 8)) & 255
            g = self.gradients[self.perm[self.perm[column & 255] + row]]
            return g[..., 0] * (xf - dx) + g[..., 1] * (yf - dy)

        u = xf * xf * xf * (xf * (xf * 6 - 15) + 10)
        v = yf * yf * yf * (yf * (yf * 6 - 15) + 10)
        bottom = corner(0, 0) + u * (corner(1, 0) - corner(0, 0))
        top = corner(0, 1) + u * (corner(1, 1) - corner(0, 1))
        return bottom + v * (top - bottom)

    def fractal(self, x, y, octaves, footprint=None, period=None):
        """Sum of octaves; octaves finer than the texel footprint fade out instead of aliasing.
        With a period (a whole number of cells), the sum repeats along x after that many cells."""
        total = np.zeros_like(x)
        frequency, amplitude = 1.0, 0.5
        for octave in range(octaves):
            c, s = np.cos(0.5 * octave), np.sin(0.5 * octave)
            weight = amplitude
            if footprint is not None:
                weight = amplitude * np.clip(1.0 / (frequency * footprint) - 1.0, 0.0, 1.0)
            if period is None:
                total += weight * self.noise(frequency * (c * x - s * y) + 17.3 * octave,
                                             frequency * (s * x + c * y) - 9.1 * octave)
            else:
                octave_period = int(period * frequency)
                total += weight * self.noise(frequency * x, frequency * y + 9.1 * octave, octave_period)
            frequency, amplitude = frequency * 2.0, amplitude * 0.5
        return total


def ridge_profile(rng, roughness, samples=1 << 16):
    """A closed silhouette around the horizon: random harmonics of the azimuth, in [0, 1],
    tabulated finely and interpolated."""
    harmonics = np.arange(1, 160)
    amplitudes = harmonics ** -roughness * rng.uniform(0.5, 1.0, harmonics.size)
    phases = rng.uniform(0, 2 * np.pi, harmonics.size)
    table_azimuths = np.arange(samples + 1) * (2 * np.pi / samples)
    waves = np.sin(np.outer(table_azimuths, harmonics) + phases) @ amplitudes
    table = ((waves - waves.min()) / (waves.max() - waves.min())) ** 1.4  # wide valleys, rounder tops

    def profile(azimuth):
        return np.interp(np.mod(azimuth, 2 * np.pi), table_azimuths, table)

    return profile


class Sky:
    def __init__(self, seed):
        rng = np.random.default_rng(seed)
        self.cloud_noise = GradientNoise(rng)
        self.land_noise = GradientNoise(rng)
        self.ridges = [dict(r, profile=ridge_profile(rng, r["roughness"])) for r in RIDGES]
        self.sun_azimuth = np.arctan2(-3.2, -2.2)  # where the light starts the flight

    def colour(self, points, texel):
        """Linear RGB of the rays from the ground centre through points (..., 3)."""
        v = points - GROUND_CENTRE
        horizontal = np.hypot(v[..., 0], v[..., 2])
        elevation = np.arctan2(v[..., 1], horizontal)
        azimuth = np.arctan2(v[..., 2], v[..., 0])
        angle = texel / np.linalg.norm(v, axis=-1)  # angular size of one texel
        colour = self.sky(elevation, azimuth)
        colour = mix(colour, self.clouds(v, elevation, angle), self.cloud_cover(v, elevation, angle))
        for ridge in reversed(self.ridges):
            top = np.radians(ridge["base"] + ridge["relief"] * ridge["profile"](azimuth)
                             + ridge["trees"] * self.crowns(azimuth))
            cover = smoothstep(-angle, angle, top - elevation)
            colour = mix(colour, self.hillside(ridge, elevation, azimuth, top), cover)
        return mix(colour, self.fields(v, elevation, angle), smoothstep(angle, -angle, elevation))

    def crowns(self, azimuth):
        """Rounded bumps of tree tops along a crest, about a third of a degree wide."""
        x = np.mod(azimuth, 2 * np.pi) / (2 * np.pi) * CROWN_CELLS
        bumps = self.land_noise.fractal(x, np.full_like(x, 0.5), 3, period=CROWN_CELLS)
        return np.sqrt(np.clip(0.5 + bumps, 0, 1))

    def sky(self, elevation, azimuth):
        height = np.clip(elevation, 0, None)
        upper = 1 - np.exp(-height / 0.55)
        colour = mix(np.broadcast_to(linear(SKY), height.shape + (3,)), linear(ZENITH), upper)
        haze = np.exp(-height / 0.09)
        glow = 0.12 * np.exp(-height / 0.3) * (0.5 + 0.5 * np.cos(azimuth - self.sun_azimuth))
        return mix(colour, linear(HAZE), np.clip(haze + glow, 0, 1))

    def cloud_field(self, v, elevation, angle):
        """Where each ray meets the cloud layer, in noise cells, and the texel's footprint there."""
        lift = np.maximum(v[..., 1], 1e-3)
        u, w = v[..., 0] * CLOUD_HEIGHT / lift, v[..., 2] * CLOUD_HEIGHT / lift
        footprint = angle * CLOUD_HEIGHT / np.maximum(np.sin(elevation), 0.02) ** 2
        return u, w, footprint

    def cloud_cover(self, v, elevation, angle):
        u, w, footprint = self.cloud_field(v, elevation, angle)
        density = self.cloud_noise.fractal(u, w, 7, footprint) + 0.12 * np.sin(0.35 * u + 0.2 * w)
        cover = smoothstep(0.02, 0.32, density)
        return cover * 0.92 * smoothstep(0.02, 0.2, elevation)

    def clouds(self, v, elevation, angle):
        u, w, footprint = self.cloud_field(v, elevation, angle)
        toward_sun = 0.35 * np.array([np.cos(self.sun_azimuth), np.sin(self.sun_azimuth)])
        here = self.cloud_noise.fractal(u, w, 5, footprint)
        sunward = self.cloud_noise.fractal(u + toward_sun[0], w + toward_sun[1], 5, footprint)
        light = np.clip(0.6 + 2.2 * (here - sunward), 0, 1)
        colour = mix(np.broadcast_to(linear(CLOUD_SHADE), light.shape + (3,)), linear(CLOUD_LIT), light)
        return mix(colour, linear(HAZE), np.exp(-np.clip(elevation, 0, None) / 0.12) * 0.8)

    def hillside(self, ridge, elevation, azimuth, top):
        # woods and meadows, foreshortened vertically as slopes seen from afar
        cells = HILL_CELLS // (1 + int(ridge["haze"] * 4))
        x = np.mod(azimuth, 2 * np.pi) / (2 * np.pi) * cells
        y = np.degrees(elevation) * cells / 360.0 * 2.5 + ridge["base"] * 7
        forest = 0.2 + 0.6 * smoothstep(-0.1, 0.2, self.land_noise.fractal(x, y, 5, period=cells))
        colour = mix(np.broadcast_to(linear(MEADOW), forest.shape + (3,)), linear(FOREST), forest)
        slope = (ridge["profile"](azimuth + 0.01) - ridge["profile"](azimuth - 0.01)) / 0.02
        facing = np.cos(azimuth - self.sun_azimuth - np.pi / 2)
        below_crest = np.clip((top - elevation) / np.radians(ridge["relief"]), 0, 1)
        light = 0.95 + 0.2 * np.tanh(slope * facing * 0.5) - 0.2 * below_crest
        colour = colour * light[..., None]
        veil = ridge["haze"] * (1 - 0.25 * below_crest)
        return mix(colour, linear(DISTANCE), veil)

    def fields(self, v, elevation, angle):
        depth = np.clip(-v[..., 1], 1e-3, None)
        u, w = v[..., 0] / depth * 1.5, v[..., 2] / depth * 1.5
        footprint = angle * 1.5 / np.maximum(np.sin(-elevation), 0.02) ** 2
        patches = self.land_noise.fractal(u, w, 5, footprint)
        colour = mix(np.broadcast_to(linear(MEADOW), patches.shape + (3,)), linear(FIELD),
                     smoothstep(-0.15, 0.2, patches))
        return mix(colour, linear(HAZE), 0.25 * np.exp(elevation / 0.05))


def face_points(vertices, texcoords, size):
    """World positions of the texel centres, rows from top to bottom as the image stores them."""
    st1 = np.column_stack([np.asarray(texcoords, float), np.ones(4)])
    mapping, *_ = np.linalg.lstsq(st1, np.asarray(vertices, float), rcond=None)
    centres = (np.arange(size) + 0.5) / size
    s, t = np.meshgrid(centres, centres[::-1])
    return np.stack([s, t, np.ones_like(s)], axis=-1) @ mapping


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", nargs="?", default=os.path.join(root, "images"),
                        help="folder for the images (default: images/ in the repository)")
    output = parser.parse_args().output
    os.makedirs(output, exist_ok=True)
    sky = Sky(SEED)
    rng = np.random.default_rng(SEED + 1)
    texel = 6.03 / SIZE
    for name, vertices, texcoords in FACES:
        points = face_points(vertices, texcoords, SIZE)
        pixels = to_srgb_bytes(sky.colour(points, texel), rng)
        Image.fromarray(pixels, "RGB").save(os.path.join(output, name + ".bmp"))
        print(f"{name}.bmp")


if __name__ == "__main__":
    main()
