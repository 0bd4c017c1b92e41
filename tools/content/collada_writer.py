"""Writes the house as COLLADA in the form the demo's import reads back unchanged: metre
units and Y up (no rescaling or rotation on import), <triangles> only, one effect per
material, four-component colours, texture paths relative to the demo's working
directory, and fixed asset dates so the file is reproducible byte for byte."""
import datetime

import numpy as np
from collada import Collada, asset, geometry, material, scene, source

FIXED_DATE = datetime.datetime(2024, 6, 1, 12, 0, 0)


def _effect(look, doc):
    params, diffuse = [], look.color
    if look.texture:
        image = material.CImage(look.name + "-image", look.texture_path)
        doc.images.append(image)
        surface = material.Surface(look.name + "-surface", image)
        sampler = material.Sampler2D(look.name + "-sampler", surface)
        params = [surface, sampler]
        diffuse = material.Map(sampler, "UVSET0")
    transparency = {}
    if look.opacity < 1:
        transparency = dict(transparent=(1.0, 1.0, 1.0, 1.0), transparency=look.opacity)
    return material.Effect(look.name + "-effect", params, "phong", double_sided=look.two_sided,
                           emission=(0.0, 0.0, 0.0, 1.0), ambient=(0.2, 0.2, 0.2, 1.0),
                           diffuse=diffuse, specular=look.specular, shininess=look.shininess,
                           **transparency)


def _add_materials(doc, looks, ids):
    for look in looks:
        effect = _effect(look, doc)
        doc.effects.append(effect)
        doc.materials.append(material.Material(ids[look.name], look.name, effect))


def _indexed(values, decimals):
    """Distinct rows of `values` (rounded) and each row's index into them."""
    rounded = np.round(values.reshape(-1, values.shape[-1]), decimals) + 0.0
    unique, inverse = np.unique(rounded, axis=0, return_inverse=True)
    return unique, inverse.reshape(-1)


def _texcoords(look, st):
    scale = np.where(st[..., 2:3] == 1.0, 1.0, look.tile)
    return st[..., :2] / scale


def _geometry(doc, part, looks):
    name = part.name
    groups = sorted(part.triangles.items())
    pos, nrm, st = (np.concatenate([np.array([t[k] for t in tris]) for _, tris in groups])
                    for k in range(3))
    verts, vi = _indexed(pos, 2)
    norms, ni = _indexed(nrm, 5)
    uv_rows = [_texcoords(looks[m], np.array([t[2] for t in tris])) for m, tris in groups]
    uvs, ti = _indexed(np.concatenate(uv_rows), 5)
    sources = [source.FloatSource(name + "-positions", verts.reshape(-1), ("X", "Y", "Z")),
               source.FloatSource(name + "-normals", norms.reshape(-1), ("X", "Y", "Z")),
               source.FloatSource(name + "-uvs", uvs.reshape(-1), ("S", "T"))]
    geom = geometry.Geometry(doc, name + "-mesh", name, sources)
    start = 0
    for mat, tris in groups:
        count = 3 * len(tris)
        inputs = source.InputList()
        inputs.addInput(0, "VERTEX", "#" + name + "-positions")
        inputs.addInput(1, "NORMAL", "#" + name + "-normals")
        inputs.addInput(2, "TEXCOORD", "#" + name + "-uvs", set="0")
        columns = [vi[start:start + count], ni[start:start + count], ti[start:start + count]]
        indices = np.stack(columns, axis=1).reshape(-1)
        geom.primitives.append(geom.createTriangleSet(indices, inputs, mat))
        start += count
    return geom


def _node(doc, part, geom, ids):
    bindings = [scene.MaterialNode(m, doc.materials[ids[m]], inputs=[("UVSET0", "TEXCOORD", "0")])
                for m in sorted(part.triangles)]
    return scene.Node(part.name, [scene.GeometryNode(geom, bindings)])


def write(path, parts, looks):
    """Write the parts (geometry.Part) with their materials (name -> MaterialSpec)."""
    doc = Collada()
    doc.assetInfo = asset.Asset(created=FIXED_DATE, modified=FIXED_DATE, unitname="meter",
                                unitmeter=1, upaxis=asset.UP_AXIS.Y_UP)
    # The importer numbers the materials in the order of their ids, and the meshes it joins per
    # material follow that numbering: ids that begin with the rank in `looks` keep its drawing order.
    used = {m for part in parts for m in part.triangles}
    ordered = [look for name, look in looks.items() if name in used]
    ids = {look.name: f"m{rank:02d}-{look.name}" for rank, look in enumerate(ordered)}
    _add_materials(doc, ordered, ids)
    nodes = []
    for part in parts:
        geom = _geometry(doc, part, looks)
        doc.geometries.append(geom)
        nodes.append(_node(doc, part, geom, ids))
    house = scene.Scene("house", nodes)
    doc.scenes.append(house)
    doc.scene = house
    doc.write(path)
