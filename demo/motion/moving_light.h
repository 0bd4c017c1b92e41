// The point light that tours the house along its path, with the cube-face matrices of its shadow map.
#pragma once

#include "motion/spline_path.h"
#include "render/shader_constants.h"

#include <glm/glm.hpp>

#include <array>
#include <cstdint>
#include <vector>

// Faces in OpenGL cube-map order: +X, -X, +Y, -Y, +Z, -Z.
using CubeFaceMatrices = std::array<glm::mat4, CUBE_FACE_COUNT>;

struct MovingLight {
    MovingLight();

    // Moves the light along its path to clock reading `now`; the shadow matrices are left alone.
    void update(double now);
    // Recomputes the face matrices for the current position; returns projection x view of each face.
    const CubeFaceMatrices& updateShadowMatrices();

    glm::vec3 position = glm::vec3(1.5f, -0.5f, 1.3f);
    CubeFaceMatrices faceRotations;
    float nearPlane = 0.001f;
    float farPlane = 5.0f;
    CubeFaceMatrices faceViewProjections;
    CubeFaceMatrices faceViews;
    glm::mat4 shadowProjection = glm::mat4(1.0f);
    int shadowMapWidth = 1024;
    int shadowMapHeight = 1024;
    double pathStartTime = -1.0;
    PathWindow<LightPathPoint> pathWindow{};
    std::vector<LightPathPoint> lightPath;
    glm::vec3 ambient = glm::vec3(0.4f);
    glm::vec3 diffuse = glm::vec3(0.8f);
    glm::vec3 specular = glm::vec3(0.8f);
    int16_t segmentIndex = 0;
};
