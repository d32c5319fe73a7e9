#include "midi/jack/JackCallQueue.h"

#include <memory>

namespace {

// One waited-for call: whether it has run, and whether its caller stopped waiting.
struct Waited {
    std::mutex mutex;
    std::condition_variable ran;
    bool done = false;
    bool abandoned = false;
};

}  // namespace

JackCallQueue::JackCallQueue() : m_Thread([this] { Serve(); }) {}

JackCallQueue::~JackCallQueue() {
    {
        std::lock_guard lock(m_Mutex);
        m_Stopping = true;
    }
    m_Queued.notify_one();
    m_Thread.join();
}

bool JackCallQueue::Run(Call call, Call undo, std::chrono::milliseconds limit) {
    auto waited = std::make_shared<Waited>();
    Post([waited, call = std::move(call), undo = std::move(undo)] {
        call();
        bool abandoned = false;
        {
            std::lock_guard lock(waited->mutex);
            waited->done = true;
            abandoned = waited->abandoned;
        }
        waited->ran.notify_one();
        if (abandoned && undo) {
            undo();
        }
    });
    std::unique_lock lock(waited->mutex);
    if (waited->ran.wait_for(lock, limit, [&] { return waited->done; })) {
        return true;
    }
    waited->abandoned = true;
    return false;
}

void JackCallQueue::Post(Call call) {
    {
        std::lock_guard lock(m_Mutex);
        m_Calls.push_back(std::move(call));
    }
    m_Queued.notify_one();
}

void JackCallQueue::Serve() {
    std::unique_lock lock(m_Mutex);
    while (true) {
        m_Queued.wait(lock, [this] { return m_Stopping || !m_Calls.empty(); });
        if (m_Calls.empty()) {
            return;
        }
        Call call = std::move(m_Calls.front());
        m_Calls.pop_front();
        lock.unlock();
        call();
        lock.lock();
    }
}
