#include "scene/process_queue.h"

#include <cerrno>
#include <cmath>
#include <ctime>

namespace {

constexpr int SHARED_BETWEEN_PROCESSES = 1;

void waitFor(sem_t& semaphore) {
    while (sem_wait(&semaphore) != 0 && errno == EINTR) {
    }
}

timespec monotonicAfter(double seconds) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    double whole = std::floor(seconds);
    long nanoseconds = now.tv_nsec + std::lround((seconds - whole) * 1e9);
    return {now.tv_sec + static_cast<time_t>(whole) + nanoseconds / 1000000000, nanoseconds % 1000000000};
}

} // namespace

void ProcessQueue::init() {
    sem_init(&available, SHARED_BETWEEN_PROCESSES, 0);
    added.store(0);
    taken.store(0);
}

void ProcessQueue::add() {
    added.fetch_add(1);
    sem_post(&available);
}

void ProcessQueue::close() {
    sem_post(&available);
}

int ProcessQueue::take() {
    waitFor(available);
    uint32_t index = taken.fetch_add(1);
    if (index < added.load())
        return static_cast<int>(index);
    sem_post(&available);
    return -1;
}

void ProcessOutcome::init() {
    sem_init(&settled, SHARED_BETWEEN_PROCESSES, 0);
    value.store(0);
}

void ProcessOutcome::set(int32_t outcome) {
    if (value.exchange(outcome) == 0)
        sem_post(&settled);
}

int32_t ProcessOutcome::await(double seconds) {
    if (value.load() != 0 || seconds <= 0.0)
        return value.load();
    timespec deadline = monotonicAfter(seconds);
    int waited = 0;
    while ((waited = sem_clockwait(&settled, CLOCK_MONOTONIC, &deadline)) != 0 && errno == EINTR) {
    }
    // Left for the next waiter.
    if (waited == 0)
        sem_post(&settled);
    return value.load();
}
