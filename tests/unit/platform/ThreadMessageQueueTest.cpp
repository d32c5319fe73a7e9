#include <gtest/gtest.h>

#include <thread>

#include "platform/ThreadMessageQueue.h"

namespace {

constexpr uint32_t kCancel = 0x8001;
constexpr uint32_t kOther = 0x8002;

TEST(ThreadMessageQueue, TakesOnlyTheGivenMessageOffTheCallersQueue) {
    bool first = false, second = false, other = false;
    std::thread worker([&] {
        ThreadMessageQueue::Post(std::this_thread::get_id(), kOther);
        ThreadMessageQueue::Post(std::this_thread::get_id(), kCancel);
        first = ThreadMessageQueue::Take(kCancel);
        second = ThreadMessageQueue::Take(kCancel);
        other = ThreadMessageQueue::Take(kOther);
    });
    worker.join();
    EXPECT_TRUE(first);
    EXPECT_FALSE(second);
    EXPECT_TRUE(other);
}

TEST(ThreadMessageQueue, AMessageForAnotherThreadStaysThere) {
    std::thread::id self = std::this_thread::get_id();
    bool taken = true;
    std::thread worker([&] {
        ThreadMessageQueue::Post(self, kCancel);
        taken = ThreadMessageQueue::Take(kCancel);
    });
    worker.join();
    EXPECT_FALSE(taken);
    EXPECT_TRUE(ThreadMessageQueue::Take(kCancel));
}

TEST(ThreadMessageQueue, DiscardForgetsEverythingForThatThread) {
    ThreadMessageQueue::Post(std::this_thread::get_id(), kCancel);
    ThreadMessageQueue::Discard(std::this_thread::get_id());
    EXPECT_FALSE(ThreadMessageQueue::Take(kCancel));
}

}  // namespace
