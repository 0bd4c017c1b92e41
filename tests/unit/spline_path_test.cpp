#include "motion/spline_path.h"

#include <gtest/gtest.h>

namespace {

LightPathPoint lightPoint(float x, double time) {
    return {glm::vec3(x, 0.0f, 0.0f), time};
}

// The built-in camera path, started at clock reading 0.
class CameraPathRun : public testing::Test {
  protected:
    void SetUp() override { startPath(path, start, window, 0.0); }

    std::vector<PathControlPoint> path = buildCameraPath();
    double start = -1.0;
    PathWindow<PathControlPoint> window{};
    int16_t segment = 0;
};

} // namespace

TEST(SplinePath, BuiltInPathsStandTheirEndsTwice) {
    std::vector<PathControlPoint> camera = buildCameraPath();
    ASSERT_EQ(camera.size(), 35u);
    EXPECT_EQ(camera[0].position, camera[1].position);
    EXPECT_EQ(camera[0].time, 0.0);
    EXPECT_EQ(camera[33].target, camera[34].target);
    EXPECT_EQ(camera[34].time, 155.0);
    for (size_t i = 2; i < 34; ++i)
        EXPECT_LT(camera[i - 1].time, camera[i].time) << "point " << i;
    for (const PathControlPoint& point : camera)
        EXPECT_EQ(point.dofOn, point.time >= 50.0 && point.time < 70.0) << "at " << point.time;

    std::vector<LightPathPoint> light = buildLightPath();
    ASSERT_EQ(light.size(), 10u);
    EXPECT_EQ(light[9].time, 125.0);
    EXPECT_EQ(light[8].position, light[9].position);
}

TEST(SplinePath, TooShortTableIsReportedAndLeftOpen) {
    testing::internal::CaptureStdout();
    std::vector<PathControlPoint> camera = buildPath<PathControlPoint>({{}});
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error: Too view control points for camera path specified.");
    EXPECT_EQ(camera.size(), 2u);

    testing::internal::CaptureStdout();
    std::vector<LightPathPoint> light = buildPath<LightPathPoint>({lightPoint(1.0f, 0.0)});
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error: Too view control points for light path specified.");
    EXPECT_EQ(light.size(), 2u);

    // Too short to step along: the window is never filled and the clock never bound.
    double start = -1.0;
    PathWindow<LightPathPoint> window{};
    EXPECT_FALSE(startPath(light, start, window, 3.0));
    EXPECT_EQ(start, -1.0);
}

TEST(SplinePath, TwoRowTableMakesOneSegment) {
    testing::internal::CaptureStdout();
    std::vector<LightPathPoint> path =
        buildPath<LightPathPoint>({lightPoint(1.0f, 0.0), lightPoint(3.0f, 2.0)});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(path.size(), 4u);

    double start = -1.0;
    PathWindow<LightPathPoint> window{};
    int16_t segment = 0;
    ASSERT_TRUE(startPath(path, start, window, 10.0));
    ASSERT_TRUE(startPath(path, start, window, 11.0));
    EXPECT_EQ(start, 10.0);
    EXPECT_EQ(path[3].time, 12.0);
    EXPECT_EQ(window[2].time, 12.0);
    PathStep step = stepPath(path, window, segment, 11.0);
    EXPECT_EQ(step.kind, PathStep::INSIDE);
    EXPECT_FLOAT_EQ(step.s, 0.5f);
    // With no further point the window stays on its one segment for good.
    EXPECT_EQ(stepPath(path, window, segment, 12.5).kind, PathStep::OUTSIDE);
    EXPECT_EQ(segment, 0);
}

TEST_F(CameraPathRun, ClockJumpAdvancesOneSegmentPerFrame) {
    for (int frame = 1; frame <= 5; ++frame) {
        ASSERT_EQ(stepPath(path, window, segment, 30.0).kind, PathStep::ADVANCED) << "frame " << frame;
        EXPECT_EQ(segment, frame);
    }
    PathStep caughtUp = stepPath(path, window, segment, 30.0);
    EXPECT_EQ(caughtUp.kind, PathStep::INSIDE);
    EXPECT_EQ(caughtUp.s, 1.0f);
    EXPECT_EQ(window[2].time, 30.0);
}

TEST_F(CameraPathRun, MidSegmentPointIsUniformCatmullRomOfTheWindow) {
    ASSERT_EQ(stepPath(path, window, segment, 7.5).kind, PathStep::ADVANCED);
    PathStep step = stepPath(path, window, segment, 7.5);
    ASSERT_EQ(step.kind, PathStep::INSIDE);
    // Rows 0 to 3 weighted -1/16, 9/16, 9/16, -1/16 at s = 1/2.
    glm::vec3 expected =
        (9.0f * (path[2].position + path[3].position) - path[1].position - path[4].position) / 16.0f;
    glm::vec3 point = splinePoint(window, &PathControlPoint::position, step.s);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(point[c], expected[c], 1e-6f);
}
