// Image files decoded by DevIL in child processes, into memory shared with them. DevIL 1.7.8 crashes or runs
// away on damaged files of many formats, and on some valid ones (PNG-compressed icons), and it is not
// thread-safe: each image is decoded in a process of its own, within a time and memory limit, and several
// such processes can run at once. The child also builds the mipmap chain, so that this process only hands
// the levels to GL.
#pragma once

#include "scene/import_probe.h"

#include <cstddef>
#include <cstdint>
#include <string>

// An image decodes in milliseconds and a few times its decoded size; a damaged file that is still being
// read after this long, or has grown this far, will not come back.
constexpr ProbeLimits IMAGE_DECODE_LIMITS{5.0, size_t(1) << 30};

// What a child leaves for one image: level 0 and every mipmap level down to 1 x 1, one after the other,
// rows bottom first and tightly packed, `channels` bytes a texel: 4 for sRGB colour with alpha, 3 for
// linear RGB.
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

// Fills levels 1 and on of a chain whose level 0 is in place: each texel the mean of the 2 x 2 texels
// above it (of the rows and columns that exist), colour with 4 channels averaged as linear light (it is
// sRGB-encoded), alpha and 3-channel data as they are.
void buildMipChain(unsigned char* chain, uint32_t width, uint32_t height, uint32_t channels);

enum ImageState : int32_t { IMAGE_PENDING, IMAGE_DECODED, IMAGE_FAILED, IMAGE_NOT_DECODED, IMAGE_RELEASED };

// Images to decode and their levels, in memory that the processes forked after its construction share
// with it: a list of requests that one process at a time may add to, any may decode, and the space the
// levels go to.
class ImageTable {
  public:
    // `capacity`: address space for the levels; only what is written takes memory.
    explicit ImageTable(size_t capacity);
    ~ImageTable();
    ImageTable(const ImageTable&) = delete;
    ImageTable& operator=(const ImageTable&) = delete;

    // Adds a request for `path`, decoded to 4 channels when `channels` is 4 and to 3 otherwise; returns
    // its index (that of the existing one for the same image), or -1 when the table or the path is full.
    int request(int channels, const std::string& path);
    // The index of the request for the same image, or -1.
    int find(int channels, const std::string& path) const;
    int requestCount() const;

    // Hands the requests out to decoders one at a time, in order; -1 once the table is closed and each
    // has been handed out. Waits while neither is the case.
    int nextToDecode();
    // No more requests will come.
    void close();

    // Decodes request `index` in a child process and records the outcome: IMAGE_NOT_DECODED when the
    // levels found no room.
    void decode(int index);
    // Waits up to `seconds` for request `index` to get its outcome.
    ImageState await(int index, double seconds) const;
    // The levels of a decoded request, checked against the space they claim to lie in; nullptr when
    // there are none or they do not fit it.
    const unsigned char* levels(int index, ImageLevels& image) const;
    // Gives the memory of a decoded request's levels back; it is IMAGE_RELEASED then.
    void release(int index);

  private:
    struct Entry;
    struct Header;
    Entry* entry(int index) const;
    unsigned char* take(uint64_t bytes, uint64_t& offset);
    void decodeHere(Entry& entry);

    size_t size = 0;
    Header* header = nullptr;
    unsigned char* space = nullptr;
    size_t capacity = 0;
};
