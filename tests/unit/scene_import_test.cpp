#include "scene/material_import.h"
#include "scene/mesh_vertices.h"
#include "scene/scene_import.h"
#include "scene/tangents.h"
#include "scene/texture_loader.h"

#include <gtest/gtest.h>

namespace {

using Vec3s = std::vector<glm::vec3>;

struct Frames {
    Vec3s tangents, bitangents;
};

Frames framesOf(const Vec3s& positions, const std::vector<glm::vec2>& uvs, float count) {
    Frames frames;
    appendTangentFrames(positions, uvs, count, frames.tangents, frames.bitangents);
    return frames;
}

// A hand-built importer mesh with `faces` listing each face's vertex indices.
std::unique_ptr<aiMesh> meshWithFaces(unsigned vertexCount, const std::vector<std::vector<unsigned>>& faces,
                                      unsigned primitiveTypes) {
    auto mesh = std::make_unique<aiMesh>();
    mesh->mPrimitiveTypes = primitiveTypes;
    mesh->mNumVertices = vertexCount;
    mesh->mVertices = new aiVector3D[vertexCount];
    mesh->mNormals = new aiVector3D[vertexCount];
    mesh->mTextureCoords[0] = new aiVector3D[vertexCount];
    mesh->mNumUVComponents[0] = 2;
    for (unsigned v = 0; v < vertexCount; ++v) {
        mesh->mVertices[v] = aiVector3D(float(v), 0.0f, 0.0f);
        mesh->mNormals[v] = aiVector3D(0.0f, float(v), 0.0f);
        mesh->mTextureCoords[0][v] = aiVector3D(float(v), float(v) + 0.5f, 9.0f);
    }
    mesh->mNumFaces = static_cast<unsigned>(faces.size());
    mesh->mFaces = new aiFace[faces.size()];
    for (size_t f = 0; f < faces.size(); ++f) {
        mesh->mFaces[f].mNumIndices = static_cast<unsigned>(faces[f].size());
        mesh->mFaces[f].mIndices = new unsigned[faces[f].size()];
        std::copy(faces[f].begin(), faces[f].end(), mesh->mFaces[f].mIndices);
    }
    return mesh;
}

} // namespace

TEST(NormalMapPath, PrefixGoesBeforeTheFileName) {
    EXPECT_EQ(normalMapPath("textures/wood.jpg"), "textures/normal_wood.jpg");
    EXPECT_EQ(normalMapPath("wood.jpg"), "normal_wood.jpg");
    EXPECT_EQ(normalMapPath("a/b/c.png"), "a/b/normal_c.png");
    EXPECT_EQ(normalMapPath("tex\\wood.jpg"), "normal_tex\\wood.jpg");
    EXPECT_EQ(normalMapPath("/abs/dir.d/x"), "/abs/dir.d/normal_x");
}

TEST(Tangents, DegenerateTextureCoordinatesGiveAFiniteFrame) {
    Vec3s positions = {{0, 0, 0}, {2, 0, 0}, {0, 3, 0}};
    // One point, and a line, in texture space.
    for (std::vector<glm::vec2> uvs :
         {std::vector<glm::vec2>(3, glm::vec2(0.3f, 0.3f)), std::vector<glm::vec2>{{0, 0}, {1, 1}, {2, 2}}}) {
        Frames frames = framesOf(positions, uvs, 3.0f);
        for (size_t v = 0; v < 3; ++v) {
            EXPECT_EQ(frames.tangents[v], glm::vec3(1, 0, 0));
            EXPECT_EQ(frames.bitangents[v], glm::vec3(0, 1, 0));
        }
    }
    // Without area there is no plane to lie in.
    Frames flat =
        framesOf({{0, 0, 0}, {1, 1, 1}, {2, 2, 2}}, std::vector<glm::vec2>(3, glm::vec2(0.0f)), 3.0f);
    EXPECT_EQ(flat.tangents, Vec3s(3, glm::vec3(0.0f)));
    EXPECT_EQ(flat.bitangents, Vec3s(3, glm::vec3(0.0f)));
}

TEST(Tangents, EveryVertexGetsAnEntryAlsoInALastIncompleteGroup) {
    Vec3s positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}, {6, 6, 6}};
    std::vector<glm::vec2> uvs = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 2}};
    for (float count : {0.0f, 1.0f, 2.0f, 4.0f, 5.0f}) {
        Frames frames = framesOf(positions, uvs, count);
        EXPECT_EQ(frames.tangents.size(), size_t(count));
        EXPECT_EQ(frames.bitangents.size(), size_t(count));
    }
    Frames five = framesOf(positions, uvs, 5.0f);
    EXPECT_EQ(five.tangents[2], glm::vec3(1, 0, 0));
    EXPECT_EQ(five.tangents[3], glm::vec3(0.0f));
    EXPECT_EQ(five.bitangents[4], glm::vec3(0.0f));
}

