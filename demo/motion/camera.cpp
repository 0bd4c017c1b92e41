#include "motion/camera.h"

#include <glm/gtc/matrix_transform.hpp>

namespace {

// The wheel sets the field of view absolutely, from this angle.
constexpr float UNZOOMED_FIELD_OF_VIEW = 45.0f;
// Not quite a right angle: the walk's sideways direction as it has always been steered.
constexpr float QUARTER_TURN = 1.57f;

void updateProjection(Camera& camera) {
    // From 0 degrees down or 180 up the perspective has no finite form: keep the last one that had.
    if (camera.fieldOfView <= 0.0f || camera.fieldOfView >= 180.0f)
        return;
    camera.projectionMatrix = glm::perspective(glm::radians(camera.fieldOfView), camera.aspectRatio,
                                               camera.nearPlane, camera.farPlane);
}

// Mouse look: moving right turns right, moving up looks up, scaled by the frame time.
void turn(Camera& camera, const WalkInput& input, float dt) {
    float x = static_cast<float>(input.cursorX), y = static_cast<float>(input.cursorY);
    float k = camera.mouseSpeed * dt;
    camera.horizontalAngle += (camera.lastMouseX - x) * k;
    camera.lastMouseX = x;
    camera.verticalAngle += (camera.lastMouseY - y) * k;
    camera.lastMouseY = y;
}

} // namespace

Camera::Camera() {
    cameraPath = buildCameraPath();
}

void Camera::updatePath(double now) {
    if (!followPath(now))
        return;
    updateProjection(*this);
    viewMatrix = glm::lookAt(pathPosition, pathTarget, glm::vec3(0.0f, 1.0f, 0.0f));
    position = pathPosition;
}

bool Camera::followPath(double now) {
    if (!startPath(cameraPath, pathStartTime, pathWindow, now))
        return false;
    PathStep step = stepPath(cameraPath, pathWindow, segmentIndex, now);
    if (step.kind == PathStep::ADVANCED) {
        pathDofOn = pathWindow[1].dofOn;
    } else if (step.kind == PathStep::INSIDE) {
        pathPosition = splinePoint(pathWindow, &PathControlPoint::position, step.s);
        pathTarget = splinePoint(pathWindow, &PathControlPoint::target, step.s);
    }
    return true;
}

void Camera::restartPath() {
    // Starting binds the path's times to the clock, so the restart takes the table's times afresh.
    cameraPath = buildCameraPath();
    pathStartTime = -1.0;
    pathWindow = {};
    segmentIndex = 0;
    pathDofOn = false;
}

void Camera::updateWalk(const WalkInput& input) {
    if (lastWalkTime < 0.0) {
        lastWalkTime = input.now;
        return;
    }
    float dt = static_cast<float>(input.now - lastWalkTime);
    turn(*this, input, dt);
    glm::vec3 direction = lookDirection(horizontalAngle, verticalAngle);
    glm::vec3 right(std::sin(horizontalAngle - QUARTER_TURN), 0.0f, std::cos(horizontalAngle - QUARTER_TURN));
    glm::vec3 up = glm::cross(right, direction);
    if (input.forward)
        position += moveSpeed * (direction * dt);
    if (input.back)
        position -= moveSpeed * (direction * dt);
    if (input.right)
        position += moveSpeed * (right * dt);
    if (input.left)
        position -= moveSpeed * (right * dt);
    fieldOfView = UNZOOMED_FIELD_OF_VIEW - static_cast<float>(input.wheel) * zoomStep;
    updateProjection(*this);
    viewMatrix = glm::lookAt(position, position + direction, up);
    lastWalkTime = input.now;
}
