// The committed house, loaded by the demo's own import from the demo's working directory.
#include "gl_fixture.h"

#include "scene/scene_import.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <set>
#include <string>

namespace {

class HouseScene : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        testing::internal::CaptureStdout();
        loaded = loadScene(SCENE_OFFSET);
        console = testing::internal::GetCapturedStdout();
    }
    bool loaded = false;
    std::string console;
};

// Indices of the file's materials that name a diffuse map.
std::set<unsigned> texturedMaterials() {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(SCENE_FILE, aiProcess_PreTransformVertices);
    std::set<unsigned> textured;
    for (unsigned i = 0; scene && i < scene->mNumMaterials; ++i) {
        aiString path;
        if (aiGetMaterialTexture(scene->mMaterials[i], aiTextureType_DIFFUSE, 0, &path) == AI_SUCCESS)
            textured.insert(i);
    }
    return textured;
}

} // namespace

// One load serves all checks: it decodes every image of the house.
TEST_F(HouseScene, LoadsEveryTextureTheGlassAndTheTwoSidedFoliage) {
    ASSERT_TRUE(loaded) << console;
    EXPECT_EQ(console, "");
    const Scene& scene = app->scenes.at(0);
    std::set<unsigned> textured = texturedMaterials();
    ASSERT_GE(scene.materials.size(), 15u);
    unsigned normalMapped = 0;
    for (unsigned i = 0; i < scene.materials.size(); ++i) {
        const Material& material = scene.materials[i];
        EXPECT_EQ(material.diffuseTexture != NO_TEXTURE, textured.count(i) == 1) << "material " << i;
        normalMapped += material.normalTexture != NO_TEXTURE;
    }
    EXPECT_GE(normalMapped, 10u);

    ASSERT_FALSE(scene.transparentMeshes.empty());
    for (const Mesh& mesh : scene.transparentMeshes)
        EXPECT_LT(scene.materials[mesh.materialIndex].opacity, 1.0f);
    unsigned twoSided = 0;
    for (const Mesh& mesh : scene.opaqueMeshes) {
        EXPECT_EQ(mesh.primitiveTypes, unsigned(aiPrimitiveType_TRIANGLE));
        EXPECT_EQ(mesh.vertexCount % 3, 0u);
        twoSided += scene.materials[mesh.materialIndex].twoSided != 0;
    }
    EXPECT_GE(twoSided, 2u);
}
