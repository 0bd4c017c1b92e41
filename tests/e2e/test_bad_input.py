"""Bad input files, end to end. Each case damages a small stand-in for the content (scene_content.py), runs
the real demo on it and checks the whole console, the exit code and, where the demo should still show a
picture, the window.
A missing or unusable soundtrack and no audio device are the cases of test_soundtrack.py; no display and
no 3.3 core context those of test_lifecycle.py."""

import io
import os
import re
import shutil
import subprocess
import tempfile
import unittest

from PIL import Image

from demo_process import SOURCE_DIR, DemoRun, is_frame_rate_line, program_env
from image_formats import HEIGHT, WIDTH, damaged_image, damaged_variants, devil_extensions, valid_image
from scene_content import make_content
from test_lifecycle import SHADER_FILES

DECODE_BINARY = os.environ.get("IMAGE_DECODE_BINARY", "")

SCENE = os.path.join("models", "casa de vacaciones.dae")
COULD_NOT_OPEN = ["Couldn't open file: ../models/casa de vacaciones.dae\n", "\n"]
COULD_NOT_IMPORT = ["Couldn't import file: ../models/casa de vacaciones.dae\n"]
# Assimp's own error text for a document that is not XML.
MALFORMED = ["Unable to read file, malformed XML\n"]

# A document that Assimp 5.2's Collada reader does not come back from: an array without its value count,
# read through an accessor.
CRASHING_DOCUMENT = b"""<?xml version="1.0"?>
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
<library_geometries><geometry id="g"><mesh>
<source id="p"><float_array id="pa">0 0 0 1 0 0 0 1 0</float_array><technique_common>
<accessor source="#pa" count="3" stride="3"><param name="X" type="float"/><param name="Y" type="float"/>
<param name="Z" type="float"/></accessor></technique_common></source>
<vertices id="v"><input semantic="POSITION" source="#p"/></vertices>
<triangles count="1"><input semantic="VERTEX" source="#v" offset="0"/><p>0 1 2</p></triangles>
</mesh></geometry></library_geometries>
<library_visual_scenes><visual_scene id="s"><node><instance_geometry url="#g"/></node></visual_scene>
</library_visual_scenes><scene><instance_visual_scene url="#s"/></scene></COLLADA>
"""

# A colour map, its normal map and a sky face.
DAMAGED_IMAGES = [os.path.join("models", "textures", "bricks.png"),
                  os.path.join("models", "textures", "normal_bricks.png"),
                  os.path.join("images", "front.bmp")]

# Formats whose valid images must decode to the full texture: the commonest and those with a history of
# crashing or looping DevIL.
COMMON_FORMATS = ["bmp", "gif", "hdr", "jpg", "pcx", "png", "ppm", "psd", "sgi", "sun", "tga", "tif"]

# Runs of the real program, each with the scene's two colour maps in other formats (bricks with its normal
# map) and some sky faces damaged: (extension, damage, variant) for tiles, bricks and its normal map, and
# face -> (extension of the bytes, damage, variant). With DevIL 1.7.8 most of these crash or hang it: the
# PSD, HDR, GIF, XPM and WAL images crash, the PCX and the first BMP face loop until the time limit.
DEMO_RUNS = [
    {"tiles": ("psd", "header bytes flipped", 0), "bricks": ("pcx", "header bytes flipped", 0),
     "normal_bricks": ("pcx", "body bytes flipped", 0),
     "faces": {"front": ("bmp", "header bytes flipped", 14), "back": ("bmp", "cut short", 0),
               "left": ("bmp", "garbage header", 0)}},
    {"tiles": ("hdr", "header bytes flipped", 15), "bricks": ("gif", "body bytes flipped", 1),
     "normal_bricks": ("gif", "cut short", 0),
     "faces": {"right": ("bmp", "body bytes flipped", 0), "top": ("hdr", "header bytes flipped", 15)}},
    {"tiles": ("xpm", None, 0), "bricks": ("wal", "garbage header", 0), "normal_bricks": ("wal", "header bytes flipped", 1),
     "faces": {"bottom": ("xpm", None, 0)}},
    {"tiles": ("tga", "header bytes flipped", 0), "bricks": ("jpg", "garbage header", 0),
     "normal_bricks": ("jpg", "body bytes flipped", 0), "faces": {"front": ("png", "cut short", 0)}},
]


