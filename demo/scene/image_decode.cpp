#include "scene/image_decode.h"

#include "scene/image_check.h"

#include <IL/il.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>
#include <ctime>
#include <linux/futex.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr int MAX_REQUESTS = 128;
constexpr size_t PATH_BYTES = 4096;
constexpr uint64_t PAGE = 4096;
constexpr size_t MIN_CAPACITY = size_t(16) << 20;

uint64_t roundUpToPage(uint64_t bytes) {
    return (bytes + PAGE - 1) / PAGE * PAGE;
}

// Futex calls on words of memory shared between processes.
void waitWhileEquals(const void* word, uint32_t value, std::chrono::microseconds timeout) {
    timespec wait{static_cast<time_t>(timeout.count() / 1000000),
                  static_cast<long>(timeout.count() % 1000000) * 1000};
    syscall(SYS_futex, word, FUTEX_WAIT, value, &wait, nullptr, 0);
}

void wakeAll(const void* word) {
    syscall(SYS_futex, word, FUTEX_WAKE, INT_MAX, nullptr, nullptr, 0);
}

int decodedChannels(int channels) {
    return channels == 4 ? 4 : 3;
}

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

struct ImageTable::Entry {
    std::atomic<int32_t> state;
    int32_t channels;
    // Set by the decoding child: the image decoded but its levels found no room.
    int32_t outOfSpace;
    ImageLevels image;
    char path[PATH_BYTES];
};

struct ImageTable::Header {
    std::atomic<uint32_t> requests;
    std::atomic<uint32_t> handedOut;
    std::atomic<uint32_t> closed;
    std::atomic<uint64_t> used;
    Entry entries[MAX_REQUESTS];
};

static_assert(std::atomic<uint32_t>::is_always_lock_free && std::atomic<uint64_t>::is_always_lock_free,
              "atomics shared between processes must not hide a lock");

ImageTable::ImageTable(size_t capacity) {
    void* shared = MAP_FAILED;
    // Where the address space is limited, with as much of the capacity as it allows.
    for (; shared == MAP_FAILED && capacity >= MIN_CAPACITY; capacity /= 4) {
        size = roundUpToPage(sizeof(Header)) + capacity;
        shared =
            mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        this->capacity = capacity;
    }
    if (shared == MAP_FAILED)
        return;
    // Fresh shared memory is zero: no requests, nothing used.
    header = static_cast<Header*>(shared);
    space = static_cast<unsigned char*>(shared) + roundUpToPage(sizeof(Header));
}

ImageTable::~ImageTable() {
    if (header)
        munmap(header, size);
}

ImageTable::Entry* ImageTable::entry(int index) const {
    if (!header || index < 0 || index >= static_cast<int>(header->requests.load()))
        return nullptr;
    return &header->entries[index];
}

int ImageTable::find(int channels, const std::string& path) const {
    uint32_t count = header ? header->requests.load() : 0;
    for (uint32_t i = 0; i < count; ++i) {
        const Entry& e = header->entries[i];
        if (e.channels == decodedChannels(channels) && path == e.path)
            return static_cast<int>(i);
    }
    return -1;
}

int ImageTable::requestCount() const {
    return header ? static_cast<int>(header->requests.load()) : 0;
}

int ImageTable::request(int channels, const std::string& path) {
    int existing = find(channels, path);
    if (existing >= 0 || !header)
        return existing;
    uint32_t index = header->requests.load();
    if (index >= MAX_REQUESTS || path.size() >= PATH_BYTES || path.find('\0') != std::string::npos)
        return -1;
    Entry& e = header->entries[index];
    e.channels = decodedChannels(channels);
    std::memcpy(e.path, path.c_str(), path.size() + 1);
    header->requests.store(index + 1);
    wakeAll(&header->requests);
    return static_cast<int>(index);
}

int ImageTable::nextToDecode() {
    if (!header)
        return -1;
    uint32_t index = header->handedOut.fetch_add(1);
    for (;;) {
        uint32_t count = header->requests.load();
        if (index < count)
            return static_cast<int>(index);
        if (header->closed.load())
            return -1;
        waitWhileEquals(&header->requests, count, std::chrono::milliseconds(10));
    }
}

