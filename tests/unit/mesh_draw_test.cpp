#include "render/mesh_draw.h"

#include <gtest/gtest.h>

TEST(PrimitiveMode, LinesAndPointsKeepTheirModeEverythingElseIsTriangles) {
    EXPECT_EQ(primitiveMode(2), static_cast<GLenum>(GL_LINES));
    EXPECT_EQ(primitiveMode(1), static_cast<GLenum>(GL_POINTS));
    for (unsigned types : {4u, 8u, 3u, 6u, 12u, 0u})
        EXPECT_EQ(primitiveMode(types), static_cast<GLenum>(GL_TRIANGLES)) << types;
}

TEST(SolidMeshes, OnlyOpaqueMeshesOfOpacityExactlyOneWithAKnownMaterial) {
    Scene scene;
    scene.materials.resize(3);
    scene.materials[1].opacity = 1.5f;
    scene.materials[2].opacity = 0.5f;
    Mesh mesh;
    for (unsigned index : {0u, 1u, 7u, 0u}) {
        mesh.materialIndex = index;
        ++mesh.vao;
        scene.opaqueMeshes.push_back(mesh);
    }
    mesh.materialIndex = 2;
    scene.transparentMeshes.push_back(mesh);
    std::vector<Scene> scenes{scene, scene};

    std::vector<GLuint> visited;
    forEachSolidMesh(scenes, [&](const Mesh& m, const Material& material) {
        EXPECT_EQ(&material, &scenes[visited.size() / 2].materials[0]);
        visited.push_back(m.vao);
    });
    EXPECT_EQ(visited, (std::vector<GLuint>{1, 4, 1, 4}));
    EXPECT_EQ(meshMaterial(scene, scene.opaqueMeshes[2]), nullptr);
}
