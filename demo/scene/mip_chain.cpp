#include "scene/mip_chain.h"

#include "scene/image_levels.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// sRGB code values as linear light in steps of 1/65535, and back to the nearest code.
struct SrgbTables {
    uint16_t linear[256];
    unsigned char encoded[65536];
    SrgbTables() {
        double exact[256];
        for (int code = 0; code < 256; ++code) {
            double c = code / 255.0;
            exact[code] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
            linear[code] = static_cast<uint16_t>(std::lround(exact[code] * 65535.0));
        }
        int code = 0;
        for (int step = 0; step < 65536; ++step) {
            while (code < 255 && step / 65535.0 > 0.5 * (exact[code] + exact[code + 1]))
                ++code;
            encoded[step] = static_cast<unsigned char>(code);
        }
    }
    unsigned char mean(unsigned char a, unsigned char b, unsigned char c, unsigned char d) const {
        return encoded[(linear[a] + linear[b] + linear[c] + linear[d] + 2) / 4];
    }
};

const SrgbTables& srgb() {
    static const SrgbTables tables;
    return tables;
}

unsigned char plainMean(unsigned char a, unsigned char b, unsigned char c, unsigned char d) {
    return static_cast<unsigned char>((a + b + c + d + 2) / 4);
}

// One level from the one above it, `width` x `height`; an odd last row or column is left out of the means.
// The first `srgbChannels` channels are sRGB-encoded colour.
template <uint32_t channels, uint32_t srgbChannels>
void halveLevel(const unsigned char* from, uint32_t width, uint32_t height, unsigned char* to) {
    uint32_t toWidth = std::max(1u, width / 2), toHeight = std::max(1u, height / 2);
    size_t rowStep = height > 1 ? size_t(width) * channels : 0, texelStep = width > 1 ? channels : 0;
    const SrgbTables& tables = srgb();
    for (uint32_t y = 0; y < toHeight; ++y) {
        const unsigned char* row = from + 2 * y * rowStep;
        for (uint32_t x = 0; x < toWidth; ++x, to += channels) {
            const unsigned char* a = row + 2 * x * texelStep;
            const unsigned char *b = a + texelStep, *c = a + rowStep, *d = c + texelStep;
            for (uint32_t k = 0; k < srgbChannels; ++k)
                to[k] = tables.mean(a[k], b[k], c[k], d[k]);
            for (uint32_t k = srgbChannels; k < channels; ++k)
                to[k] = plainMean(a[k], b[k], c[k], d[k]);
        }
    }
}

} // namespace

void buildMipChain(unsigned char* chain, uint32_t width, uint32_t height, uint32_t channels) {
    for (uint32_t level = 1, levels = mipLevelCount(width, height); level < levels; ++level) {
        unsigned char* next = chain + size_t(width) * height * channels;
        if (channels == 4)
            halveLevel<4, 3>(chain, width, height, next);
        else
            halveLevel<3, 0>(chain, width, height, next);
        chain = next;
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
    }
}
