#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/InlineMidiDriver.h"

// The inline driver with a thin layer for the tests: every call is recorded, any call can be
// given the results it answers, unprepare can answer still-playing a set number of times, and a
// sent long message can be answered by a reply. Buffers are queued, filled, returned and released
// by the product's own rules; input arrives on the driver's own thread, as on a real driver.
class FakeMidiDriver : public InlineMidiDriver {
public:
    enum class Op {
        OutOpen,
        OutShortMsg,
        OutPrepare,
        OutLongMsg,
        OutUnprepare,
        OutClose,
        InOpen,
        InPrepare,
        InAddBuffer,
        InStart,
        InStop,
        InReset,
        InUnprepare,
        InClose,
    };
    // Bytes to deliver as input in answer to a sent long message (none: silence).
    using Responder = std::function<std::vector<uint8_t>(const std::vector<uint8_t>& sent)>;

    explicit FakeMidiDriver(std::vector<std::string> inNames = {"Fake In"},
                            std::vector<std::string> outNames = {"Fake Out"});
    ~FakeMidiDriver() override;
    FakeMidiDriver(const FakeMidiDriver&) = delete;
    FakeMidiDriver& operator=(const FakeMidiDriver&) = delete;

    // The next calls of `op` answer these results in turn, doing nothing on a failure; once they
    // are used up the call behaves normally. kMidiOk entries let the first calls through.
    void Script(Op op, std::vector<MidiResult> results);
    // Each message sent (OutUnprepare) or buffer added (InUnprepare) answers still-playing to
    // this many polls, once it is no longer queued, before it is given back.
    void SetStillPlaying(Op unprepare, uint32_t polls);
    void SetResponder(Responder responder);
    // Delivers bytes, or a packed short message, to every started input from the driver thread.
    void Deliver(std::vector<uint8_t> bytes);
    void DeliverShort(uint32_t packed);
    // Waits until the driver thread has handled everything posted so far.
    void Flush();

    std::vector<Op> Calls() const;
    std::vector<uint32_t> ShortSent() const;
    std::vector<std::vector<uint8_t>> LongSent() const;
    size_t QueuedBuffers() const;

    MidiResult OutOpen(uint32_t index, MidiHandle& handle) override;
    MidiResult OutShortMsg(MidiHandle handle, uint32_t packed) override;
    MidiResult OutPrepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutLongMsg(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutUnprepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutClose(MidiHandle handle) override;

    MidiResult InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                      std::uintptr_t instance) override;
    MidiResult InPrepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult InAddBuffer(MidiHandle handle, MidiHeader* header) override;
    MidiResult InStart(MidiHandle handle) override;
    MidiResult InStop(MidiHandle handle) override;
    MidiResult InReset(MidiHandle handle) override;
    MidiResult InUnprepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult InClose(MidiHandle handle) override;

private:
    struct Pending {
        MidiHandle handle;
        uint32_t polls;  // still-playing answers left
    };
    using Task = std::function<void()>;

    // Records the call; runs `step` unless a scripted failure answers instead.
    template <typename Step>
    MidiResult Call(Op op, Step&& step);
    // Gives the header the still-playing answers set for `unprepare`.
    void Arm(Op unprepare, MidiHandle handle, MidiHeader* header);
    // True, using up one answer, while the header has still-playing answers left.
    bool Held(MidiHeader* header);
    void Forget(MidiHandle handle);
    uint64_t Post(Task task);  // returns the task's ticket
    void Loop();

    mutable std::mutex m_Mutex;
    std::map<Op, std::deque<MidiResult>> m_Script;
    std::map<Op, uint32_t> m_StillPlaying;
    Responder m_Responder;
    std::vector<Op> m_Calls;
    std::vector<uint32_t> m_ShortSent;
    std::vector<std::vector<uint8_t>> m_LongSent;
    std::map<MidiHeader*, Pending> m_Pending;
    std::map<MidiHandle, uint32_t> m_OpenInputs;  // handle, device index

    std::mutex m_TaskMutex;
    std::condition_variable m_Wake;
    std::deque<Task> m_Tasks;
    uint64_t m_Posted = 0;
    uint64_t m_Finished = 0;
    std::condition_variable m_TaskDone;
    bool m_Quit = false;
    std::thread m_Thread;
};
