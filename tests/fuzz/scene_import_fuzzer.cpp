// The scene import on arbitrary Collada documents: the importer with the demo's flags (first in a child
// process, as the demo does it), every material through the demo's material import (textures are loaded
// for real, so a GL context is opened once), and every mesh through the vertex gathering and the tangent
// frames. What the upload and the passes rely on must hold for any document the importer accepts.
#include "app/child_process.h"
#include "app/demo_app.h"
#include "scene/material_import.h"
#include "scene/mesh_vertices.h"
#include "scene/scene_import.h"
#include "scene/tangents.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char* what) {
    if (condition)
        return;
    fprintf(stderr, "violated: %s\n", what);
    abort();
}

bool finite(const glm::vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool finite(const glm::vec2& v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}

// From a triangle with finite corners the shading needs a finite frame, or its pixels turn to NaN.
void checkTangentFrames(const MeshVertices& vertices) {
    size_t count = vertices.positions.size();
    std::vector<glm::vec3> tangents, bitangents;
    appendTangentFrames(vertices.positions, vertices.texCoords, static_cast<float>(count), tangents,
                        bitangents);
    require(tangents.size() == count && bitangents.size() == count, "one tangent frame per vertex");
    for (size_t i = 0; i + 2 < count; i += 3) {
        bool cornersFinite = true;
        for (size_t k = i; k < i + 3; ++k)
            cornersFinite = cornersFinite && finite(vertices.positions[k]) && finite(vertices.texCoords[k]);
        if (cornersFinite)
            require(finite(tangents[i]) && finite(bitangents[i]), "finite frame for a finite triangle");
    }
}

void checkMesh(const aiMesh& mesh, unsigned materialCount) {
    require(mesh.mMaterialIndex < materialCount, "material index in range");
    MeshVertices vertices = gatherVertices(mesh);
    size_t count = vertices.positions.size();
    require(vertices.normals.empty() || vertices.normals.size() == count, "one normal per vertex");
    require(vertices.texCoords.empty() || vertices.texCoords.size() == count, "one uv per vertex");
    if (vertices.primitiveTypes == aiPrimitiveType_TRIANGLE)
        require(count % 3 == 0, "whole triangles");
    if (!vertices.texCoords.empty())
        checkTangentFrames(vertices);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A DemoApp with a headless context, as the texture loader needs; run from demo/, where the soundtrack
    // is found.
    theApp = new DemoApp();
    theApp->headless = true;
    theApp->initialize();
    if (theApp->state != INIT) {
        fprintf(stderr, "no GL context\n");
        abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto import = [=] { Assimp::Importer().ReadFileFromMemory(data, size, SCENE_IMPORT_FLAGS, "dae"); };
    if (!survivesInChild(import, {5.0, size_t(1) << 30}))
        return 0;
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(data, size, SCENE_IMPORT_FLAGS, "dae");
    if (!scene)
        return 0;
    for (unsigned m = 0; m < scene->mNumMaterials; ++m)
        importMaterial(*scene->mMaterials[m]);
    for (unsigned m = 0; m < scene->mNumMeshes; ++m)
        checkMesh(*scene->mMeshes[m], scene->mNumMaterials);
    return 0;
}