void ImageTable::close() {
    if (!header)
        return;
    header->closed.store(1);
    wakeAll(&header->requests);
}

// Space that does not fit is not taken, so that one huge image leaves room for the others.
unsigned char* ImageTable::take(uint64_t bytes, uint64_t& offset) {
    uint64_t rounded = roundUpToPage(bytes);
    offset = header->used.load();
    do {
        if (rounded > capacity - std::min<uint64_t>(offset, capacity))
            return nullptr;
    } while (!header->used.compare_exchange_weak(offset, offset + rounded));
    return space + offset;
}

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

} // namespace

// Runs in the child: whatever DevIL does here stays here, except for the levels and their description.
void ImageTable::decodeHere(Entry& e) {
    if (!imageFileLooksComplete(e.path))
        return;
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    uint32_t channels = static_cast<uint32_t>(e.channels);
    uint32_t from = ilLoadImage(e.path) ? prepareForCopy(channels) : 0;
    ILint width = ilGetInteger(IL_IMAGE_WIDTH), height = ilGetInteger(IL_IMAGE_HEIGHT);
    // A damaged file can leave a description that its data does not match.
    uint64_t pixels = uint64_t(std::max(width, 0)) * uint64_t(std::max(height, 0));
    if (from == 0 || width <= 0 || height <= 0 || ilGetInteger(IL_IMAGE_BPP) != static_cast<ILint>(from) ||
        uint64_t(ilGetInteger(IL_IMAGE_SIZE_OF_DATA)) < pixels * from || !ilGetData())
        return;
    ImageLevels levels{uint32_t(width), uint32_t(height), channels, mipLevelCount(width, height)};
    levels.bytes = mipChainBytes(width, height, channels);
    unsigned char* chain = take(levels.bytes, levels.offset);
    if (!chain) {
        e.outOfSpace = 1;
        return;
    }
    copyLevelZero(ilGetData(), width, height, ilGetInteger(IL_IMAGE_ORIGIN) == IL_ORIGIN_UPPER_LEFT, from,
                  channels, chain);
    buildMipChain(chain, width, height, channels);
    e.image = levels;
}

void ImageTable::decode(int index) {
    Entry* e = entry(index);
    if (!e)
        return;
    bool survived = survivesInChild([this, e] { decodeHere(*e); }, IMAGE_DECODE_LIMITS);
    ImageState outcome = IMAGE_FAILED;
    if (survived && e->image.levels > 0)
        outcome = IMAGE_DECODED;
    else if (survived && e->outOfSpace)
        outcome = IMAGE_NOT_DECODED;
    e->state.store(outcome);
    wakeAll(&e->state);
}

ImageState ImageTable::await(int index, double seconds) const {
    const Entry* e = entry(index);
    if (!e)
        return IMAGE_NOT_DECODED;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (e->state.load() == IMAGE_PENDING && std::chrono::steady_clock::now() < deadline)
        waitWhileEquals(&e->state, IMAGE_PENDING, std::chrono::milliseconds(10));
    return static_cast<ImageState>(e->state.load());
}

const unsigned char* ImageTable::levels(int index, ImageLevels& image) const {
    const Entry* e = entry(index);
    if (!e || e->state.load() != IMAGE_DECODED)
        return nullptr;
    image = e->image;
    // Written by a child that DevIL ran in: believed only where it describes a chain that fits the space.
    bool consistent = (image.channels == 3 || image.channels == 4) &&
                      image.channels == static_cast<uint32_t>(e->channels) && image.width > 0 &&
                      image.height > 0 && image.levels == mipLevelCount(image.width, image.height) &&
                      image.bytes == mipChainBytes(image.width, image.height, image.channels) &&
                      image.offset <= capacity && image.bytes <= capacity - image.offset;
    return consistent ? space + image.offset : nullptr;
}

void ImageTable::release(int index) {
    Entry* e = entry(index);
    if (!e || e->state.load() != IMAGE_DECODED)
        return;
    ImageLevels image;
    if (const unsigned char* chain = levels(index, image))
        madvise(const_cast<unsigned char*>(chain), roundUpToPage(image.bytes), MADV_REMOVE);
    e->state.store(IMAGE_RELEASED);
}
