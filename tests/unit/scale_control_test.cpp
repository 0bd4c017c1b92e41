#include "app/scale_control.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

// A machine whose frame takes `fixedSeconds` plus `pixelSeconds` times the share squared, each frame
// stretched by `jitter` of its index (1: none).
struct Machine {
    double fixedSeconds, pixelSeconds;
    std::function<double(long)> jitter = [](long) { return 1.0; };

    double frameSeconds(float scale, long frame) const {
        return (fixedSeconds + pixelSeconds * scale * scale) * jitter(frame);
    }
};

struct Change {
    double at;
    float from, to;
};

struct ControlledRun {
    std::vector<Change> changes;
    float finalScale;
};

ControlledRun runFor(const Machine& machine, int targetFps, float scale, double seconds) {
    ScaleControl control;
    holdFrameRate(control, targetFps);
    ControlledRun run;
    double now = 0.0;
    for (long frame = 0; now < seconds; ++frame) {
        now += machine.frameSeconds(scale, frame);
        float next = controlScale(control, scale, now);
        if (next != scale)
            run.changes.push_back({now, scale, next});
        scale = next;
    }
    run.finalScale = scale;
    return run;
}

double fpsAt(const Machine& machine, float scale) {
    return 1.0 / machine.frameSeconds(scale, 0);
}

// Changes a second apart at least, every one inside the bounds and all in one direction.
void expectMonotonicSteps(const ControlledRun& run, int direction) {
    for (size_t i = 0; i < run.changes.size(); ++i) {
        const Change& change = run.changes[i];
        EXPECT_GE(change.to, SMALLEST_SCALE);
        EXPECT_LE(change.to, LARGEST_SCALE);
        EXPECT_EQ(change.to > change.from ? 1 : -1, direction)
            << "change " << i << " at " << change.at << " s";
        if (i > 0) {
            EXPECT_GE(change.at - run.changes[i - 1].at, 1.0);
        }
    }
}

} // namespace

TEST(ScaleControl, SlowMachineWalksDownToTheTargetAndStays) {
    // 5 frames a second at the full size, mostly spent on pixels.
    const Machine slow{0.04, 0.16};
    const ControlledRun run = runFor(slow, 12, 1.0f, 120.0);
    ASSERT_FALSE(run.changes.empty());
    expectMonotonicSteps(run, -1);
    EXPECT_GE(fpsAt(slow, run.finalScale), 12.0);
    EXPECT_LT(fpsAt(slow, run.finalScale + 0.1f), 12.0) << "settled far below the share the target allows";
    EXPECT_LT(run.changes.back().at, 10.0) << "took too long to get there";
}

TEST(ScaleControl, FastMachineWalksUpToTheFullSize) {
    const Machine fast{0.005, 0.02};
    const ControlledRun run = runFor(fast, 12, SMALLEST_SCALE, 60.0);
    ASSERT_FALSE(run.changes.empty());
    expectMonotonicSteps(run, 1);
    EXPECT_EQ(run.finalScale, LARGEST_SCALE);
}

TEST(ScaleControl, NoisyFramesNearTheTargetDoNotMakeItHunt) {
    // Just above 12 frames a second at half the size, frame times wandering by 10 % over a few seconds.
    Machine noisy{0.02, 0.24};
    noisy.jitter = [](long frame) { return 1.0 + 0.1 * std::sin(frame * 0.13); };
    ASSERT_GT(fpsAt(noisy, 0.5f), 12.0);
    ASSERT_LT(fpsAt(noisy, 0.5f), 13.0);
    const ControlledRun run = runFor(noisy, 12, 0.5f, 300.0);
    expectMonotonicSteps(run, -1);
    EXPECT_LE(run.changes.size(), 1u);
}

TEST(ScaleControl, ASlowFirstSecondIsNotTakenForASlowMachine) {
    // The driver compiles its shaders during the first frames.
    Machine fast{0.005, 0.02};
    fast.jitter = [](long frame) { return frame < 2 ? 100.0 : 1.0; };
    const ControlledRun run = runFor(fast, 12, 1.0f, 30.0);
    EXPECT_TRUE(run.changes.empty()) << "went to " << run.changes.front().to;
}

TEST(ScaleControl, StopsAtTheBoundsAndStaysPutWhenOff) {
    const Machine hopeless{0.5, 0.5};
    EXPECT_EQ(runFor(hopeless, 30, 1.0f, 60.0).finalScale, SMALLEST_SCALE);
    const ControlledRun off = runFor(hopeless, 0, 0.8f, 60.0);
    EXPECT_TRUE(off.changes.empty());
    EXPECT_EQ(off.finalScale, 0.8f);
}

TEST(ScaleControl, KeysStepAlongTheLadderFromAnyShare) {
    EXPECT_LT(stepScale(1.0f, -1), 1.0f);
    EXPECT_EQ(stepScale(LARGEST_SCALE, 1), LARGEST_SCALE);
    EXPECT_EQ(stepScale(SMALLEST_SCALE, -1), SMALLEST_SCALE);
    // From a share between two rungs, each key goes to the rung on its side.
    const float between = 0.52f, below = stepScale(between, -1), above = stepScale(between, 1);
    EXPECT_LT(below, between);
    EXPECT_GT(above, between);
    EXPECT_EQ(stepScale(below, 1), above);
    float scale = LARGEST_SCALE;
    int steps = 0;
    for (; scale > SMALLEST_SCALE && steps < 20; ++steps)
        scale = stepScale(scale, -1);
    EXPECT_EQ(scale, SMALLEST_SCALE);
    EXPECT_GE(steps, 5) << "steps too coarse for a viewer to pick a share";
}

TEST(ScaleControl, ScaledSidesRoundAndKeepAPixel) {
    EXPECT_EQ(scaledSide(1024, 1.0f), 1024);
    EXPECT_EQ(scaledSide(1024, 0.35f), 358);
    EXPECT_EQ(scaledSide(768, 0.5f), 384);
    EXPECT_EQ(scaledSide(2, 0.25f), 1);
}
