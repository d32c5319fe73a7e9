#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// The JACK calls that wait for the server, run one after another on a thread of their own, so
// that a caller can stop waiting on a stalled server while the call goes on. The thread sleeps
// while there is nothing to do.
class JackCallQueue {
public:
    using Call = std::function<void()>;

    JackCallQueue();
    // Runs what is queued, then ends the thread.
    ~JackCallQueue();
    JackCallQueue(const JackCallQueue&) = delete;
    JackCallQueue& operator=(const JackCallQueue&) = delete;

    // Runs `call` after the calls queued before it and waits at most `limit` for it. False when
    // it has not run by then: `undo` then runs right after it, whenever that is.
    bool Run(Call call, Call undo, std::chrono::milliseconds limit);
    // Queues `call` without waiting for it.
    void Post(Call call);

private:
    void Serve();

    std::mutex m_Mutex;
    std::condition_variable m_Queued;
    std::deque<Call> m_Calls;
    bool m_Stopping = false;
    std::thread m_Thread;
};
