// The house's triangles as the demo draws them, with the spatial queries the flight checks need:
// distance from a point to the nearest surface, and how many closed solids hold a point.
#pragma once

#include "house_import.h"

#include "scene/mesh_vertices.h"

#include <glm/glm.hpp>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

struct HouseTriangle {
    glm::vec3 a, b, c;
    bool opaque;   // material opacity 1: drawn in the shadow pass, and a solid's surface
    bool twoSided; // leaves and cloth: open sheets, never part of a solid
};

// Every triangle of the model in model units, in the demo's draw order.
inline std::vector<HouseTriangle> houseTriangles(const aiScene* scene) {
    std::vector<HouseTriangle> triangles;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh& mesh = *scene->mMeshes[m];
        const aiMaterial* material = scene->mMaterials[mesh.mMaterialIndex];
        bool opaque = materialOpacity(material) >= 1.0f, twoSided = materialTwoSided(material);
        std::vector<glm::vec3> p = gatherVertices(mesh).positions;
        for (size_t i = 0; i + 2 < p.size(); i += 3)
            triangles.push_back({p[i], p[i + 1], p[i + 2], opaque, twoSided});
    }
    return triangles;
}

// Closest distance from p to the triangle abc (the closest-point regions of Ericson's
// Real-Time Collision Detection, 5.1.5).
inline float pointTriangleDistance(const glm::vec3& p, const HouseTriangle& t) {
    glm::vec3 ab = t.b - t.a, ac = t.c - t.a, ap = p - t.a;
    float d1 = glm::dot(ab, ap), d2 = glm::dot(ac, ap);
    if (d1 <= 0 && d2 <= 0)
        return glm::length(ap);
    glm::vec3 bp = p - t.b;
    float d3 = glm::dot(ab, bp), d4 = glm::dot(ac, bp);
    if (d3 >= 0 && d4 <= d3)
        return glm::length(bp);
    float vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0)
        return glm::length(p - (t.a + ab * (d1 / (d1 - d3))));
    glm::vec3 cp = p - t.c;
    float d5 = glm::dot(ab, cp), d6 = glm::dot(ac, cp);
    if (d6 >= 0 && d5 <= d6)
        return glm::length(cp);
    float vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0)
        return glm::length(p - (t.a + ac * (d2 / (d2 - d6))));
    float va = d3 * d6 - d5 * d4;
    if (va <= 0 && d4 - d3 >= 0 && d5 - d6 >= 0)
        return glm::length(p - (t.b + (t.c - t.b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)))));
    float denom = 1.0f / (va + vb + vc);
    return glm::length(p - (t.a + ab * (vb * denom) + ac * (vc * denom)));
}

// Triangles bucketed by the grid cells their bounds, grown by `reach`, overlap: every triangle
// within `reach` of a point is listed in that point's cell.
class TriangleGrid {
  public:
    TriangleGrid(const std::vector<HouseTriangle>& triangles, float reach, const glm::vec3& cell)
        : triangles(triangles), cell(cell) {
        for (size_t i = 0; i < triangles.size(); ++i) {
            const HouseTriangle& t = triangles[i];
            Key lo = key(glm::min(t.a, glm::min(t.b, t.c)) - reach);
            Key hi = key(glm::max(t.a, glm::max(t.b, t.c)) + reach);
            for (int x = std::get<0>(lo); x <= std::get<0>(hi); ++x)
                for (int y = std::get<1>(lo); y <= std::get<1>(hi); ++y)
                    for (int z = std::get<2>(lo); z <= std::get<2>(hi); ++z)
                        cells[{x, y, z}].push_back(i);
        }
    }

    std::vector<const HouseTriangle*> near(const glm::vec3& p) const {
        std::vector<const HouseTriangle*> found;
        auto bucket = cells.find(key(p));
        if (bucket != cells.end())
            for (size_t i : bucket->second)
                found.push_back(&triangles[i]);
        return found;
    }

  private:
    using Key = std::tuple<int, int, int>;
    Key key(const glm::vec3& p) const {
        glm::vec3 k = glm::floor(p / cell);
        return {int(k.x), int(k.y), int(k.z)};
    }
    const std::vector<HouseTriangle>& triangles;
    glm::vec3 cell;
    std::map<Key, std::vector<size_t>> cells;
};

// Distance from p to the nearest of the candidates, or `far` when there are none.
inline float nearestDistance(const glm::vec3& p, const std::vector<const HouseTriangle*>& candidates,
                             float far) {
    float best = far;
    for (const HouseTriangle* t : candidates)
        best = std::min(best, pointTriangleDistance(p, *t));
    return best;
}

// How many closed solids hold p: along a ray straight up, each surface left behind (its front
// facing up) counts one and each one entered counts minus one. Open sheets (two-sided or
// transparent triangles) bound no solid and are skipped.
inline int solidDepth(const glm::vec3& p, const std::vector<const HouseTriangle*>& candidates) {
    int depth = 0;
    for (const HouseTriangle* t : candidates) {
        if (!t->opaque || t->twoSided)
            continue;
        glm::vec2 a(t->a.x, t->a.z), b(t->b.x, t->b.z), c(t->c.x, t->c.z), q(p.x, p.z);
        float det = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
        if (std::abs(det) < 1e-9f)
            continue;
        float u = ((q.x - a.x) * (c.y - a.y) - (c.x - a.x) * (q.y - a.y)) / det;
        float v = ((b.x - a.x) * (q.y - a.y) - (q.x - a.x) * (b.y - a.y)) / det;
        if (u < 0 || v < 0 || u + v > 1)
            continue;
        if (t->a.y + u * (t->b.y - t->a.y) + v * (t->c.y - t->a.y) <= p.y)
            continue;
        depth += glm::cross(t->b - t->a, t->c - t->a).y > 0 ? 1 : -1;
    }
    return depth;
}
