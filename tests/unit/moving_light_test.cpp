#include "motion/moving_light.h"

#include <gtest/gtest.h>

namespace {

const glm::vec3 INITIAL_POSITION(1.5f, -0.5f, 1.3f);

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance) {
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(actual[c], expected[c], tolerance) << "component " << c;
}

glm::vec3 eyePoint(const glm::mat4& view, const glm::vec3& world) {
    return glm::vec3(view * glm::vec4(world, 1));
}

} // namespace

TEST(MovingLight, HoldsThroughEqualPointsAndJumpsAfterTwentySeconds) {
    MovingLight light;
    const double frame = 0.125;
    for (double now = 0.0; now <= 20.0; now += frame) {
        light.update(now);
        ASSERT_EQ(light.position, INITIAL_POSITION) << "at " << now;
    }
    light.update(20.0 + frame);
    EXPECT_EQ(light.position, INITIAL_POSITION) << "the advancing frame evaluates nothing";
    light.update(20.0 + 2 * frame);
    expectNear(light.position, glm::vec3(-1.5f, 0.8f, -1.7f), 0.05f);
    for (double now = 20.0 + 3 * frame; now <= 30.0; now += frame)
        light.update(now);
    expectNear(light.position, glm::vec3(1.5f, 0.0f, 0.0f), 1e-5f);
}

TEST(MovingLight, WaitsNearRowThreeFromFortyToSeventyAndStopsAtTheEnd) {
    MovingLight light;
    const double frame = 0.125;
    double now = 0.0;
    for (; now <= 40.0; now += frame)
        light.update(now);
    glm::vec3 held = light.position;
    expectNear(held, glm::vec3(1.2f, -0.5f, 1.3f), 1e-3f);
    for (; now <= 70.0; now += frame) {
        light.update(now);
        ASSERT_EQ(light.position, held) << "at " << now;
    }
    for (; now < 125.0; now += frame)
        light.update(now);
    glm::vec3 last = light.position;
    // The last evaluation is a frame short of the last point: at its time the light has already arrived.
    expectNear(last, glm::vec3(-2.378555f, 2.161492f, -2.11762f), 0.02f);
    light.update(125.0);
    EXPECT_EQ(light.position, last);
    light.update(500.0);
    EXPECT_EQ(light.position, last);
}

TEST(MovingLight, EachFaceLooksAlongItsCubeMapAxisWithItsUp) {
    MovingLight light;
    light.position = glm::vec3(1.0f, 2.0f, 3.0f);
    const CubeFaceMatrices& projected = light.updateShadowMatrices();
    EXPECT_EQ(&projected, &light.faceViewProjections);
    expectNear(eyePoint(light.faceViews[0], glm::vec3(2.0f, 2.0f, 3.0f)), glm::vec3(0.0f, 0.0f, -1.0f),
               1e-6f);

    const glm::vec3 forward[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    const glm::vec3 up[6] = {{0, -1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}, {0, -1, 0}, {0, -1, 0}};
    for (int face = 0; face < 6; ++face) {
        SCOPED_TRACE(face);
        expectNear(eyePoint(light.faceViews[face], light.position + forward[face]), glm::vec3(0, 0, -1),
                   1e-6f);
        expectNear(eyePoint(light.faceViews[face], light.position + forward[face] + up[face]),
                   glm::vec3(0, 1, -1), 1e-6f);
        // The shadow projection spans the face exactly: a corner of the 90-degree frustum lands on the clip
        // corner.
        glm::vec4 clip = projected[face] * glm::vec4(light.position + forward[face] + up[face], 1.0f);
        EXPECT_NEAR(clip.y / clip.w, 1.0f, 1e-5f);
    }
}

TEST(MovingLight, UpdateLeavesShadowMatricesUntilAskedFor) {
    MovingLight light;
    CubeFaceMatrices before = light.faceViewProjections;
    light.update(0.0);
    light.update(25.0);
    light.update(25.125);
    ASSERT_NE(light.position, INITIAL_POSITION);
    EXPECT_EQ(light.faceViewProjections, before);
    light.updateShadowMatrices();
    EXPECT_NE(light.faceViewProjections, before);
}
