#include "flight_sound.h"

#include "audio/audio_engine.h"

#include <algorithm>

namespace {

// The encoder delays its output by one frame; the packet it writes first stands for the frame before the
// sound it was given.
constexpr long long ENCODER_DELAY = AAC_FRAME;
// Frames of real sound fed on either side of the kept ones, so that the edge frames are coded, window
// shapes included, as in an encoding of the whole flight.
constexpr long long MARGIN_FRAMES = 4;

long long frameGridAtOrAfter(long long sample) {
    return (sample + AAC_FRAME - 1) / AAC_FRAME * AAC_FRAME;
}

} // namespace

std::vector<int16_t> flightSound(const std::vector<int16_t>& track, long long first, long long count) {
    const long long trackFrames = static_cast<long long>(track.size()) / AUDIO_OUTPUT_CHANNELS;
    std::vector<int16_t> sound(static_cast<size_t>(count) * AUDIO_OUTPUT_CHANNELS, 0);
    if (trackFrames == 0)
        return sound;
    for (long long frame = std::max(first, 0LL); frame < first + count; ++frame)
        std::copy_n(&track[(frame % trackFrames) * AUDIO_OUTPUT_CHANNELS], AUDIO_OUTPUT_CHANNELS,
                    &sound[(frame - first) * AUDIO_OUTPUT_CHANNELS]);
    return sound;
}

AacCut planAacCut(long long start, long long end) {
    const long long keptFirst = frameGridAtOrAfter(start), keptEnd = frameGridAtOrAfter(end);
    AacCut cut;
    cut.inputFirst = keptFirst - MARGIN_FRAMES * AAC_FRAME;
    cut.inputCount = keptEnd + MARGIN_FRAMES * AAC_FRAME - cut.inputFirst;
    // The packet whose frame begins at keptFirst: packetStart read backwards.
    const int packetAtKeptFirst = static_cast<int>((keptFirst - cut.inputFirst + ENCODER_DELAY) / AAC_FRAME);
    cut.firstPacket = keptFirst == 0 ? packetAtKeptFirst - 1 : packetAtKeptFirst;
    cut.lastPacket = packetAtKeptFirst + static_cast<int>((keptEnd - keptFirst) / AAC_FRAME) - 1;
    cut.inputOffset = cut.inputFirst - start;
    return cut;
}

long long packetStart(const AacCut& cut, int packet) {
    return cut.inputFirst - ENCODER_DELAY + packet * AAC_FRAME;
}
