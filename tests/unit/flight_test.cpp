#include "app/flight_clock.h"
#include "motion/flight.h"

#include <gtest/gtest.h>

namespace {

void expectNear(const glm::vec3& actual, const glm::vec3& expected) {
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(actual[c], expected[c], 1e-5f) << "component " << c;
}

// The flight followed from its start at clock reading `start` to `seconds` into it.
struct Flight {
    Flight(double start, double seconds) { followPaths(camera, light, start, start + seconds, PATH_STEP); }
    // The frame at clock reading `now`.
    void frame(double now) {
        camera.updatePath(now);
        light.update(now);
    }
    Camera camera;
    MovingLight light;
};

} // namespace

TEST(FlightClock, PauseHoldsTheReadingAndResumingGoesOnWithoutAJump) {
    FlightClock clock;
    clock.begin(100.0);
    EXPECT_EQ(clock.reading(103.0), 103.0);
    EXPECT_EQ(clock.seconds(103.0), 3.0);
    clock.setPaused(true, 103.0);
    EXPECT_EQ(clock.reading(110.0), 103.0);
    clock.setPaused(true, 111.0);
    EXPECT_EQ(clock.reading(112.0), 103.0);
    clock.setPaused(false, 120.0);
    EXPECT_EQ(clock.reading(120.0), 103.0);
    EXPECT_EQ(clock.seconds(125.0), 8.0);
}

TEST(FlightClock, SeekOnMovesTheReadingSeekBackBeginsTheFlightAnewPausedOrNot) {
    FlightClock clock;
    // A seek before the first frame begins the flight.
    FlightJump jump = clock.seek(30.0, 5.0);
    EXPECT_FALSE(jump.restart);
    EXPECT_EQ(jump.from, 5.0);
    EXPECT_EQ(jump.to, 35.0);
    EXPECT_EQ(clock.seconds(6.0), 31.0);

    jump = clock.seek(12.0, 6.0);
    EXPECT_TRUE(jump.restart);
    EXPECT_EQ(jump.from, 24.0);
    EXPECT_EQ(jump.to, 36.0);
    EXPECT_EQ(clock.reading(6.0), 36.0);
    EXPECT_EQ(clock.seconds(7.0), 13.0);

    clock.setPaused(true, 7.0);
    jump = clock.seek(40.0, 9.0);
    EXPECT_FALSE(jump.restart);
    EXPECT_EQ(jump.to - jump.from, 27.0);
    EXPECT_EQ(clock.seconds(50.0), 40.0);
    jump = clock.seek(0.0, 60.0);
    EXPECT_TRUE(jump.restart);
    EXPECT_EQ(jump.from, jump.to);
    EXPECT_EQ(clock.seconds(70.0), 0.0);
    clock.setPaused(false, 80.0);
    EXPECT_EQ(clock.seconds(81.5), 1.5);
}

TEST(FlightClock, SeekTargetsStayWithinTheFlight) {
    EXPECT_EQ(seekTarget(5.0, -10.0, 155.0), 0.0);
    EXPECT_EQ(seekTarget(50.0, 10.0, 155.0), 60.0);
    EXPECT_EQ(seekTarget(150.0, 10.0, 155.0), 155.0);
    // Past the end the flight goes on running; seeking on from there goes nowhere, back goes back.
    EXPECT_EQ(seekTarget(170.0, 10.0, 155.0), 170.0);
    EXPECT_EQ(seekTarget(170.0, -10.0, 155.0), 160.0);
    EXPECT_EQ(flightLength(), 155.0);
}

TEST(Flight, RestartedPathsFollowedToAMomentMatchAFlightFollowedFromItsStart) {
    // Far on (light moved, depth of field passed), then back to moments before and inside those changes.
    for (double seconds : {10.0, 57.0, 0.0}) {
        SCOPED_TRACE(seconds);
        Flight far(50.0, 130.0);
        restartPaths(far.camera, far.light, 180.0 - seconds);
        followPaths(far.camera, far.light, 180.0 - seconds, 180.0, PATH_STEP);
        far.frame(180.0);
        Flight fresh(1000.0, seconds);
        fresh.frame(1000.0 + seconds);
        EXPECT_EQ(far.camera.segmentIndex, fresh.camera.segmentIndex);
        EXPECT_EQ(far.camera.pathDofOn, fresh.camera.pathDofOn);
        expectNear(far.camera.pathPosition, fresh.camera.pathPosition);
        expectNear(far.camera.pathTarget, fresh.camera.pathTarget);
        EXPECT_EQ(far.light.segmentIndex, fresh.light.segmentIndex);
        expectNear(far.light.position, fresh.light.position);
    }
}
