// Memory shared with the processes forked after its creation: a mapping, and an arena in one that any of
// them may take blocks from.
#pragma once

#include <cstddef>
#include <cstdint>

// Anonymous shared memory, zero when made; empty where it could not be mapped.
class SharedMapping {
  public:
    // Only what is written takes memory.
    explicit SharedMapping(size_t bytes);
    ~SharedMapping();
    SharedMapping(SharedMapping&& other) noexcept;
    SharedMapping& operator=(SharedMapping&& other) noexcept;

    unsigned char* data() const { return bytes; }
    size_t size() const { return length; }

  private:
    unsigned char* bytes = nullptr;
    size_t length = 0;
};

// Blocks taken in page steps, never reused: a block's memory can be given back, its address space cannot.
class SharedArena {
  public:
    // With as much of `capacity` as the address space allows, down to a floor below which it is empty.
    explicit SharedArena(size_t capacity);

    size_t capacity() const { return room; }
    // A block of `bytes` for any of the processes; nullptr, taking nothing, where it does not fit, so that
    // one huge block leaves room for the others.
    unsigned char* take(uint64_t bytes, uint64_t& offset);
    // The block of `bytes` at `offset`; nullptr where it does not lie within the arena.
    unsigned char* at(uint64_t offset, uint64_t bytes) const;
    // The block's memory returns to the system, and reads as zero afterwards.
    void giveBack(uint64_t offset, uint64_t bytes);

  private:
    struct Header;
    Header* header() const;
    unsigned char* space() const;

    size_t room = 0;
    SharedMapping mapping;
};
