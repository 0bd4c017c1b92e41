// The vertex attributes of one imported mesh in draw order, ready for non-indexed drawing.
#pragma once

#include <assimp/mesh.h>
#include <glm/glm.hpp>

#include <vector>

struct MeshVertices {
    unsigned primitiveTypes = 0;
    std::vector<glm::vec3> positions;
    // Empty when the mesh has none, or no vertices.
    std::vector<glm::vec3> normals;
    // u and v of the first texture-coordinate channel; empty when the mesh has none, or no vertices.
    std::vector<glm::vec2> texCoords;
};

// Which imported vertex each drawn vertex is: the vertices as they are, except for a mesh holding polygons,
// whose faces are fanned into triangles (one entry per triangle corner, in face order).
std::vector<unsigned> drawOrder(const aiMesh& mesh);

// The mesh's attributes in draw order; a mesh with polygons comes out as a triangle mesh.
MeshVertices gatherVertices(const aiMesh& mesh);
