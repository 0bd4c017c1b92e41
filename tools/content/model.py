"""The whole house model: every part, and its triangles gathered per material."""
import numpy as np

import garden
import interior
import shell
import structure


def parts():
    return shell.envelope() + structure.frame() + interior.rooms() + garden.garden()


def gather(part_list):
    """{material: (positions, normals, st)} arrays of shape (n, 3, 3)."""
    out = {}
    for part in part_list:
        for material, tris in part.triangles.items():
            out.setdefault(material, []).extend(tris)
    return {m: tuple(np.array([t[i] for t in tris]) for i in range(3))
            for m, tris in sorted(out.items())}
