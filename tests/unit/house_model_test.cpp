#include "house_import.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <set>

namespace {

struct ImageSize {
    uint32_t width = 0;
    uint32_t height = 0;
};

// Width and height from a PNG's header chunk; zero when the file is missing or not a PNG.
ImageSize pngSize(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char header[24] = {};
    if (!file.read(reinterpret_cast<char*>(header), sizeof header) || header[1] != 'P')
        return {};
    auto word = [&](int at) {
        return uint32_t(header[at]) << 24 | uint32_t(header[at + 1]) << 16 | uint32_t(header[at + 2]) << 8 |
               header[at + 3];
    };
    return {word(16), word(20)};
}

std::string normalMapPath(const std::string& path) {
    size_t slash = path.rfind('/');
    size_t at = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, at) + "normal_" + path.substr(at);
}

struct Bounds {
    glm::vec3 lo{1e9f};
    glm::vec3 hi{-1e9f};
};

// Bounds of all vertices per material name.
std::map<std::string, Bounds> boundsByMaterial(const aiScene* scene) {
    std::map<std::string, Bounds> bounds;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        Bounds& b = bounds[materialName(scene->mMaterials[mesh->mMaterialIndex])];
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            glm::vec3 p(mesh->mVertices[v].x, mesh->mVertices[v].y, mesh->mVertices[v].z);
            b.lo = glm::min(b.lo, p);
            b.hi = glm::max(b.hi, p);
        }
    }
    return bounds;
}

class HouseModel : public ::testing::Test {
  protected:
    void SetUp() override {
        scene = importHouse(importer);
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    }
    Assimp::Importer importer;
    const aiScene* scene = nullptr;
};

} // namespace

TEST_F(HouseModel, ImportsAsTexturedTrianglesOfAboutThirtyThousand) {
    unsigned triangles = 0;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        EXPECT_EQ(mesh->mPrimitiveTypes, unsigned(aiPrimitiveType_TRIANGLE)) << "mesh " << m;
        EXPECT_EQ(mesh->mNumVertices, 3 * mesh->mNumFaces) << "one vertex per face corner, mesh " << m;
        EXPECT_TRUE(mesh->HasNormals()) << "mesh " << m;
        EXPECT_TRUE(mesh->HasTextureCoords(0)) << "mesh " << m;
        triangles += mesh->mNumFaces;
    }
    EXPECT_GT(triangles, 15000u);
    EXPECT_LT(triangles, 40000u);
}

TEST_F(HouseModel, TexturesAndTheirNormalMapsExistWhereTheDemoLooks) {
    ASSERT_GE(scene->mNumMaterials, 15u);
    unsigned textured = 0, normalMapped = 0;
    for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
        std::string path = diffusePath(scene->mMaterials[i]);
        if (path.empty())
            continue;
        ++textured;
        EXPECT_EQ(path.rfind("../models/textures/", 0), 0u) << path;
        ImageSize size = pngSize(path);
        EXPECT_TRUE(size.width == 512 || size.width == 1024) << path << " is " << size.width << " wide";
        EXPECT_EQ(size.width, size.height) << path;
        ImageSize normal = pngSize(normalMapPath(path));
        if (normal.width != 0) {
            ++normalMapped;
            EXPECT_EQ(normal.width, size.width) << normalMapPath(path);
        }
    }
    EXPECT_GT(2 * textured, scene->mNumMaterials) << "most materials are textured";
    EXPECT_GE(normalMapped, 10u);
}

TEST_F(HouseModel, LargeSurfacesAreNormalMapped) {
    std::set<std::string> withNormalMap;
    for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
        std::string path = diffusePath(scene->mMaterials[i]);
        if (!path.empty() && pngSize(normalMapPath(path)).width != 0)
            withNormalMap.insert(materialName(scene->mMaterials[i]));
    }
    for (const char* name : {"floor_oak", "plaster", "stone", "cladding", "roof_tiles", "timber", "grass"})
        EXPECT_TRUE(withNormalMap.count(name)) << name;
}

TEST_F(HouseModel, HasGlassAndTwoSidedFoliage) {
    std::set<std::string> transparent, twoSided;
    for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
        const aiMaterial* material = scene->mMaterials[i];
        float opacity = materialOpacity(material);
        if (opacity < 1.0f)
            transparent.insert(materialName(material));
        else
            EXPECT_EQ(opacity, 1.0f) << materialName(material);
        if (materialTwoSided(material))
            twoSided.insert(materialName(material));
    }
    EXPECT_EQ(transparent, std::set<std::string>{"glass"});
    EXPECT_TRUE(twoSided.count("leaves"));
    EXPECT_TRUE(twoSided.count("curtain"));
}

TEST_F(HouseModel, GroundCoversTheSkyBoxAndTheFloorIsAtZero) {
    auto bounds = boundsByMaterial(scene);
    ASSERT_TRUE(bounds.count("grass"));
    const Bounds& ground = bounds["grass"];
    // The sky box spans world -3..3; a model vertex v lands at 0.001 v + (0.7, -1, 1.5).
    EXPECT_LE(ground.lo.x, -3700.0f);
    EXPECT_GE(ground.hi.x, 2300.0f);
    EXPECT_LE(ground.lo.z, -4500.0f);
    EXPECT_GE(ground.hi.z, 1500.0f);
    EXPECT_EQ(ground.lo.y, 0.0f);
    EXPECT_EQ(ground.hi.y, 0.0f);
    EXPECT_EQ(bounds["floor_oak"].lo.y, 0.0f);
}
