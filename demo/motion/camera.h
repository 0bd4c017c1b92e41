// The viewer's camera: flies the built-in path in demo mode, is steered by keys, mouse and wheel in walk
// mode.
#pragma once

#include "motion/spline_path.h"
#include "render/shader_constants.h"

#include <glm/glm.hpp>

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

// One frame of walk-mode input; a direction is held when its arrow key or its letter key is down.
struct WalkInput {
    double now = 0.0; // clock reading, seconds
    double cursorX = 0.0, cursorY = 0.0;
    bool forward = false, back = false, right = false, left = false;
    double wheel = 0.0; // accumulated wheel position since start
};

// Gives the walk input for clock reading `now`.
using WalkInputSource = std::function<WalkInput(double now)>;

// Unit vector of a heading and a pitch, both in radians.
inline glm::vec3 lookDirection(float horizontal, float vertical) {
    return glm::vec3(std::cos(vertical) * std::sin(horizontal), std::sin(vertical),
                     std::cos(vertical) * std::cos(horizontal));
}

struct Camera {
    Camera();

    // One demo-mode step at clock reading `now`.
    void updatePath(double now);
    // The path's part of that step: the path's position, target and depth-of-field switch, with the camera
    // itself left where it is. False while the path is too short to follow.
    bool followPath(double now);
    // Puts the path back to before its first step, unbound from the clock.
    void restartPath();
    // One walk-mode step.
    void updateWalk(const WalkInput& input);

    glm::mat4 viewMatrix = glm::mat4(1.0f);
    glm::mat4 projectionMatrix = glm::mat4(1.0f);
    glm::vec3 position = glm::vec3(0.335f, -0.63f, 0.8f);
    // Radians, never wrapped: 90 is not a quarter turn, but walk mode's first view is fixed by it.
    float horizontalAngle = 90.0f;
    float verticalAngle = 0.0f;
    float nearPlane = CAMERA_NEAR_PLANE;
    float farPlane = CAMERA_FAR_PLANE;
    float fieldOfView = 45.0f;       // degrees, vertical
    float aspectRatio = 4.0f / 3.0f; // width over height of the picture
    float moveSpeed = 0.4f;          // units per second
    float mouseSpeed = 0.1f;         // radians per pixel per second
    float zoomStep = 4.0f;           // degrees per wheel step
    double lastWalkTime = -1.0;
    float lastMouseX = 0.0f, lastMouseY = 0.0f;
    double pathStartTime = -1.0;
    PathWindow<PathControlPoint> pathWindow{};
    std::vector<PathControlPoint> cameraPath;
    int16_t segmentIndex = 0;
    glm::vec3 pathPosition = position;
    glm::vec3 pathTarget = lookDirection(horizontalAngle, verticalAngle);
    bool pathDofOn = false;
};