def format_image(ext, damage, variant):
    return valid_image(ext) if damage is None else damaged_image(ext, damage, variant)


def write(root, relative, content):
    with open(os.path.join(root, relative), "wb") as out:
        out.write(content)


def read(root, relative):
    with open(os.path.join(root, relative), "rb") as source:
        return source.read()


def other_format(relative):
    """A small valid image in a format other than the one the file name says."""
    image = Image.new("RGB", (8, 8), (200, 50, 50))
    out = io.BytesIO()
    image.save(out, "BMP" if relative.endswith(".png") else "PNG")
    return out.getvalue()


def shader_report(stdout):
    """The shader loader's output: [(path, log)] for every stage and then [link log] for every program, in
    the order printed; logs without their closing line feed."""
    stages, links = [], []
    lines = iter(stdout)
    entry = None
    for line in lines:
        if line.startswith("Compiling shader : "):
            entry = stages
            stages.append([line[len("Compiling shader : "):-1], ""])
        elif line == "Linking program\n":
            entry = links
            links.append(["", ""])
        elif is_frame_rate_line(line):
            break
        elif entry is not None:
            entry[-1][1] += line
    return [(path, log[:-1]) for path, log in stages], [log[:-1] for _, log in links]


def shows_a_picture(picture):
    """More than one colour over a good part of the window, and not black; `picture` is an image or the path
    of one."""
    image = (picture if isinstance(picture, Image.Image) else Image.open(picture)).convert("RGB").resize((256, 192))
    pixels = list(image.getdata())
    common = max(set(pixels), key=pixels.count)
    differing = sum(1 for p in pixels if max(abs(a - b) for a, b in zip(p, common)) > 12)
    brightness = sum(sum(p) for p in pixels) / (3.0 * len(pixels))
    return differing > 0.05 * len(pixels) and brightness > 10


