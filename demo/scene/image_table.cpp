#include "scene/image_table.h"

#include "scene/image_decode.h"
#include "scene/process_queue.h"

#include <cstring>

namespace {

constexpr int MAX_REQUESTS = 128;
constexpr size_t PATH_BYTES = 4096;
// A decoder holding a top level waits for the gate in steps this long; the prefetch's end kills it
// meanwhile.
constexpr double TOP_LEVEL_WAIT_STEP_SECONDS = 3600.0;

uint32_t decodedChannels(int channels) {
    return channels == 4 ? 4 : 3;
}

} // namespace

struct ImageTable::Entry {
    ProcessOutcome state;
    uint32_t channels;
    ImageRole role;
    // Written by the decoding child: believed once it has come back.
    int32_t decoded;
    ImageLevels image;
    char path[PATH_BYTES];
};

struct ImageTable::Requests {
    ProcessQueue queue;
    ProcessOutcome topLevelsAllowed;
    Entry entries[MAX_REQUESTS];
};

ImageTable::ImageTable(size_t capacity) : list(sizeof(Requests)), space(capacity) {
    if (!requests())
        return;
    requests()->queue.init();
    requests()->topLevelsAllowed.init();
    for (Entry& e : requests()->entries)
        e.state.init();
}

ImageTable::Requests* ImageTable::requests() const {
    return reinterpret_cast<Requests*>(list.data());
}

ImageTable::Entry* ImageTable::entry(int index) const {
    if (!requests() || index < 0 || index >= requestCount())
        return nullptr;
    return &requests()->entries[index];
}

int ImageTable::find(int channels, const std::string& path) const {
    for (int i = 0; i < requestCount(); ++i) {
        const Entry& e = requests()->entries[i];
        if (e.channels == decodedChannels(channels) && path == e.path)
            return i;
    }
    return -1;
}

int ImageTable::requestCount() const {
    return requests() ? static_cast<int>(requests()->queue.count()) : 0;
}

ImageRole ImageTable::role(int index) const {
    const Entry* e = entry(index);
    return e ? e->role : WHOLE_IMAGE;
}

int ImageTable::request(int channels, const std::string& path, ImageRole role) {
    int existing = find(channels, path);
    if (existing >= 0 || !requests())
        return existing;
    int index = requestCount();
    if (index >= MAX_REQUESTS || path.size() >= PATH_BYTES || path.find('\0') != std::string::npos)
        return -1;
    Entry& e = requests()->entries[index];
    e.channels = decodedChannels(channels);
    e.role = role;
    std::memcpy(e.path, path.c_str(), path.size() + 1);
    requests()->queue.add();
    return index;
}

int ImageTable::nextToDecode() {
    int index = requests() ? requests()->queue.take() : -1;
    if (role(index) == TOP_LEVEL_IMAGE) {
        while (requests()->topLevelsAllowed.await(TOP_LEVEL_WAIT_STEP_SECONDS) == 0) {
        }
    }
    return index;
}

void ImageTable::allowTopLevels() {
    if (requests())
        requests()->topLevelsAllowed.set(1);
}

void ImageTable::close() {
    if (requests())
        requests()->queue.close();
}

void ImageTable::decode(int index) {
    Entry* e = entry(index);
    if (!e)
        return;
    bool survived =
        survivesInChild([this, e] { e->decoded = decodeImageFile(e->path, e->channels, space, e->image); },
                        IMAGE_DECODE_LIMITS);
    ImageState outcome = IMAGE_FAILED;
    if (survived && e->decoded == DECODE_DONE)
        outcome = IMAGE_DECODED;
    else if (survived && e->decoded == DECODE_NO_ROOM)
        outcome = IMAGE_NOT_DECODED;
    e->state.set(outcome);
}

ImageState ImageTable::await(int index, double seconds) const {
    Entry* e = entry(index);
    return e ? static_cast<ImageState>(e->state.await(seconds)) : IMAGE_NOT_DECODED;
}

const unsigned char* ImageTable::levels(int index, ImageLevels& image) const {
    const Entry* e = entry(index);
    if (!e || e->state.get() != IMAGE_DECODED)
        return nullptr;
    image = e->image;
    return describesMipChain(image, e->channels) ? space.at(image.offset, image.bytes) : nullptr;
}

void ImageTable::release(int index) {
    Entry* e = entry(index);
    if (!e || e->state.get() != IMAGE_DECODED)
        return;
    ImageLevels image;
    if (levels(index, image))
        space.giveBack(image.offset, image.bytes);
    e->state.set(IMAGE_RELEASED);
}
