#include "motion/camera.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace {

const glm::vec3 FIRST_ROW_POSITION(-1.716012f, -0.393584f, -2.26443f);
const glm::vec3 FIRST_ROW_TARGET(-1.273062f, -0.500778f, -1.374315f);
const glm::vec3 WALK_START_DIRECTION(std::sin(90.0f), 0.0f, std::cos(90.0f));

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance = 1e-5f) {
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(actual[c], expected[c], tolerance) << "component " << c;
}

glm::mat4 projection(float fieldOfView) {
    return glm::perspective(glm::radians(fieldOfView), 4.0f / 3.0f, 0.001f, 7.0f);
}

WalkInput walkAt(double now, double wheel = 0.0) {
    WalkInput input;
    input.now = now;
    input.cursorX = 512.0;
    input.cursorY = 384.0;
    input.wheel = wheel;
    return input;
}

// A walker that has seen its first frame at t = 10 with the cursor at the window centre.
Camera startedWalker() {
    Camera camera;
    camera.lastMouseX = 512.0f;
    camera.lastMouseY = 384.0f;
    camera.updateWalk(walkAt(10.0));
    return camera;
}

} // namespace

TEST(CameraPath, FirstFrameStandsAtFirstRowLookingAtItsTarget) {
    Camera camera;
    camera.updatePath(3.0);
    EXPECT_EQ(camera.position, FIRST_ROW_POSITION);
    EXPECT_EQ(camera.viewMatrix, glm::lookAt(FIRST_ROW_POSITION, FIRST_ROW_TARGET, glm::vec3(0, 1, 0)));
    EXPECT_EQ(camera.projectionMatrix, projection(45.0f));
}

TEST(CameraPath, FrameAtRowTimeEndsSegmentThenNextFrameOnlyAdvances) {
    Camera camera;
    camera.updatePath(0.0);
    camera.updatePath(5.0);
    glm::vec3 secondRow = camera.cameraPath[2].position;
    EXPECT_EQ(camera.position, secondRow);
    camera.updatePath(5.25);
    EXPECT_EQ(camera.segmentIndex, 1);
    EXPECT_EQ(camera.position, secondRow);
    camera.updatePath(5.5);
    EXPECT_NE(camera.position, secondRow);
}

TEST(CameraPath, DepthOfFieldFromFirstFrameAfterFiftyToFirstAfterSeventy) {
    Camera camera;
    double switchedOn = -1.0, switchedOff = -1.0;
    for (double now = 0.0; now <= 75.0; now += 0.125) {
        bool wasOn = camera.pathDofOn;
        camera.updatePath(now);
        if (camera.pathDofOn != wasOn)
            (wasOn ? switchedOff : switchedOn) = now;
    }
    EXPECT_EQ(switchedOn, 50.125);
    EXPECT_EQ(switchedOff, 70.125);
}

TEST(CameraPath, EndsAFrameShortOfTheLastPointAndStays) {
    Camera camera;
    for (double now = 0.0; now <= 155.0; now += 0.125)
        camera.updatePath(now);
    expectNear(camera.position, camera.cameraPath.back().position, 1e-3f);
    glm::mat4 view = camera.viewMatrix;
    camera.updatePath(400.0);
    EXPECT_EQ(camera.viewMatrix, view);
}

TEST(CameraPath, TooShortPathLeavesCameraUntouched) {
    Camera camera;
    testing::internal::CaptureStdout();
    camera.cameraPath = buildPath<PathControlPoint>({{}});
    testing::internal::GetCapturedStdout();
    camera.updatePath(1.0);
    EXPECT_EQ(camera.viewMatrix, glm::mat4(1.0f));
    EXPECT_EQ(camera.projectionMatrix, glm::mat4(1.0f));
}

TEST(CameraWalk, FirstFrameOnlyRecordsTheTime) {
    Camera camera;
    glm::vec3 start = camera.position;
    WalkInput input = walkAt(2.0, 3.0);
    input.cursorX = 900.0;
    input.forward = true;
    camera.updateWalk(input);
    EXPECT_EQ(camera.lastWalkTime, 2.0);
    EXPECT_EQ(camera.position, start);
    EXPECT_EQ(camera.horizontalAngle, 90.0f);
    EXPECT_EQ(camera.fieldOfView, 45.0f);
    EXPECT_EQ(camera.viewMatrix, glm::mat4(1.0f));
    EXPECT_EQ(camera.projectionMatrix, glm::mat4(1.0f));
}

TEST(CameraWalk, KeysMoveAlongViewAndSidewaysAndOppositesCancel) {
    Camera camera = startedWalker();
    glm::vec3 start = camera.position;
    WalkInput input = walkAt(10.5);
    input.forward = true;
    camera.updateWalk(input);
    expectNear(camera.position, start + 0.2f * WALK_START_DIRECTION);
    expectNear(glm::vec3(camera.viewMatrix * glm::vec4(camera.position + WALK_START_DIRECTION, 1.0f)),
               glm::vec3(0.0f, 0.0f, -1.0f));

    glm::vec3 before = camera.position;
    input.now = 11.0;
    input.back = true;
    camera.updateWalk(input);
    expectNear(camera.position, before);

    input = walkAt(11.5);
    input.right = true;
    camera.updateWalk(input);
    // Seen from the camera the step goes right, and the world's up stays up.
    glm::mat3 toEye(camera.viewMatrix);
    expectNear(toEye * (camera.position - before), glm::vec3(0.2f, 0.0f, 0.0f), 1e-3f);
    expectNear(toEye * glm::vec3(0.0f, 1.0f, 0.0f), glm::vec3(0.0f, 1.0f, 0.0f), 1e-3f);
}

TEST(CameraWalk, MouseTurnScalesWithFrameTime) {
    Camera camera = startedWalker();
    WalkInput input = walkAt(10.5);
    input.cursorX = 522.0; // 10 px right
    input.cursorY = 374.0; // 10 px up
    camera.updateWalk(input);
    EXPECT_FLOAT_EQ(camera.horizontalAngle, 90.0f - 10.0f * 0.1f * 0.5f);
    EXPECT_FLOAT_EQ(camera.verticalAngle, 10.0f * 0.1f * 0.5f);
}

TEST(CameraWalk, WheelSetsFieldOfViewAbsolutelyAndDegenerateAnglesKeepLastProjection) {
    Camera camera = startedWalker();
    double now = 10.0;
    for (auto [wheel, fieldOfView] : {std::pair{0.0, 45.0f}, {-1.0, 49.0f}, {1.0, 41.0f}, {11.0, 1.0f}}) {
        camera.updateWalk(walkAt(now += 0.1, wheel));
        EXPECT_EQ(camera.fieldOfView, fieldOfView);
        EXPECT_EQ(camera.projectionMatrix, projection(fieldOfView));
    }
    for (double wheel : {11.25, 12.0, -33.75, -34.0}) {
        camera.updateWalk(walkAt(now += 0.1, wheel));
        EXPECT_EQ(camera.fieldOfView, 45.0f - static_cast<float>(wheel) * 4.0f);
        EXPECT_EQ(camera.projectionMatrix, projection(1.0f));
    }
    // The zoom is shared with demo mode.
    camera.updatePath(12.0);
    EXPECT_EQ(camera.projectionMatrix, projection(1.0f));
}
