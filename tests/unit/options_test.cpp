#include "app/options.h"
#include "motion/flight.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::optional<int> parse(std::vector<std::string> args, DemoOptions& options) {
    args.insert(args.begin(), "demo");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    return parseDemoOptions(static_cast<int>(argv.size()), argv.data(), options);
}

} // namespace

TEST(DemoOptions, NoneLeaveTheDemoAsItIsAndEachIsTaken) {
    DemoOptions none;
    ASSERT_EQ(parse({}, none), std::nullopt);
    EXPECT_EQ(none.start.width, 1024);
    EXPECT_EQ(none.start.height, 768);
    EXPECT_FALSE(none.start.fullscreen);
    EXPECT_EQ(none.start.startSeconds, 0.0);
    EXPECT_FALSE(none.start.mute);
    EXPECT_FALSE(none.start.vsync);
    EXPECT_FALSE(none.start.resizable);
    EXPECT_EQ(none.dataFolder, "");

    const std::string folder = std::filesystem::temp_directory_path().string();
    DemoOptions all;
    ASSERT_EQ(parse({"--size", "1600x900", "--fullscreen", "--start", "42.5", "--mute", "--vsync",
                     "--resizable", "--data", folder},
                    all),
              std::nullopt);
    EXPECT_EQ(all.start.width, 1600);
    EXPECT_EQ(all.start.height, 900);
    EXPECT_TRUE(all.start.fullscreen);
    EXPECT_EQ(all.start.startSeconds, 42.5);
    EXPECT_TRUE(all.start.mute);
    EXPECT_TRUE(all.start.vsync);
    EXPECT_TRUE(all.start.resizable);
    EXPECT_EQ(all.dataFolder, folder);

    DemoOptions edges;
    ASSERT_EQ(parse({"--size", "8192x1", "--start", "1e9"}, edges), std::nullopt);
    EXPECT_EQ(edges.start.width, 8192);
    EXPECT_EQ(edges.start.height, 1);
    // Past the flight's end is its end.
    EXPECT_EQ(edges.start.startSeconds, flightLength());
}

TEST(DemoOptions, BadCommandLinesEndWithCodeTwoAndTheUsageOnStandardError) {
    const std::vector<std::vector<std::string>> bad = {
        {"--size", "0x0"},
        {"--size", "99999x99999"},
        {"--size", "8193x600"},
        {"--size", "abc"},
        {"--size", "800x"},
        {"--size", "-800x600"},
        {"--size"},
        {"--start", "-5"},
        {"--start", "nan"},
        {"--start", "10s"},
        {"--start", "inf"},
        {"--data", "/nonexistent"},
        {"--vsync=1"},
        {"--vsync", "1"},
        {"--resizable=yes"},
        {"--resizable=false"},
        {"--bogus"},
        {"extra"},
    };
    for (const std::vector<std::string>& args : bad) {
        DemoOptions options;
        testing::internal::CaptureStderr();
        std::optional<int> exitCode = parse(args, options);
        std::string message = testing::internal::GetCapturedStderr();
        EXPECT_EQ(exitCode, 2) << args[0];
        EXPECT_NE(message.find("ERROR"), std::string::npos) << message;
        EXPECT_NE(message.find("Usage"), std::string::npos) << message;
    }
    DemoOptions help;
    testing::internal::CaptureStdout();
    EXPECT_EQ(parse({"--help"}, help), 0);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("--start"), std::string::npos);
}
