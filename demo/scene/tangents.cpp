#include "scene/tangents.h"

#include "app/demo_app.h"

#include <cmath>

namespace {

struct TangentFrame {
    glm::vec3 tangent = glm::vec3(0.0f);
    glm::vec3 bitangent = glm::vec3(0.0f);
};

bool isFinite(const glm::vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Tangent along the first edge, bitangent across it in the triangle's plane; zero for a triangle without
// area.
TangentFrame edgeFrame(const glm::vec3& edge1, const glm::vec3& edge2) {
    glm::vec3 normal = glm::cross(edge1, edge2);
    float area = glm::length(normal);
    if (!(area > 0.0f) || !std::isfinite(area))
        return {};
    glm::vec3 tangent = glm::normalize(edge1);
    return {tangent, glm::cross(normal / area, tangent)};
}

TangentFrame triangleFrame(const glm::vec3* p, const glm::vec2* uv) {
    glm::vec3 edge1 = p[1] - p[0], edge2 = p[2] - p[0];
    glm::vec2 delta1 = uv[1] - uv[0], delta2 = uv[2] - uv[0];
    float r = 1.0f / (delta1.x * delta2.y - delta2.x * delta1.y);
    TangentFrame frame{(edge1 * delta2.y - edge2 * delta1.y) * r, (edge2 * delta1.x - edge1 * delta2.x) * r};
    // Texture coordinates that collapse the triangle to a line or a point make r infinite.
    if (isFinite(frame.tangent) && isFinite(frame.bitangent))
        return frame;
    return edgeFrame(edge1, edge2);
}

} // namespace

void appendTangentFrames(const std::vector<glm::vec3>& positions, const std::vector<glm::vec2>& texCoords,
                         float vertexCount, std::vector<glm::vec3>& tangents,
                         std::vector<glm::vec3>& bitangents) {
    size_t i = 0;
    for (; static_cast<float>(i) < vertexCount - 2.0f; i += 3) {
        TangentFrame frame = triangleFrame(&positions[i], &texCoords[i]);
        tangents.insert(tangents.end(), 3, frame.tangent);
        bitangents.insert(bitangents.end(), 3, frame.bitangent);
    }
    size_t remaining = static_cast<size_t>(vertexCount) - i;
    tangents.insert(tangents.end(), remaining, glm::vec3(0.0f));
    bitangents.insert(bitangents.end(), remaining, glm::vec3(0.0f));
}

void computeTangents(const std::vector<glm::vec3>& positions, const std::vector<glm::vec2>& texCoords,
                     float vertexCount) {
    appendTangentFrames(positions, texCoords, vertexCount, theApp->tangents, theApp->bitangents);
}
