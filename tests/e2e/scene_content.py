"""A small stand-in for the demo's content, written into a temporary folder laid out like the repository:
a Collada scene at the demo's scene path (floor, box, normal-mapped wall, glass pane, a mesh without
normals, one without texture coordinates), its textures, and six sky images. Model units are millimetres;
the demo places model point v at 0.001 v + (0.7, -1.0, 1.5)."""

import math
import os
import shutil

from PIL import Image

SCENE_OFFSET = (0.7, -1.0, 1.5)


def world(v):
    return tuple(0.001 * c + o for c, o in zip(v, SCENE_OFFSET))


def look_angles(eye, target):
    """Walk-mode heading and pitch (radians) that look from `eye` at `target` (world units)."""
    d = [t - e for t, e in zip(target, eye)]
    length = math.sqrt(sum(c * c for c in d))
    d = [c / length for c in d]
    return math.atan2(d[0], d[2]), math.asin(d[1])


def _quad(p0, p1, p2, p3, normal, uvs=((0, 0), (1, 0), (1, 1), (0, 1))):
    """Two triangles, counter-clockwise seen from the side `normal` points to."""
    corners = list(zip((p0, p1, p2, p3), uvs))
    return [(corners[i][0], normal, corners[i][1]) for i in (0, 1, 2, 0, 2, 3)]


def _box(x0, y0, z0, x1, y1, z1):
    return (_quad((x0, y0, z1), (x1, y0, z1), (x1, y1, z1), (x0, y1, z1), (0, 0, 1)) +
            _quad((x1, y0, z0), (x0, y0, z0), (x0, y1, z0), (x1, y1, z0), (0, 0, -1)) +
            _quad((x1, y0, z1), (x1, y0, z0), (x1, y1, z0), (x1, y1, z1), (1, 0, 0)) +
            _quad((x0, y0, z0), (x0, y0, z1), (x0, y1, z1), (x0, y1, z0), (-1, 0, 0)) +
            _quad((x0, y1, z1), (x1, y1, z1), (x1, y1, z0), (x0, y1, z0), (0, 1, 0)) +
            _quad((x0, y0, z0), (x1, y0, z0), (x1, y0, z1), (x0, y0, z1), (0, -1, 0)))


FLOOR = _quad((-1500, 0, 1500), (1500, 0, 1500), (1500, 0, -1500), (-1500, 0, -1500), (0, 1, 0),
              ((0, 0), (6, 0), (6, 6), (0, 6)))
BOX = _box(0, 0, -600, 300, 300, -300)
WALL = _quad((-1500, 0, -1500), (1500, 0, -1500), (1500, 1200, -1500), (-1500, 1200, -1500), (0, 0, 1),
             ((0, 0), (5, 0), (5, 2), (0, 2)))
RED_BOX = _box(-900, 0, -900, -600, 400, -600)
GLASS = _quad((-1000, 0, -300), (-500, 0, -300), (-500, 600, -300), (-1000, 600, -300), (0, 0, 1))
NO_NORMALS = _box(500, 0, 300, 700, 200, 500)
NO_UVS = _box(-300, 0, 300, -100, 250, 500)

# name: (triangle corners, material, with normals, with texture coordinates)
MESHES = {
    "floor": (FLOOR, "tiles", True, True),
    "box": (BOX, "plaster", True, True),
    "wall": (WALL, "bricks", True, True),
    "redbox": (RED_BOX, "red", True, True),
    "glass": (GLASS, "glass", True, True),
    "nonormals": (NO_NORMALS, "plaster", False, True),
    "nouvs": (NO_UVS, "tiles", True, False),
}

# name: (diffuse colour or texture file, opacity, two-sided)
MATERIALS = {
    "tiles": ("tiles.png", 1.0, False),
    "plaster": ((0.8, 0.78, 0.7), 1.0, False),
    "bricks": ("bricks.png", 1.0, False),
    "red": ((0.8, 0.05, 0.05), 1.0, False),
    "glass": ((0.6, 0.8, 0.9), 0.35, True),
}


def _effect(name, diffuse, opacity, two_sided):
    if isinstance(diffuse, str):
        sampler = (f'<newparam sid="{name}-surface"><surface type="2D"><init_from>{name}-image</init_from>'
                   f'</surface></newparam><newparam sid="{name}-sampler"><sampler2D>'
                   f'<source>{name}-surface</source></sampler2D></newparam>')
        colour = f'<texture texture="{name}-sampler" texcoord="UVMap"/>'
    else:
        sampler = ""
        colour = "<color>%g %g %g 1</color>" % diffuse
    transparency = ""
    if opacity < 1.0:
        transparency = ('<transparent opaque="A_ONE"><color>0 0 0 1</color></transparent>'
                        f'<transparency><float>{opacity}</float></transparency>')
    extra = ('<extra><technique profile="GOOGLEEARTH"><double_sided>1</double_sided></technique></extra>'
             if two_sided else "")
    return (f'<effect id="{name}-effect"><profile_COMMON>{sampler}<technique sid="common"><phong>'
            f'<diffuse>{colour}</diffuse><specular><color>0.3 0.3 0.3 1</color></specular>'
            f'<shininess><float>32</float></shininess>{transparency}</phong>{extra}</technique>'
            f'</profile_COMMON></effect>')


