// The flight's sound as the demo plays it, and the part of it a recording encodes.
#pragma once

#include <cstdint>
#include <vector>

// Interleaved stereo sample frames [first, first + count) of the flight, counted from its start: silence
// before it, then `track` (already at the channel's volume) from its beginning, starting again the moment it
// ends. The demo restarts the track on the first frame after it ends; here the restart is seamless.
std::vector<int16_t> flightSound(const std::vector<int16_t>& track, long long first, long long count);

// Samples in an AAC frame.
constexpr long long AAC_FRAME = 1024;

// AAC codes sound in frames of 1024 samples, each overlapping its neighbours. A recording of the samples
// [start, end) keeps the AAC frames that begin at or after `start` and before `end`, on a grid counted
// from the flight's start: recordings of adjacent ranges then hold adjacent frames and, joined, play as
// one. The recording that starts the flight also keeps the frame before it (the encoder's delay), so that
// its first samples decode exactly. Its sound thus starts up to one frame late, unless at 0, and ends up to
// one frame after the picture.
struct AacCut {
    long long inputFirst = 0, inputCount = 0; // the samples fed to the encoder, with margins
    int firstPacket = 0, lastPacket = 0;      // the encoder's packets kept, both included
    long long inputOffset = 0;                // samples from the recording's start to the first one fed
};

AacCut planAacCut(long long start, long long end);

// The sample, counted from the flight's start, at which the frame that the encoder's packet `packet` stands
// for begins.
long long packetStart(const AacCut& cut, int packet);
