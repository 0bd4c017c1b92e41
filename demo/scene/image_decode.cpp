#include "scene/image_decode.h"

#include "scene/image_check.h"
#include "scene/mip_chain.h"

#include <IL/il.h>

#include <algorithm>
#include <cstring>

namespace {

// DevIL's image as 8-bit RGB or RGBA: RGB 8-bit images (PNG, JPEG) are taken as they are and widened to
// RGBA, if asked, while they are copied; anything else is converted by DevIL. The bytes per texel of what
// `levelZero` gets, or 0 when the image cannot be had so.
uint32_t prepareForCopy(uint32_t channels) {
    ILint format = ilGetInteger(IL_IMAGE_FORMAT), type = ilGetInteger(IL_IMAGE_TYPE);
    ILenum wanted = channels == 4 ? IL_RGBA : IL_RGB;
    bool asItIs = type == IL_UNSIGNED_BYTE && (format == static_cast<ILint>(wanted) || format == IL_RGB);
    if (!asItIs && !ilConvertImage(wanted, IL_UNSIGNED_BYTE))
        return 0;
    return asItIs && format == IL_RGB ? 3 : channels;
}

// Level 0 rows bottom first, whichever way DevIL holds them, `from` bytes a texel to `channels`.
void copyLevelZero(const unsigned char* pixels, uint32_t width, uint32_t height, bool topFirst, uint32_t from,
                   uint32_t channels, unsigned char* to) {
    for (uint32_t y = 0; y < height; ++y, to += size_t(width) * channels) {
        const unsigned char* row = pixels + size_t(topFirst ? height - 1 - y : y) * width * from;
        if (from == channels) {
            std::memcpy(to, row, size_t(width) * channels);
            continue;
        }
        for (uint32_t x = 0; x < width; ++x) {
            std::memcpy(to + x * 4, row + x * 3, 3);
            to[x * 4 + 3] = 255;
        }
    }
}

// The image DevIL holds, where its description matches its data: a damaged file can leave one that does
// not. The bytes per texel of its data, or 0.
uint32_t loadedImage(const char* path, uint32_t channels, ILint& width, ILint& height) {
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    uint32_t from = ilLoadImage(path) ? prepareForCopy(channels) : 0;
    width = ilGetInteger(IL_IMAGE_WIDTH);
    height = ilGetInteger(IL_IMAGE_HEIGHT);
    uint64_t pixels = uint64_t(std::max(width, 0)) * uint64_t(std::max(height, 0));
    if (from == 0 || width <= 0 || height <= 0 || ilGetInteger(IL_IMAGE_BPP) != static_cast<ILint>(from) ||
        uint64_t(ilGetInteger(IL_IMAGE_SIZE_OF_DATA)) < pixels * from || !ilGetData())
        return 0;
    return from;
}

} // namespace

DecodeOutcome decodeImageFile(const char* path, uint32_t channels, SharedArena& arena, ImageLevels& levels) {
    ILint width = 0, height = 0;
    uint32_t from = imageFileLooksComplete(path) ? loadedImage(path, channels, width, height) : 0;
    if (from == 0)
        return DECODE_FAILED;
    ImageLevels chain{uint32_t(width), uint32_t(height), channels, mipLevelCount(width, height)};
    chain.bytes = mipChainBytes(width, height, channels);
    unsigned char* block = arena.take(chain.bytes, chain.offset);
    if (!block)
        return DECODE_NO_ROOM;
    copyLevelZero(ilGetData(), width, height, ilGetInteger(IL_IMAGE_ORIGIN) == IL_ORIGIN_UPPER_LEFT, from,
                  channels, block);
    buildMipChain(block, width, height, channels);
    levels = chain;
    return DECODE_DONE;
}