def _geometry(name, corners, with_normals, with_uvs):
    n = len(corners)
    floats = lambda values: " ".join("%g" % v for v in values)
    sources = [(f"{name}-pos", floats(c for p, _, _ in corners for c in p), "XYZ")]
    inputs = [f'<input semantic="VERTEX" source="#{name}-vtx" offset="0"/>']
    if with_normals:
        sources.append((f"{name}-nrm", floats(c for _, nm, _ in corners for c in nm), "XYZ"))
        inputs.append(f'<input semantic="NORMAL" source="#{name}-nrm" offset="0"/>')
    if with_uvs:
        sources.append((f"{name}-uv", floats(c for _, _, uv in corners for c in uv), "ST"))
        inputs.append(f'<input semantic="TEXCOORD" source="#{name}-uv" offset="0" set="0"/>')
    xml = [f'<geometry id="{name}-mesh"><mesh>']
    for sid, data, axes in sources:
        count = len(data.split())
        params = "".join(f'<param name="{a}" type="float"/>' for a in axes)
        xml.append(f'<source id="{sid}"><float_array id="{sid}-a" count="{count}">{data}</float_array>'
                   f'<technique_common><accessor source="#{sid}-a" count="{count // len(axes)}" '
                   f'stride="{len(axes)}">{params}</accessor></technique_common></source>')
    xml.append(f'<vertices id="{name}-vtx"><input semantic="POSITION" source="#{name}-pos"/></vertices>')
    xml.append(f'<triangles material="{name}-sym" count="{n // 3}">{"".join(inputs)}'
               f'<p>{" ".join(str(i) for i in range(n))}</p></triangles></mesh></geometry>')
    return "".join(xml)


def scene_xml(texture_dir):
    images = "".join(f'<image id="{m}-image"><init_from>{texture_dir}/{d}</init_from></image>'
                     for m, (d, _, _) in MATERIALS.items() if isinstance(d, str))
    effects = "".join(_effect(m, *look) for m, look in MATERIALS.items())
    materials = "".join(f'<material id="{m}-material"><instance_effect url="#{m}-effect"/></material>'
                        for m in MATERIALS)
    geometries = "".join(_geometry(name, c, nrm, uv) for name, (c, _, nrm, uv) in MESHES.items())
    nodes = "".join(f'<node id="{name}"><instance_geometry url="#{name}-mesh"><bind_material>'
                    f'<technique_common><instance_material symbol="{name}-sym" target="#{mat}-material">'
                    f'<bind_vertex_input semantic="UVMap" input_semantic="TEXCOORD" input_set="0"/>'
                    f'</instance_material></technique_common></bind_material></instance_geometry></node>'
                    for name, (_, mat, _, _) in MESHES.items())
    return ('<?xml version="1.0" encoding="utf-8"?>'
            '<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">'
            '<asset><unit name="meter" meter="1"/><up_axis>Y_UP</up_axis></asset>'
            f'<library_images>{images}</library_images><library_effects>{effects}</library_effects>'
            f'<library_materials>{materials}</library_materials>'
            f'<library_geometries>{geometries}</library_geometries>'
            f'<library_visual_scenes><visual_scene id="scene">{nodes}</visual_scene></library_visual_scenes>'
            '<scene><instance_visual_scene url="#scene"/></scene></COLLADA>')


def _tiles(size=128):
    image = Image.new("RGB", (size, size))
    image.putdata([(200, 190, 170) if ((x // 64) + (y // 64)) % 2 else (120, 100, 80)
                   for y in range(size) for x in range(size)])
    return image


def _bricks(size=128):
    image = Image.new("RGB", (size, size))
    image.putdata([(90, 85, 80) if y % 32 < 3 or (x + (y // 32) % 2 * 32) % 64 < 3 else (170, 80, 60)
                   for y in range(size) for x in range(size)])
    return image


def _bricks_normal(size=128):
    """Mortar joints as grooves: the normal tilts toward each joint's sides."""
    def normal(x, y):
        dy = (y % 32) - 1.5
        dx = ((x + (y // 32) % 2 * 32) % 64) - 1.5
        nx = -0.7 if 0 < dx < 3 else 0.0
        ny = -0.7 if 0 < dy < 3 else 0.0
        length = math.sqrt(nx * nx + ny * ny + 1.0)
        return tuple(int(round((c / length * 0.5 + 0.5) * 255)) for c in (nx, ny, 1.0))
    image = Image.new("RGB", (size, size))
    image.putdata([normal(x, y) for y in range(size) for x in range(size)])
    return image


def _sky(colour_top, colour_bottom, size=64):
    image = Image.new("RGB", (size, size))
    image.putdata([tuple(int(a + (b - a) * y / (size - 1)) for a, b in zip(colour_top, colour_bottom))
                   for y in range(size) for x in range(size)])
    return image


SKY_FACES = {"top": ((90, 140, 220), (90, 140, 220)), "bottom": ((70, 90, 60), (70, 90, 60))}
for _face in ("right", "left", "front", "back"):
    SKY_FACES[_face] = ((90, 140, 220), (200, 220, 240))


def make_content(root, source_dir, sky=True):
    """Writes demo/shader (copied), models/ with the scene and its textures, images/ and sounds/."""
    shutil.copytree(os.path.join(source_dir, "demo", "shader"), os.path.join(root, "demo", "shader"))
    sounds = os.path.join(source_dir, "sounds")
    if os.path.isdir(sounds):
        shutil.copytree(sounds, os.path.join(root, "sounds"))
    models = os.path.join(root, "models")
    os.makedirs(os.path.join(models, "textures"))
    with open(os.path.join(models, "casa de vacaciones.dae"), "w") as scene:
        scene.write(scene_xml("../models/textures"))
    _tiles().save(os.path.join(models, "textures", "tiles.png"))
    _bricks().save(os.path.join(models, "textures", "bricks.png"))
    _bricks_normal().save(os.path.join(models, "textures", "normal_bricks.png"))
    os.makedirs(os.path.join(root, "images"))
    if sky:
        for face, (top, bottom) in SKY_FACES.items():
            _sky(top, bottom).save(os.path.join(root, "images", face + ".bmp"))
