#include "render/mesh_draw.h"

#include <assimp/mesh.h>
#include <gtest/gtest.h>

TEST(PrimitiveMode, LinesAndPointsKeepTheirModeEverythingElseIsTriangles) {
    EXPECT_EQ(primitiveMode(aiPrimitiveType_LINE), static_cast<GLenum>(GL_LINES));
    EXPECT_EQ(primitiveMode(aiPrimitiveType_POINT), static_cast<GLenum>(GL_POINTS));
    for (unsigned types : {4u, 8u, 3u, 6u, 12u, 0u})
        EXPECT_EQ(primitiveMode(types), static_cast<GLenum>(GL_TRIANGLES)) << types;
}

namespace {

// Opaque meshes numbered 1 to 4 by vertex count, of materials 0 (opacity 1), 1 (1.5), 7 (none) and 0, and
// one transparent mesh.
Scene solidMeshScene() {
    Scene scene;
    scene.materials.resize(3);
    scene.materials[1].opacity = 1.5f;
    scene.materials[2].opacity = 0.5f;
    for (unsigned index : {0u, 1u, 7u, 0u}) {
        Mesh mesh;
        mesh.materialIndex = index;
        mesh.vertexCount = static_cast<unsigned>(scene.opaqueMeshes.size() + 1);
        scene.opaqueMeshes.push_back(std::move(mesh));
    }
    Mesh glass;
    glass.materialIndex = 2;
    scene.transparentMeshes.push_back(std::move(glass));
    return scene;
}

} // namespace

TEST(SolidMeshes, OnlyOpaqueMeshesOfOpacityExactlyOneWithAKnownMaterial) {
    std::vector<Scene> scenes;
    scenes.push_back(solidMeshScene());
    scenes.push_back(solidMeshScene());

    std::vector<unsigned> visited;
    forEachSolidMesh(scenes, [&](const Mesh& m, const Material& material) {
        EXPECT_EQ(&material, &scenes[visited.size() / 2].materials[0]);
        visited.push_back(m.vertexCount);
    });
    EXPECT_EQ(visited, (std::vector<unsigned>{1, 4, 1, 4}));
    EXPECT_EQ(meshMaterial(scenes[0], scenes[0].opaqueMeshes[2]), nullptr);
}
