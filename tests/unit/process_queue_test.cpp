#include "app/child_process.h"
#include "scene/process_queue.h"
#include "scene/shared_arena.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

namespace {

constexpr int ITEMS = 40;
constexpr int TAKERS = 4;
const ChildLimits QUICK{10.0, size_t(256) << 20};

struct Shared {
    ProcessQueue queue;
    ProcessOutcome outcome;
    std::atomic<int> takes[ITEMS];
};

} // namespace

// Takers that start before the items exist each get distinct items, every item is taken once, and all of
// them return once the queue is closed, the close passed on from taker to taker.
TEST(ProcessQueue, EveryItemIsTakenOnceAndTheCloseReachesEveryTaker) {
    SharedMapping memory(sizeof(Shared));
    ASSERT_NE(memory.data(), nullptr);
    Shared& shared = *reinterpret_cast<Shared*>(memory.data());
    shared.queue.init();
    std::vector<std::unique_ptr<ChildProcess>> takers;
    for (int taker = 0; taker < TAKERS; ++taker)
        takers.push_back(std::make_unique<ChildProcess>(
            [&shared] {
                for (int item = shared.queue.take(); item >= 0; item = shared.queue.take())
                    shared.takes[item].fetch_add(1);
            },
            QUICK));
    for (int item = 0; item < ITEMS; ++item)
        shared.queue.add();
    shared.queue.close();
    for (auto& taker : takers)
        EXPECT_TRUE(taker->survived());
    EXPECT_EQ(shared.queue.count(), static_cast<uint32_t>(ITEMS));
    for (int item = 0; item < ITEMS; ++item)
        EXPECT_EQ(shared.takes[item].load(), 1) << "item " << item;
    EXPECT_EQ(shared.queue.take(), -1);
}

// A value set in another process wakes the waiter; one replaced later is read as it stands.
TEST(ProcessQueue, AnOutcomeSetInAChildReachesItsWaiter) {
    SharedMapping memory(sizeof(Shared));
    ASSERT_NE(memory.data(), nullptr);
    Shared& shared = *reinterpret_cast<Shared*>(memory.data());
    shared.outcome.init();
    EXPECT_EQ(shared.outcome.await(0.01), 0);
    ChildProcess setter([&shared] { shared.outcome.set(2); }, QUICK);
    EXPECT_EQ(shared.outcome.await(QUICK.seconds), 2);
    EXPECT_TRUE(setter.survived());
    shared.outcome.set(3);
    EXPECT_EQ(shared.outcome.await(0.01), 3);
    EXPECT_EQ(shared.outcome.await(0.0), 3);
}
