#include "render/mesh_draw.h"

#include <assimp/mesh.h>

GLenum primitiveMode(unsigned primitiveTypes) {
    if (primitiveTypes == aiPrimitiveType_LINE)
        return GL_LINES;
    if (primitiveTypes == aiPrimitiveType_POINT)
        return GL_POINTS;
    return GL_TRIANGLES;
}

const Material* meshMaterial(const Scene& scene, const Mesh& mesh) {
    if (mesh.materialIndex >= scene.materials.size())
        return nullptr;
    return &scene.materials[mesh.materialIndex];
}

void drawVertices(const Mesh& mesh) {
    glDrawArrays(primitiveMode(mesh.primitiveTypes), 0, static_cast<GLsizei>(mesh.vertexCount));
}

void drawMesh(const Mesh& mesh, const Material& material) {
    withMaterialCulling(material, [&] { drawVertices(mesh); });
}
