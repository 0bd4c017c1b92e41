// Drawing one scene mesh: the steps every pass that draws the scene's geometry shares.
#pragma once

#include "scene/scene_model.h"

#include <vector>

// Draw mode for the importer's primitive-type bit set: lines, points, or triangles for everything else.
// Polygons arrive fanned into triangles, and GL_POLYGON does not exist in a core context.
GLenum primitiveMode(unsigned primitiveTypes);

// The material of `mesh` in `scene`, or nullptr when its index is out of range.
const Material* meshMaterial(const Scene& scene, const Mesh& mesh);

// One glDrawArrays over all of the mesh's vertices, with the draw mode of its primitive types.
void drawVertices(const Mesh& mesh);

// Runs `draw` with face culling switched off around it when the material is two-sided.
template <typename Draw> void withMaterialCulling(const Material& material, Draw draw) {
    if (material.twoSided)
        glDisable(GL_CULL_FACE);
    draw();
    if (material.twoSided)
        glEnable(GL_CULL_FACE);
}

// Draws the mesh once (its vertex array must be bound), both sides of a two-sided material.
void drawMesh(const Mesh& mesh, const Material& material);

// Calls `visit(mesh, material)` for every opaque mesh whose material has opacity exactly 1: the meshes
// that the depth-only passes draw. An opacity above 1 counts as opaque for the scene but not here.
template <typename Visit> void forEachSolidMesh(const std::vector<Scene>& scenes, Visit visit) {
    for (const Scene& scene : scenes)
        for (const Mesh& mesh : scene.opaqueMeshes) {
            const Material* material = meshMaterial(scene, mesh);
            if (material && material->opacity == 1.0f)
                visit(mesh, *material);
        }
}
