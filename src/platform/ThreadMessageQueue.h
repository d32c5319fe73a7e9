#pragma once

#include <cstdint>
#include <thread>

// A message queue per thread: any thread posts a number to another thread, a thread takes a
// given number off its own queue. Nothing waits; a thread only looks when it chooses to.
class ThreadMessageQueue {
public:
    static void Post(std::thread::id thread, uint32_t message);
    // Removes the oldest `message` from the calling thread's queue, leaving every other message.
    static bool Take(uint32_t message);
    // Forgets every message for a thread that has ended, so that a thread later given the same
    // id does not inherit them.
    static void Discard(std::thread::id thread);
};
