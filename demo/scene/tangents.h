// Per-triangle tangent frames for normal mapping, from positions and texture coordinates.
#pragma once

#include <glm/glm.hpp>

#include <vector>

// Appends one tangent and one bitangent per vertex: every three consecutive vertices form a triangle and
// share its frame. Frames are neither normalised nor made orthogonal to the normal. A triangle whose
// texture coordinates give no frame gets one from its edges; the vertices of a last incomplete group, and
// of triangles without area, get zero vectors.
void appendTangentFrames(const std::vector<glm::vec3>& positions, const std::vector<glm::vec2>& texCoords,
                         float vertexCount, std::vector<glm::vec3>& tangents,
                         std::vector<glm::vec3>& bitangents);

// The same, into the application's scratch lists `tangents` and `bitangents`.
void computeTangents(const std::vector<glm::vec3>& positions, const std::vector<glm::vec2>& texCoords,
                     float vertexCount);
