#include "scene/import_probe.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

const ProbeLimits QUICK{5.0, size_t(256) << 20};

} // namespace

TEST(ImportProbe, WorkThatReturnsSurvivesAndItsEffectsStayInTheChild) {
    int touched = 0;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(survivesInChild(
        [&] {
            touched = 1;
            printf("from the child\n");
        },
        QUICK));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(touched, 0);
}

TEST(ImportProbe, CrashesAndAbortsAreCaught) {
    EXPECT_FALSE(survivesInChild([] { std::raise(SIGSEGV); }, QUICK));
    EXPECT_FALSE(survivesInChild([] { std::abort(); }, QUICK));
    EXPECT_FALSE(survivesInChild([] { std::exit(3); }, QUICK));
}

TEST(ImportProbe, RunawaysAreStopped) {
    auto hang = [] {
        for (;;)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    EXPECT_FALSE(survivesInChild(hang, {0.3, QUICK.addedBytes}));
    auto grow = [] {
        std::vector<std::vector<char>> blocks;
        for (;;)
            blocks.emplace_back(size_t(1) << 20, 'x');
    };
    EXPECT_FALSE(survivesInChild(grow, QUICK));
}