class BadInput(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="bad-input-")
        self.addCleanup(shutil.rmtree, self.root, True)
        make_content(self.root, SOURCE_DIR)

    def run_demo(self):
        """Runs the demo until it shows frames, takes a screenshot, ends it with Escape; returns the run and
        the screenshot's path."""
        run = DemoRun(workdir=os.path.join(self.root, "demo"))
        try:
            self.assertIsNotNone(run.wait_for_frame_rate(count=2), "".join(run.stdout + run.stderr))
            shot = run.screenshot(tempfile.mktemp(suffix=".png", dir=self.root))
            run.key("Escape")
            self.assertEqual(run.wait(), 0)
        finally:
            run.kill()
        self.assertEqual(run.stderr, [])
        # After the start-up lines, only the frame rate.
        first_frame = next(i for i, line in enumerate(run.stdout) if is_frame_rate_line(line))
        self.assertTrue(all(is_frame_rate_line(line) for line in run.stdout[first_frame:]), run.stdout)
        return run, shot

    def assert_runs(self, scene_lines, damaged_shaders=(), picture=True):
        run, shot = self.run_demo()
        compiling = next(i for i, line in enumerate(run.stdout) if line.startswith("Compiling shader : "))
        self.assertEqual(run.stdout[:compiling], scene_lines)
        stages, links = shader_report(run.stdout)
        self.assertEqual([path for path, _ in stages], [path for program in SHADER_FILES for path in program])
        for path, log in stages:
            # The driver's error log for a damaged stage, an empty line for every other one.
            self.assertEqual(log != "", path in damaged_shaders, (path, log))
        for program, log in zip(SHADER_FILES, links):
            self.assertEqual(log != "", any(path in damaged_shaders for path in program), (program, log))
        if picture:
            self.assertTrue(shows_a_picture(shot), "the window shows no picture")

    def test_scene_files_that_cannot_be_read(self):
        scene = os.path.join(self.root, SCENE)
        cases = [("missing", None, COULD_NOT_OPEN), ("empty", b"", MALFORMED),
                 ("truncated", read(self.root, SCENE)[:3000], MALFORMED),
                 ("garbage", bytes(range(256)) * 64, MALFORMED),
                 ("crashing the reader", CRASHING_DOCUMENT, COULD_NOT_IMPORT)]
        for damage, content, lines in cases:
            with self.subTest(damage):
                if os.path.exists(scene):
                    os.remove(scene)
                if content is not None:
                    write(self.root, SCENE, content)
                # Without the scene the sky still fills the window.
                self.assert_runs(lines)

    def test_scene_naming_missing_textures(self):
        shutil.rmtree(os.path.join(self.root, "models", "textures"))
        self.assert_runs([])

    def test_damaged_images(self):
        originals = {path: read(self.root, path) for path in DAMAGED_IMAGES}
        damages = [("truncated", lambda path: originals[path][:len(originals[path]) // 2]),
                   ("zero bytes", lambda path: b""),
                   ("other format", other_format)]
        for damage, content in damages:
            with self.subTest(damage):
                for path in DAMAGED_IMAGES:
                    write(self.root, path, content(path))
                self.assert_runs([])

    def test_damaged_images_of_every_format_decode_or_fail(self):
        """Decoder level: each format DevIL reads, valid and damaged, as a colour map and as a normal map."""
        requests = []
        for ext in devil_extensions():
            files = {"valid.%s" % ext: valid_image(ext)}
            for damage, variant in damaged_variants():
                files["%s_%d.%s" % (damage.replace(" ", "_"), variant, ext)] = damaged_image(ext, damage, variant)
            for name, content in files.items():
                write(self.root, name, content)
                requests += ["%d:%s" % (channels, os.path.join(self.root, name)) for channels in (4, 3)]
        # Each image that loops is stopped at its time limit, two at a time.
        result = subprocess.run([DECODE_BINARY, *requests], env=program_env(), capture_output=True, text=True,
                                timeout=600)
        self.assertEqual(result.returncode, 0, result.stderr)
        verdicts = dict(re.fullmatch(r"(.*) (failed|decoded \d+x\d+ \d+)", line).groups()
                        for line in result.stdout.splitlines())
        self.assertEqual(sorted(verdicts), sorted(requests))
        levels = len(bin(max(WIDTH, HEIGHT))) - 2
        for ext in COMMON_FORMATS:
            for channels in (4, 3):
                self.assertEqual(verdicts["%d:%s" % (channels, os.path.join(self.root, "valid." + ext))],
                                 "decoded %dx%d %d" % (WIDTH, HEIGHT, levels), (ext, channels))

    def test_damaged_images_of_several_formats_in_the_demo(self):
        textures = os.path.join(self.root, "models", "textures")
        scene_path = os.path.join(self.root, SCENE)
        scene = read(self.root, SCENE)
        for run in DEMO_RUNS:
            with self.subTest(tiles=run["tiles"], bricks=run["bricks"]):
                shutil.rmtree(textures)
                os.makedirs(textures)
                named = scene.replace(b"tiles.png", b"tiles." + run["tiles"][0].encode()).replace(
                    b"bricks.png", b"bricks." + run["bricks"][0].encode())
                with open(scene_path, "wb") as out:
                    out.write(named)
                for name in ("tiles", "bricks", "normal_bricks"):
                    write(textures, "%s.%s" % (name, run[name][0]), format_image(*run[name]))
                sky = {face: read(self.root, os.path.join("images", face + ".bmp")) for face in run["faces"]}
                for face, image in run["faces"].items():
                    write(self.root, os.path.join("images", face + ".bmp"), format_image(*image))
                self.assert_runs([])
                for face, content in sky.items():
                    write(self.root, os.path.join("images", face + ".bmp"), content)

    def test_missing_and_broken_shader_files(self):
        shader_dir = os.path.join(self.root, "demo")
        for program in SHADER_FILES:
            missing, broken = program[-1], program[0]
            with self.subTest(program=program[0]):
                originals = {path: read(shader_dir, path) for path in program}
                os.remove(os.path.join(shader_dir, missing))
                write(shader_dir, broken, b"#version 330 core\nvoid main() { not glsl }\n")
                # Without the scene program nothing of the scene reaches the window.
                self.assert_runs([], damaged_shaders=(missing, broken),
                                 picture=program[0] != "shader/VertexShader.vertexshader")
                for path, content in originals.items():
                    write(shader_dir, path, content)


if __name__ == "__main__":
    unittest.main()
