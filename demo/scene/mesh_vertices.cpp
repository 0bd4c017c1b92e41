#include "scene/mesh_vertices.h"

#include <numeric>

namespace {

bool holdsPolygons(const aiMesh& mesh) {
    return (mesh.mPrimitiveTypes & aiPrimitiveType_POLYGON) != 0;
}

// Points and lines among the faces have no area to fan and are left out.
std::vector<unsigned> fanCorners(const aiMesh& mesh) {
    std::vector<unsigned> corners;
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        for (unsigned k = 2; k < face.mNumIndices; ++k)
            corners.insert(corners.end(), {face.mIndices[0], face.mIndices[k - 1], face.mIndices[k]});
    }
    return corners;
}

glm::vec3 toVec3(const aiVector3D& v) {
    return {v.x, v.y, v.z};
}

} // namespace

std::vector<unsigned> drawOrder(const aiMesh& mesh) {
    if (holdsPolygons(mesh))
        return fanCorners(mesh);
    std::vector<unsigned> order(mesh.mNumVertices);
    std::iota(order.begin(), order.end(), 0u);
    return order;
}

MeshVertices gatherVertices(const aiMesh& mesh) {
    MeshVertices vertices;
    vertices.primitiveTypes = holdsPolygons(mesh) ? unsigned(aiPrimitiveType_TRIANGLE) : mesh.mPrimitiveTypes;
    std::vector<unsigned> order = drawOrder(mesh);
    for (unsigned index : order) {
        vertices.positions.push_back(toVec3(mesh.mVertices[index]));
        if (mesh.HasNormals())
            vertices.normals.push_back(toVec3(mesh.mNormals[index]));
        if (mesh.HasTextureCoords(0))
            vertices.texCoords.emplace_back(mesh.mTextureCoords[0][index].x, mesh.mTextureCoords[0][index].y);
    }
    return vertices;
}
