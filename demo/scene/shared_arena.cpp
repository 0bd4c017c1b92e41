#include "scene/shared_arena.h"

#include <algorithm>
#include <atomic>
#include <sys/mman.h>
#include <utility>

namespace {

constexpr uint64_t PAGE = 4096;
constexpr size_t MIN_CAPACITY = size_t(16) << 20;

uint64_t roundUpToPage(uint64_t bytes) {
    return (bytes + PAGE - 1) / PAGE * PAGE;
}

} // namespace

SharedMapping::SharedMapping(size_t bytes) {
    if (bytes == 0)
        return;
    void* shared =
        mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (shared == MAP_FAILED)
        return;
    this->bytes = static_cast<unsigned char*>(shared);
    length = bytes;
}

SharedMapping::~SharedMapping() {
    if (bytes)
        munmap(bytes, length);
}

SharedMapping::SharedMapping(SharedMapping&& other) noexcept
    : bytes(std::exchange(other.bytes, nullptr)), length(std::exchange(other.length, 0)) {}

SharedMapping& SharedMapping::operator=(SharedMapping&& other) noexcept {
    std::swap(bytes, other.bytes);
    std::swap(length, other.length);
    return *this;
}

struct SharedArena::Header {
    std::atomic<uint64_t> used;
};

static_assert(std::atomic<uint64_t>::is_always_lock_free,
              "atomics shared between processes must not hide a lock");

SharedArena::SharedArena(size_t capacity) : mapping(0) {
    // Where the address space is limited, with as much of the capacity as it allows.
    for (; !mapping.data() && capacity >= MIN_CAPACITY; capacity /= 4) {
        mapping = SharedMapping(PAGE + capacity);
        room = mapping.data() ? capacity : 0;
    }
}

SharedArena::Header* SharedArena::header() const {
    return reinterpret_cast<Header*>(mapping.data());
}

unsigned char* SharedArena::space() const {
    return mapping.data() + PAGE;
}

unsigned char* SharedArena::take(uint64_t bytes, uint64_t& offset) {
    if (!mapping.data())
        return nullptr;
    uint64_t rounded = roundUpToPage(bytes);
    offset = header()->used.load();
    do {
        if (rounded > room - std::min<uint64_t>(offset, room))
            return nullptr;
    } while (!header()->used.compare_exchange_weak(offset, offset + rounded));
    return space() + offset;
}

unsigned char* SharedArena::at(uint64_t offset, uint64_t bytes) const {
    if (!mapping.data() || offset > room || bytes > room - offset)
        return nullptr;
    return space() + offset;
}

void SharedArena::giveBack(uint64_t offset, uint64_t bytes) {
    if (unsigned char* block = at(offset, bytes))
        madvise(block, roundUpToPage(bytes), MADV_REMOVE);
}
