// The recorder's plan for the sound of one recorded range: which AAC frames it keeps, and which samples it
// feeds the encoder for them.
#include "flight_sound.h"

#include <gtest/gtest.h>

namespace {

// Sample positions where recordings begin or end: the flight's start, either side of a frame boundary,
// and frame times at common rates.
const long long CUT_POINTS[] = {0, 1, 1023, 1024, 1025, 44100 / 30, 44100 * 25, 44100 * 60 + 7, 6835500};

} // namespace

TEST(AacCut, KeepsTheFramesOnTheFlightsGridThatBeginInTheRange) {
    for (long long start : CUT_POINTS)
        for (long long end : CUT_POINTS) {
            if (end <= start)
                continue;
            const AacCut cut = planAacCut(start, end);
            const long long first = packetStart(cut, cut.firstPacket);
            const long long last = packetStart(cut, cut.lastPacket);
            SCOPED_TRACE(testing::Message() << start << " to " << end);
            EXPECT_EQ(first % AAC_FRAME, 0);
            // From 0 the frame before the flight is kept too: the encoder's delay.
            const long long firstKept = start == 0 ? 0 : first;
            EXPECT_GE(firstKept, start);
            EXPECT_LT(firstKept - AAC_FRAME, start);
            if (start == 0) {
                EXPECT_EQ(first, -AAC_FRAME);
            }
            EXPECT_LT(last, end);
            EXPECT_GE(last + AAC_FRAME, end);
            // The kept frames, and a margin either side, are fed; the offset places the first fed sample.
            EXPECT_LT(cut.inputFirst, first);
            EXPECT_GT(cut.inputFirst + cut.inputCount, last + AAC_FRAME);
            EXPECT_EQ(start + cut.inputOffset, cut.inputFirst);
        }
}

TEST(AacCut, AdjacentRangesMeetWithoutGapOrOverlap) {
    for (long long start : CUT_POINTS)
        for (long long middle : CUT_POINTS)
            for (long long end : CUT_POINTS) {
                if (!(start < middle && middle < end))
                    continue;
                const AacCut before = planAacCut(start, middle), after = planAacCut(middle, end);
                const AacCut whole = planAacCut(start, end);
                SCOPED_TRACE(testing::Message() << start << ", " << middle << ", " << end);
                EXPECT_EQ(packetStart(before, before.lastPacket) + AAC_FRAME,
                          packetStart(after, after.firstPacket));
                EXPECT_EQ(packetStart(before, before.firstPacket), packetStart(whole, whole.firstPacket));
                EXPECT_EQ(packetStart(after, after.lastPacket), packetStart(whole, whole.lastPacket));
            }
}

TEST(FlightSound, SilenceBeforeTheFlightThenTheTrackOnALoop) {
    // Three stereo frames: (1, -1), (2, -2), (3, -3).
    const std::vector<int16_t> track = {1, -1, 2, -2, 3, -3};
    EXPECT_EQ(flightSound(track, -2, 4), (std::vector<int16_t>{0, 0, 0, 0, 1, -1, 2, -2}));
    EXPECT_EQ(flightSound(track, 2, 3), (std::vector<int16_t>{3, -3, 1, -1, 2, -2}));
    EXPECT_EQ(flightSound({}, 0, 2), (std::vector<int16_t>{0, 0, 0, 0}));
}
