#include "motion/moving_light.h"

#include <glm/gtc/matrix_transform.hpp>

namespace {

// Rotation of each cube face: a look-at from the origin along the face's axis, with the up vector the
// cube-map layout prescribes for that face.
CubeFaceMatrices cubeFaceRotations() {
    const glm::vec3 forward[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    const glm::vec3 up[6] = {{0, -1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}, {0, -1, 0}, {0, -1, 0}};
    CubeFaceMatrices rotations;
    for (int face = 0; face < 6; ++face)
        rotations[face] = glm::lookAt(glm::vec3(0.0f), forward[face], up[face]);
    return rotations;
}

} // namespace

MovingLight::MovingLight() : faceRotations(cubeFaceRotations()) {
    float aspect = static_cast<float>(shadowMapWidth) / static_cast<float>(shadowMapHeight);
    shadowProjection = glm::perspective(glm::radians(90.0f), aspect, nearPlane, farPlane);
    updateShadowMatrices();
    lightPath = buildLightPath();
}

void MovingLight::update(double now) {
    if (!startPath(lightPath, pathStartTime, pathWindow, now))
        return;
    if (now >= lightPath.back().time)
        return;
    PathStep step = stepPath(lightPath, pathWindow, segmentIndex, now);
    // Between two equal points the light waits where it is rather than being pulled around by the tangents.
    if (step.kind != PathStep::INSIDE || pathWindow[1].position == pathWindow[2].position)
        return;
    position = splinePoint(pathWindow, &LightPathPoint::position, step.s);
}

const CubeFaceMatrices& MovingLight::updateShadowMatrices() {
    for (size_t face = 0; face < faceViews.size(); ++face) {
        faceViews[face] = glm::translate(faceRotations[face], -position);
        faceViewProjections[face] = shadowProjection * faceViews[face];
    }
    return faceViewProjections;
}
