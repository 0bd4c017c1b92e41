// Images to decode and their levels, in memory that the processes forked after its construction share
// with it: a list of requests that one process at a time may add to, any may decode, and the space the
// levels go to.
#pragma once

#include "scene/image_levels.h"
#include "scene/shared_arena.h"

#include <cstddef>
#include <cstdint>
#include <string>

enum ImageState : int32_t { IMAGE_PENDING, IMAGE_DECODED, IMAGE_FAILED, IMAGE_NOT_DECODED, IMAGE_RELEASED };

// What a texture takes of a decoded image: every level; every level, as the texture's levels from 1 on (the
// half-size form of a map); or only level 0, as the top level of a texture made from a half-size form.
enum ImageRole : uint32_t { WHOLE_IMAGE, HALF_IMAGE, TOP_LEVEL_IMAGE };

class ImageTable {
  public:
    // `capacity`: address space for the levels; only what is written takes memory.
    explicit ImageTable(size_t capacity);
    ImageTable(const ImageTable&) = delete;
    ImageTable& operator=(const ImageTable&) = delete;

    // Adds a request for `path`, decoded to 4 channels when `channels` is 4 and to 3 otherwise; returns
    // its index (that of the existing one for the same image), or -1 when the table or the path is full.
    int request(int channels, const std::string& path, ImageRole role = WHOLE_IMAGE);
    // The index of the request for the same image, or -1.
    int find(int channels, const std::string& path) const;
    int requestCount() const;
    ImageRole role(int index) const;

    // Hands the requests out to decoders one at a time, in order; -1 once the table is closed and each
    // has been handed out. Waits while neither is the case, and with a top level until they are allowed.
    int nextToDecode();
    // Top levels may be decoded from now on: until then they would take processors from the first frame.
    void allowTopLevels();
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
    struct Requests;
    Requests* requests() const;
    Entry* entry(int index) const;

    SharedMapping list;
    SharedArena space;
};
