#include "platform/ThreadMessageQueue.h"

#include <algorithm>
#include <deque>
#include <map>
#include <mutex>

namespace {

std::mutex g_Mutex;
std::map<std::thread::id, std::deque<uint32_t>> g_Queues;

}  // namespace

void ThreadMessageQueue::Post(std::thread::id thread, uint32_t message) {
    std::lock_guard lock(g_Mutex);
    g_Queues[thread].push_back(message);
}

bool ThreadMessageQueue::Take(uint32_t message) {
    std::lock_guard lock(g_Mutex);
    auto queue = g_Queues.find(std::this_thread::get_id());
    if (queue == g_Queues.end()) {
        return false;
    }
    auto found = std::find(queue->second.begin(), queue->second.end(), message);
    if (found == queue->second.end()) {
        return false;
    }
    queue->second.erase(found);
    if (queue->second.empty()) {
        g_Queues.erase(queue);
    }
    return true;
}

void ThreadMessageQueue::Discard(std::thread::id thread) {
    std::lock_guard lock(g_Mutex);
    g_Queues.erase(thread);
}
