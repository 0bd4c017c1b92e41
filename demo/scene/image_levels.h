// The description of an image's mipmap chain, and its check: the description comes from a child process
// that DevIL ran in, so it is believed only where it describes a whole chain.
#pragma once

#include <cstdint>

// Level 0 and every mipmap level down to 1 x 1, one after the other, rows bottom first and tightly
// packed, `channels` bytes a texel: 4 for sRGB colour with alpha, 3 for linear RGB. `offset` places the
// chain in the space it was written to.
struct ImageLevels {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t channels = 0;
    uint32_t levels = 0;
    uint64_t offset = 0;
    uint64_t bytes = 0;
};

// Levels a full mipmap chain of a `width` x `height` image has, and the bytes they take together.
uint32_t mipLevelCount(uint32_t width, uint32_t height);
uint64_t mipChainBytes(uint32_t width, uint32_t height, uint32_t channels);

// True where `image` is a whole chain of `channels` texels, its level count and size those of its width
// and height.
bool describesMipChain(const ImageLevels& image, uint32_t channels);
