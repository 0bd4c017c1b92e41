#include "record_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr double FLIGHT_END = 155.0;

std::optional<int> parse(std::vector<std::string> args, RecordOptions& options) {
    args.insert(args.begin(), "record");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    return parseRecordOptions(static_cast<int>(argv.size()), argv.data(), FLIGHT_END, options);
}

} // namespace

// The parts follow each other from the range's first frame to its last, none empty, none more than a frame
// longer than another.
TEST(RecordPart, PartsCoverTheRangeOnceAndEvenly) {
    for (long long first : {0LL, 613LL})
        for (int parts : {1, 2, 3, 7, 16})
            for (long long count : {static_cast<long long>(parts), parts + 1LL, 10LL, 29LL, 4650LL}) {
                if (count < parts)
                    continue;
                SCOPED_TRACE(std::to_string(first) + " + " + std::to_string(count) + " frames in " +
                             std::to_string(parts));
                const FrameRange whole{first, first + count};
                long long reached = whole.first, shortest = count, longest = 0;
                for (int part = 1; part <= parts; ++part) {
                    const FrameRange piece = partOfRange(whole, part, parts);
                    EXPECT_EQ(piece.first, reached) << "part " << part;
                    shortest = std::min(shortest, piece.end - piece.first);
                    longest = std::max(longest, piece.end - piece.first);
                    reached = piece.end;
                }
                EXPECT_EQ(reached, whole.end);
                EXPECT_GE(shortest, 1);
                EXPECT_LE(longest - shortest, 1);
            }
}

// Parts 1/3 to 3/3 of 20 to 21 s at 10 fps are the frames 200 to 209, in order; without --part, the range.
TEST(RecordPart, TheOptionPicksThePartOfTheAskedRange) {
    long long reached = 200;
    for (const char* part : {"1/3", "2/3", "3/3"}) {
        RecordOptions options;
        ASSERT_EQ(
            parse({"--out", "f.mp4", "--from", "20", "--to", "21", "--fps", "10", "--part", part}, options),
            std::nullopt);
        const FrameRange frames = framesToRecord(options);
        EXPECT_EQ(frames.first, reached) << part;
        EXPECT_GT(frames.end, frames.first) << part;
        reached = frames.end;
    }
    EXPECT_EQ(reached, 210);

    RecordOptions whole;
    ASSERT_EQ(parse({"--out", "f.mp4", "--fps", "10"}, whole), std::nullopt);
    EXPECT_EQ(framesToRecord(whole).first, 0);
    EXPECT_EQ(framesToRecord(whole).end, static_cast<long long>(FLIGHT_END * 10));
}

TEST(RecordPart, BadPartsEndWithCodeTwo) {
    for (const char* bad : {"0/2", "3/2", "x", "1/0", "1/", "/2", "-1/2", "1/2/3", "1.5/2", "1/2x"}) {
        SCOPED_TRACE(bad);
        RecordOptions options;
        testing::internal::CaptureStderr();
        EXPECT_EQ(parse({"--out", "f.mp4", "--part", bad}, options), 2);
        EXPECT_NE(testing::internal::GetCapturedStderr().find("--part"), std::string::npos);
    }
    // Two frames can't make three parts.
    RecordOptions options;
    testing::internal::CaptureStderr();
    EXPECT_EQ(
        parse({"--out", "f.mp4", "--from", "20", "--to", "20.2", "--fps", "10", "--part", "1/3"}, options),
        2);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("fewer than 3 parts"), std::string::npos);
}
