#include "scene/scene_import.h"

#include "app/child_process.h"
#include "app/demo_app.h"
#include "scene/material_import.h"
#include "scene/mesh_vertices.h"
#include "scene/tangents.h"
#include "scene/texture_loader.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <glm/gtc/matrix_transform.hpp>

#include <cstdio>
#include <fstream>

namespace {

bool sceneFileOpens() {
    std::ifstream file(SCENE_FILE);
    if (file)
        return true;
    // The empty line after the message belongs to the demo's console as the tests know it.
    printf("Couldn't open file: %s\n\n", SCENE_FILE);
    return false;
}

// A document that the importer would not come back from is reported instead of read. The check started
// early, if any, has had the start-up so far to finish.
bool sceneFileImports() {
    std::unique_ptr<ChildProcess> check = std::move(theApp->sceneFileCheck);
    if (!check)
        check = startSceneFileCheck();
    if (check->survived())
        return true;
    printf("Couldn't import file: %s\n", SCENE_FILE);
    return false;
}

void uploadTangentFrames(const MeshVertices& vertices, std::vector<Buffer>& buffers) {
    size_t count = vertices.positions.size();
    computeTangents(vertices.positions, vertices.texCoords, static_cast<float>(count));
    buffers.push_back(uploadAttribute(ATTRIB_TANGENT, 3, &theApp->tangents[0].x, count));
    buffers.push_back(uploadAttribute(ATTRIB_BITANGENT, 3, &theApp->bitangents[0].x, count));
    theApp->tangents.clear();
    theApp->bitangents.clear();
}

// Locations without data stay disabled.
void uploadVertices(const MeshVertices& vertices, std::vector<Buffer>& buffers) {
    size_t count = vertices.positions.size();
    buffers.push_back(uploadAttribute(ATTRIB_POSITION, 3, count ? &vertices.positions[0].x : nullptr, count));
    if (!vertices.normals.empty())
        buffers.push_back(uploadAttribute(ATTRIB_NORMAL, 3, &vertices.normals[0].x, count));
    if (!vertices.texCoords.empty()) {
        buffers.push_back(uploadAttribute(ATTRIB_TEXCOORD, 2, &vertices.texCoords[0].x, count));
        uploadTangentFrames(vertices, buffers);
    }
}

Mesh buildMesh(const aiMesh& source, const glm::mat4& modelMatrix) {
    MeshVertices vertices = gatherVertices(source);
    Mesh mesh;
    mesh.materialIndex = source.mMaterialIndex;
    mesh.primitiveTypes = vertices.primitiveTypes;
    mesh.modelMatrix = modelMatrix;
    mesh.vertexCount = static_cast<unsigned>(vertices.positions.size());
    mesh.vao = VertexArray::generate();
    glBindVertexArray(mesh.vao);
    uploadVertices(vertices, mesh.buffers);
    return mesh;
}

void importMaterials(const aiScene& imported, Scene& scene) {
    for (unsigned m = 0; m < imported.mNumMaterials; ++m)
        scene.materials.push_back(importMaterial(*imported.mMaterials[m]));
}

void importMeshes(const aiScene& imported, const glm::mat4& modelMatrix, Scene& scene) {
    for (unsigned m = 0; m < imported.mNumMeshes; ++m)
        addMeshByOpacity(scene, buildMesh(*imported.mMeshes[m], modelMatrix));
}

} // namespace

glm::mat4 sceneModelMatrix(const glm::vec3& offset) {
    glm::mat4 translated = glm::translate(glm::mat4(1.0f), offset);
    return glm::scale(translated, glm::vec3(SCENE_SCALE));
}

void addMeshByOpacity(Scene& scene, Mesh mesh) {
    bool transparent =
        mesh.materialIndex < scene.materials.size() && scene.materials[mesh.materialIndex].opacity < 1.0f;
    (transparent ? scene.transparentMeshes : scene.opaqueMeshes).push_back(std::move(mesh));
}

std::unique_ptr<ChildProcess> startSceneFileCheck(const SceneFileReader& alsoRead) {
    auto import = [alsoRead] {
        Assimp::Importer importer;
        const aiScene* imported = importer.ReadFile(SCENE_FILE, SCENE_IMPORT_FLAGS);
        if (alsoRead)
            alsoRead(imported);
    };
    return std::make_unique<ChildProcess>(import, SCENE_CHECK_LIMITS);
}

bool loadScene(const glm::vec3& offset) {
    if (!sceneFileOpens() || !sceneFileImports())
        return false;
    Assimp::Importer importer;
    const aiScene* imported = importer.ReadFile(SCENE_FILE, SCENE_IMPORT_FLAGS);
    if (!imported) {
        printf("%s\n", importer.GetErrorString());
        return false;
    }
    Scene scene;
    importMaterials(*imported, scene);
    importMeshes(*imported, sceneModelMatrix(offset), scene);
    theApp->scenes.push_back(std::move(scene));
    return true;
}
