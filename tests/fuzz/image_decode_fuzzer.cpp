// The image decoding on arbitrary files of every format DevIL reads. An input is a first line naming the
// channels and the file's extension (which picks DevIL's reader), "4 png" say, then the file. It is decoded
// as the demo decodes it, in a child process that DevIL's own faults stay in; what comes back for a decoded
// image must describe a full mipmap chain lying in the shared space, and its levels must be those that
// this process builds from the same level 0, each texel within the range of the texels it averages.
#include "scene/image_table.h"
#include "scene/mip_chain.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Room for any image a decode may leave; beyond this the levels are not rebuilt here.
constexpr size_t SPACE = size_t(1) << 30;
constexpr uint64_t LARGEST_CHECKED = uint64_t(64) << 20;

std::string folder;

void require(bool condition, const char* what) {
    if (condition)
        return;
    fprintf(stderr, "violated: %s\n", what);
    abort();
}

void removeFolder() {
    std::string command = "rm -rf '" + folder + "'";
    if (system(command.c_str()) != 0)
        fprintf(stderr, "could not remove %s\n", folder.c_str());
}

bool parseHeader(const uint8_t* data, size_t size, int& channels, std::string& ext, size_t& body) {
    const uint8_t* end = static_cast<const uint8_t*>(memchr(data, '\n', std::min<size_t>(size, 16)));
    if (!end || end - data < 3 || (data[0] != '3' && data[0] != '4') || data[1] != ' ')
        return false;
    channels = data[0] - '0';
    ext.assign(reinterpret_cast<const char*>(data) + 2, end - data - 2);
    body = end - data + 1;
    return std::all_of(ext.begin(), ext.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

// Every texel of every level after the first lies within the range of the 2 x 2 texels it averages.
void checkMeans(const std::vector<unsigned char>& chain, const ImageLevels& image) {
    const unsigned char* level = chain.data();
    uint32_t width = image.width, height = image.height, channels = image.channels;
    for (uint32_t l = 1; l < image.levels; ++l) {
        const unsigned char* next = level + size_t(width) * height * channels;
        uint32_t nextWidth = std::max(1u, width / 2), nextHeight = std::max(1u, height / 2);
        for (uint32_t y = 0; y < nextHeight; ++y)
            for (uint32_t x = 0; x < nextWidth; ++x)
                for (uint32_t c = 0; c < channels; ++c) {
                    int low = 255, high = 0;
                    for (uint32_t dy = 0; dy < 2; ++dy)
                        for (uint32_t dx = 0; dx < 2; ++dx) {
                            uint32_t sx = std::min(2 * x + dx, width - 1),
                                     sy = std::min(2 * y + dy, height - 1);
                            int value = level[(size_t(sy) * width + sx) * channels + c];
                            low = std::min(low, value);
                            high = std::max(high, value);
                        }
                    int mean = next[(size_t(y) * nextWidth + x) * channels + c];
                    require(low <= mean && mean <= high,
                            "a mipmap texel within the range of its source texels");
                }
        level = next;
        width = nextWidth;
        height = nextHeight;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/image-fuzz-XXXXXX";
    if (!mkdtemp(pattern))
        abort();
    folder = pattern;
    atexit(removeFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int channels = 0;
    std::string ext;
    size_t body = 0;
    if (!parseHeader(data, size, channels, ext, body))
        return 0;
    std::string path = folder + "/image." + ext;
    FILE* file = fopen(path.c_str(), "wb");
    if (!file || fwrite(data + body, 1, size - body, file) != size - body || fclose(file) != 0)
        abort();

    ImageTable table(SPACE);
    int index = table.request(channels, path);
    require(index == 0, "a request in an empty table");
    table.decode(index);
    ImageState state = table.await(index, 0.0);
    require(state != IMAGE_PENDING, "an outcome once decoded");
    ImageLevels image;
    const unsigned char* levels = table.levels(index, image);
    require((state == IMAGE_DECODED) == (levels != nullptr), "a decoded image describes levels that fit");
    if (!levels || image.bytes > LARGEST_CHECKED)
        return 0;
    require(image.channels == static_cast<uint32_t>(channels), "the channels asked for");
    std::vector<unsigned char> rebuilt(levels, levels + image.bytes);
    buildMipChain(rebuilt.data(), image.width, image.height, image.channels);
    require(std::equal(rebuilt.begin(), rebuilt.end(), levels),
            "the child's levels are the chain of its level 0");
    checkMeans(rebuilt, image);
    table.release(index);
    return 0;
}
