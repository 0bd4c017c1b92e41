// Hand-over between processes on POSIX semaphores: both live in memory shared by the processes (see
// SharedMapping) and are set up with `init` before the processes that use them are forked.
#pragma once

#include <atomic>
#include <cstdint>
#include <semaphore.h>

// Numbered items, added by one process at a time and each taken by one of any number of takers, in order.
class ProcessQueue {
  public:
    void init();
    // Item `count()` is in place: it can be taken.
    void add();
    uint32_t count() const { return added.load(); }
    // No more items will come.
    void close();
    // The next item's number; -1 once the queue is closed and every item has been taken. Waits while
    // neither is the case.
    int take();

  private:
    // One post per item, and one for the close, which each taker that finds it passes on.
    sem_t available;
    std::atomic<uint32_t> added;
    std::atomic<uint32_t> taken;
};

// A value that starts at 0 and is set once by one process; any process may wait for it.
class ProcessOutcome {
  public:
    void init();
    // Only the first value set wakes the waiters; later ones replace it quietly.
    void set(int32_t outcome);
    int32_t get() const { return value.load(); }
    // The value once set, or 0 after `seconds`.
    int32_t await(double seconds);

  private:
    sem_t settled;
    std::atomic<int32_t> value;
};

static_assert(std::atomic<uint32_t>::is_always_lock_free && std::atomic<int32_t>::is_always_lock_free,
              "atomics shared between processes must not hide a lock");
