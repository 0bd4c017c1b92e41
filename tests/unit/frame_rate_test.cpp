#include "app/frame_rate.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(FrameRate, FirstWindowClosesOnFirstFrameAtOneSecond) {
    double start = 0.0;
    int count = 0;
    float fps = -1.0f;
    EXPECT_FALSE(countFrame(0.4, start, count, fps));
    EXPECT_FALSE(countFrame(0.999, start, count, fps));
    EXPECT_EQ(fps, -1.0f);
    EXPECT_TRUE(countFrame(1.0, start, count, fps));
    // The frame that closes the window is counted in it.
    EXPECT_FLOAT_EQ(fps, 3.0f);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(start, 1.0);
}

TEST(FrameRate, NinetyFramesOverOneAndAHalfSecondsPrintSixty) {
    double start = 10.0;
    int count = 0;
    float fps = -1.0f;
    // 89 frames inside the first second, then a long one that closes the window at 1.5 s.
    for (int frame = 1; frame < 90; ++frame)
        ASSERT_FALSE(countFrame(10.0 + frame * 0.011, start, count, fps));
    ASSERT_TRUE(countFrame(11.5, start, count, fps));
    char line[32];
    snprintf(line, sizeof line, "%f\n", static_cast<double>(fps));
    EXPECT_STREQ(line, "60.000000\n");
}
