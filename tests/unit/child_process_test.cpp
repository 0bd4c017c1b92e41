#include "app/child_process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

const ChildLimits QUICK{5.0, size_t(256) << 20};

} // namespace

TEST(ChildProcess, WorkThatReturnsSurvivesAndItsEffectsStayInTheChild) {
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

TEST(ChildProcess, CrashesAndAbortsAreCaught) {
    EXPECT_FALSE(survivesInChild([] { std::raise(SIGSEGV); }, QUICK));
    EXPECT_FALSE(survivesInChild([] { std::abort(); }, QUICK));
    EXPECT_FALSE(survivesInChild([] { std::exit(3); }, QUICK));
}

TEST(ChildProcess, RunawaysAreStopped) {
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

// Started early, the child runs while this process does other work; its time limit counts from the start.
TEST(ChildProcess, AChildStartedEarlyIsJudgedFromItsStart) {
    ChildProcess quick([] {}, QUICK);
    ChildProcess stuck(
        [] {
            for (;;)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        },
        {0.2, QUICK.addedBytes});
    std::this_thread::sleep_for(std::chrono::milliseconds(400));

    auto asked = std::chrono::steady_clock::now();
    EXPECT_FALSE(stuck.survived());
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(100));
    EXPECT_TRUE(quick.survived());
    EXPECT_TRUE(quick.survived());
    EXPECT_FALSE(stuck.survived());
}
