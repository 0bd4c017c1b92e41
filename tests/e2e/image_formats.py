"""Small valid images in each format DevIL reads, and the damage a broken download does to them. The images
come from Pillow, ImageMagick, DevIL's own writers (through ctypes) or, for the game and tool formats none
of them writes, from their documented layouts; formats without any are given a valid image of another
format under their name, which their reader still has to get through."""

import ctypes
import io
import os
import random
import struct
import subprocess
import tempfile

from PIL import Image

WIDTH, HEIGHT = 64, 32


def pattern(width=WIDTH, height=HEIGHT):
    """Colour ramps over a checkerboard: every row and column differs from its neighbours."""
    image = Image.new("RGB", (width, height))
    image.putdata([((x * 4) % 256, (y * 8) % 256, 255 if (x // 8 + y // 8) % 2 else 40)
                   for y in range(height) for x in range(width)])
    return image


def _pillow(form, mode="RGB", size=(WIDTH, HEIGHT), **options):
    out = io.BytesIO()
    pattern(*size).convert(mode).save(out, form, **options)
    return out.getvalue()


def _magick(form, *options, size=(WIDTH, HEIGHT)):
    with tempfile.TemporaryDirectory() as folder:
        source, target = os.path.join(folder, "source.png"), os.path.join(folder, "target")
        pattern(*size).save(source)
        subprocess.run(["convert", source, *options, "%s:%s" % (form, target)], check=True)
        with open(target, "rb") as result:
            return result.read()


_devil = None


def _devil_library():
    global _devil
    if _devil is None:
        _devil = ctypes.cdll.LoadLibrary("libIL.so.1")
        _devil.ilInit()
        _devil.ilEnable(0x0620)  # IL_FILE_OVERWRITE
        _devil.ilGetString.restype = ctypes.c_char_p
    return _devil


def devil_extensions():
    """The file extensions this system's DevIL reads (each picks one of its readers)."""
    return _devil_library().ilGetString(0x1F01).decode().split()  # IL_LOAD_EXT


def _devil_saved(image_type):
    """Written by DevIL itself (IL_BMP, IL_DDS, ... as numbers)."""
    devil = _devil_library()
    name = ctypes.c_uint()
    devil.ilGenImages(1, ctypes.byref(name))
    devil.ilBindImage(name)
    devil.ilTexImage(WIDTH, HEIGHT, 1, 3, 0x1907, 0x1401, pattern().tobytes())  # IL_RGB, IL_UNSIGNED_BYTE
    with tempfile.TemporaryDirectory() as folder:
        target = os.path.join(folder, "target")
        saved = devil.ilSave(image_type, target.encode())
        devil.ilDeleteImages(1, ctypes.byref(name))
        if not saved:
            raise RuntimeError("DevIL could not write image type 0x%x" % image_type)
        with open(target, "rb") as result:
            return result.read()


def _rgba_rows():
    return pattern().convert("RGBA").tobytes()


def _quake2_wal():
    """Name, size, four mipmap offsets, animation name, flags: then palette indices of each level."""
    levels = [bytes((x + y) % 256 for y in range(HEIGHT >> i) for x in range(WIDTH >> i)) for i in range(4)]
    offsets, at = [], 100
    for level in levels:
        offsets.append(at)
        at += len(level)
    header = b"sample".ljust(32, b"\0") + struct.pack("<6I", WIDTH, HEIGHT, *offsets) + b"\0" * 32 + \
        struct.pack("<3I", 0, 0, 0)
    return header + b"".join(levels)


def _alias_pix():
    """Big-endian size, offset and depth, then runs of (count, blue, green, red) along the rows."""
    runs = bytearray()
    for pixel in pattern().getdata():
        runs += bytes((1, pixel[2], pixel[1], pixel[0]))
    return struct.pack(">5H", WIDTH, HEIGHT, 0, HEIGHT - 1, 24) + bytes(runs)


def _pixar_pxr():
    header = bytearray(1024)
    header[0:2] = b"\x80\xe8"
    header[416:420] = struct.pack("<2H", HEIGHT, WIDTH)
    header[424] = 0x0E  # RGB
    return bytes(header) + pattern().tobytes()


def _fakk2_ftx():
    return struct.pack("<3I", WIDTH, HEIGHT, 0) + _rgba_rows()


def _id3_picture():
    """An MP3 file's ID3v2 tag holding only a cover picture (a PNG)."""
    picture = _pillow("PNG")
    frame_data = b"\0" + b"image/png\0" + b"\x03" + b"\0" + picture
    frame = b"APIC" + struct.pack(">I", len(frame_data)) + b"\0\0" + frame_data
    size = len(frame)
    synchsafe = bytes(((size >> shift) & 0x7F) for shift in (21, 14, 7, 0))
    return b"ID3\x03\x00\x00" + synchsafe + frame


# Extension -> maker of a valid image, for the extensions DevIL 1.7.8 lists for loading.
VALID = {
    "bmp": lambda: _pillow("BMP"),
    "dib": lambda: _pillow("BMP"),
    "dcx": lambda: _magick("DCX"),
    "dds": lambda: _devil_saved(0x0437),
    "fit": lambda: _magick("FITS"),
    "fits": lambda: _magick("FITS"),
    "gif": lambda: _pillow("GIF"),
    "hdr": lambda: _devil_saved(0x043F),
    "icns": lambda: _pillow("ICNS", size=(32, 32)),
    "ico": lambda: _pillow("ICO", size=(32, 32), bitmap_format="bmp"),
    "cur": lambda: _magick("CUR", size=(32, 32)),
    "jpg": lambda: _pillow("JPEG"),
    "jpe": lambda: _pillow("JPEG"),
    "jpeg": lambda: _pillow("JPEG"),
    "pcd": lambda: _magick("PCD"),
    "pcx": lambda: _pillow("PCX"),
    "png": lambda: _pillow("PNG"),
    "pbm": lambda: _pillow("PPM", mode="1"),
    "pgm": lambda: _pillow("PPM", mode="L"),
    "pnm": lambda: _pillow("PPM"),
    "ppm": lambda: _pillow("PPM"),
    "psd": lambda: _magick("PSD"),
    "pdd": lambda: _devil_saved(0x0439),
    "sgi": lambda: _pillow("SGI"),
    "bw": lambda: _pillow("SGI", mode="L"),
    "rgb": lambda: _magick("SGI", "-compress", "RLE"),
    "rgba": lambda: _pillow("SGI", mode="RGBA"),
    "sun": lambda: _magick("SUN"),
    "ras": lambda: _magick("SUN", "-compress", "RLE"),
    "rs": lambda: _magick("SUN"),
    "im1": lambda: _magick("SUN", "-monochrome"),
    "im8": lambda: _magick("SUN", "-colors", "200"),
    "im24": lambda: _magick("SUN"),
    "im32": lambda: _magick("SUN", "-alpha", "on"),
    "tga": lambda: _pillow("TGA"),
    "vda": lambda: _pillow("TGA", compression="tga_rle"),
    "icb": lambda: _devil_saved(0x042D),
    "vst": lambda: _magick("TGA", "-compress", "RLE"),
    "tif": lambda: _pillow("TIFF"),
    "tiff": lambda: _devil_saved(0x042E),
    "vtf": lambda: _devil_saved(0x0444),
    "xpm": lambda: _magick("XPM"),
    "blp": lambda: _pillow("BLP", mode="P"),
    "wal": _quake2_wal,
    "pix": _alias_pix,
    "pxr": _pixar_pxr,
    "ftx": _fakk2_ftx,
    "mp3": _id3_picture,
}

# Read by DevIL, but written by none of the tools at hand: a valid image of another format stands in.
STAND_INS = {ext: "png" for ext in ("cut", "dicom", "dcmdds", "iff", "iwi", "lif", "mdl", "mng", "jng", "pic",
                                    "psp", "rot", "texture", "tpl", "utx")}
STAND_INS.update({"raw": "bmp"})


_valid_images = {}


def valid_image(ext):
    if ext not in _valid_images:
        _valid_images[ext] = VALID[STAND_INS.get(ext, ext)]()
    return _valid_images[ext]


def _flipped(data, start, stop, count, rng):
    data = bytearray(data)
    for _ in range(count):
        if start < min(stop, len(data)):
            data[rng.randrange(start, min(stop, len(data)))] ^= rng.randrange(1, 256)
    return bytes(data)


HEADER = 64

# Damage -> how it changes a file, and in how many variants: a few bytes of the header or of the rest
# changed, the header replaced by noise, or the file cut off in the middle.
DAMAGES = {
    "header bytes flipped": (lambda data, rng: _flipped(data, 0, HEADER, 4, rng), 3),
    "body bytes flipped": (lambda data, rng: _flipped(data, HEADER, len(data), 8, rng), 3),
    "garbage header": (lambda data, rng: bytes(rng.randrange(256) for _ in range(min(HEADER, len(data))))
                       + data[HEADER:], 3),
    "cut short": (lambda data, rng: data[:len(data) // 2], 1),
}


def damaged_image(ext, damage, variant):
    """The valid image of `ext` with `damage`, the same bytes on every run."""
    change, _ = DAMAGES[damage]
    return change(valid_image(ext), random.Random("%s/%s/%d" % (ext, damage, variant)))


def damaged_variants():
    """Every (damage, variant) pair."""
    return [(damage, variant) for damage, (_, count) in DAMAGES.items() for variant in range(count)]