TEST(MeshVertices, PolygonFacesAreFannedInFaceOrder) {
    // A quad, a triangle, a pentagon and a stray line among the faces.
    auto mesh = meshWithFaces(14, {{0, 1, 2, 3}, {4, 5, 6}, {7, 8, 9, 10, 11}, {12, 13}},
                              aiPrimitiveType_POLYGON | aiPrimitiveType_TRIANGLE | aiPrimitiveType_LINE);
    std::vector<unsigned> expected = {0, 1, 2, 0, 2, 3, 4, 5, 6, 7, 8, 9, 7, 9, 10, 7, 10, 11};
    EXPECT_EQ(drawOrder(*mesh), expected);
    MeshVertices vertices = gatherVertices(*mesh);
    EXPECT_EQ(vertices.primitiveTypes, unsigned(aiPrimitiveType_TRIANGLE));
    ASSERT_EQ(vertices.positions.size(), expected.size());
    ASSERT_EQ(vertices.normals.size(), expected.size());
    ASSERT_EQ(vertices.texCoords.size(), expected.size());
    for (size_t v = 0; v < expected.size(); ++v) {
        EXPECT_EQ(vertices.positions[v].x, float(expected[v]));
        EXPECT_EQ(vertices.normals[v].y, float(expected[v]));
        EXPECT_EQ(vertices.texCoords[v].x, float(expected[v]));
    }
}

void expectMaterial(const Material& imported, const Material& expected) {
    EXPECT_EQ(imported.diffuseTexture, expected.diffuseTexture);
    EXPECT_EQ(imported.normalTexture, expected.normalTexture);
    EXPECT_EQ(imported.diffuse, expected.diffuse);
    EXPECT_EQ(imported.ambient, expected.ambient);
    EXPECT_EQ(imported.specular, expected.specular);
    EXPECT_EQ(imported.shininess, expected.shininess);
    EXPECT_EQ(imported.twoSided, expected.twoSided);
    EXPECT_EQ(imported.opacity, expected.opacity);
}

// Without a diffuse map the import makes no GL call, so materials can be checked without a context.
TEST(MaterialKeys, AbsentKeysTakeTheirDefaults) {
    aiMaterial material;
    int mapMode = aiTextureMapMode_Mirror;
    material.AddProperty(&mapMode, 1, AI_MATKEY_MAPPINGMODE_U_DIFFUSE(0));
    expectMaterial(importMaterial(material),
                   Material{NO_TEXTURE, NO_TEXTURE, glm::vec4(0, 0, 0, 1), glm::vec4(0.2f, 0.2f, 0.2f, 1.0f),
                            glm::vec4(0, 0, 0, 1), 0.0f, 0, 1.0f});
}

TEST(MaterialKeys, PresentKeysAreTakenOverButAmbientKeepsOnlyItsAlpha) {
    aiMaterial material;
    aiColor4D diffuse(0.1f, 0.2f, 0.3f, 0.4f), ambient(0.5f, 0.4f, 0.3f, 0.9f),
        specular(0.6f, 0.7f, 0.8f, 0.5f);
    float shininess = 33.0f, opacity = 1.5f;
    int twoSided = 1;
    material.AddProperty(&diffuse, 1, AI_MATKEY_COLOR_DIFFUSE);
    material.AddProperty(&ambient, 1, AI_MATKEY_COLOR_AMBIENT);
    material.AddProperty(&specular, 1, AI_MATKEY_COLOR_SPECULAR);
    material.AddProperty(&shininess, 1, AI_MATKEY_SHININESS);
    material.AddProperty(&twoSided, 1, AI_MATKEY_TWOSIDED);
    material.AddProperty(&opacity, 1, AI_MATKEY_OPACITY);
    expectMaterial(importMaterial(material),
                   Material{NO_TEXTURE, NO_TEXTURE, glm::vec4(0.1f, 0.2f, 0.3f, 0.4f),
                            glm::vec4(0.0f, 0.0f, 0.0f, 0.9f), glm::vec4(0.6f, 0.7f, 0.8f, 0.5f), 33.0f, 1,
                            1.5f});
}

TEST(SceneSplit, OpacityBelowOneIsTransparentAndAboveOneOpaque) {
    Scene scene;
    for (float opacity : {1.0f, 0.999f, 1.5f, 0.0f})
        scene.materials.push_back(Material{NO_TEXTURE, NO_TEXTURE, {}, {}, {}, 0.0f, 0, opacity});
    for (unsigned m : {0u, 1u, 2u, 3u, 1u}) {
        Mesh mesh;
        mesh.materialIndex = m;
        mesh.vertexCount = static_cast<unsigned>(scene.opaqueMeshes.size() + scene.transparentMeshes.size());
        addMeshByOpacity(scene, std::move(mesh));
    }
    auto order = [](const std::vector<Mesh>& meshes) {
        std::vector<unsigned> numbers;
        for (const Mesh& mesh : meshes)
            numbers.push_back(mesh.vertexCount);
        return numbers;
    };
    EXPECT_EQ(order(scene.opaqueMeshes), (std::vector<unsigned>{0, 2}));
    EXPECT_EQ(order(scene.transparentMeshes), (std::vector<unsigned>{1, 3, 4}));
}
