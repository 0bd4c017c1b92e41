// A sound file decoded whole by the mixer's own decoders into the format the output mixes
// (AUDIO_OUTPUT_RATE, AUDIO_OUTPUT_CHANNELS, signed 16-bit, interleaved): the samples a channel plays.
#pragma once

#include <cstdint>
#include <vector>

// Empty when the file cannot be decoded or no output can be opened to decode it for.
std::vector<int16_t> decodeSound(const char* path);

// Scales `samples` as the mixer scales a channel at `volume` (0..1) mixed onto silence.
void applyChannelVolume(std::vector<int16_t>& samples, float volume);
