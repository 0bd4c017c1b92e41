// Mipmap levels built on the processor, where the image is decoded, so that GL is only handed them.
#pragma once

#include <cstdint>

// Fills levels 1 and on of a chain (see ImageLevels) whose level 0 is in place: each texel the mean of the
// 2 x 2 texels above it (of the rows and columns that exist), colour with 4 channels averaged as linear
// light (it is sRGB-encoded), alpha and 3-channel data as they are.
void buildMipChain(unsigned char* chain, uint32_t width, uint32_t height, uint32_t channels);
