#include "scene/image_levels.h"

#include <algorithm>

uint32_t mipLevelCount(uint32_t width, uint32_t height) {
    uint32_t levels = 1;
    for (uint32_t side = std::max(width, height); side > 1; side /= 2)
        ++levels;
    return levels;
}

uint64_t mipChainBytes(uint32_t width, uint32_t height, uint32_t channels) {
    uint64_t bytes = 0;
    for (uint32_t level = 0; level < mipLevelCount(width, height); ++level)
        bytes += uint64_t(std::max(1u, width >> level)) * std::max(1u, height >> level) * channels;
    return bytes;
}

bool describesMipChain(const ImageLevels& image, uint32_t channels) {
    return (image.channels == 3 || image.channels == 4) && image.channels == channels && image.width > 0 &&
           image.height > 0 && image.levels == mipLevelCount(image.width, image.height) &&
           image.bytes == mipChainBytes(image.width, image.height, image.channels);
}
