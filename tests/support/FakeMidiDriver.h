#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "midi/MidiDriver.h"

// A scripted driver for the tests. It behaves like a byte-stream driver: input bytes fill the
// queued buffers in order and each buffer comes back through the callback, on the driver's own
// thread, when a message ends in it or it is full. Every call is recorded, any call can be given
// the results it answers, unprepare can answer still-playing a set number of times, and a sent
// long message can be answered by a reply.
class FakeMidiDriver : public MidiDriver {
public:
    enum class Op {
        OutOpen, OutShortMsg, OutPrepare, OutLongMsg, OutUnprepare, OutClose,
        InOpen, InPrepare, InAddBuffer, InStart, InStop, InReset, InUnprepare, InClose,
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
    // Each message sent (OutUnprepare) or buffer returned (InUnprepare) answers still-playing to
    // this many polls before it is given back.
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

    uint32_t OutCount() override;
    std::string OutName(uint32_t index) override;
    MidiResult OutOpen(uint32_t index, MidiHandle& handle) override;
    MidiResult OutShortMsg(MidiHandle handle, uint32_t packed) override;
    MidiResult OutPrepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutLongMsg(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutUnprepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutClose(MidiHandle handle) override;

    uint32_t InCount() override;
    std::string InName(uint32_t index) override;
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
    struct InPort {
        uint32_t index = 0;
        InCallback callback = nullptr;
        std::uintptr_t instance = 0;
        bool started = false;
        std::deque<MidiHeader*> queue;
        uint32_t filling = 0;  // bytes already in the front buffer
    };
    // A callback to make once the driver lock is let go.
    struct Notice {
        InCallback callback;
        MidiHandle handle;
        std::uintptr_t instance;
        uint32_t message;
        std::uintptr_t param1;
    };
    using Task = std::function<void()>;

    // Under the lock: the scripted answer of this call, kMidiOk when it goes ahead.
    MidiResult Begin(Op op);
    MidiResult BeginIn(Op op, MidiHandle handle, MidiHeader* header, InPort*& port);
    MidiResult BeginOut(Op op, MidiHandle handle, MidiHeader* header);
    // Stops input and gives buffers back, as InStop or InReset.
    MidiResult Halt(Op op, MidiHandle handle);
    // Under the lock: still-playing while the header has polls left, else forgets it.
    bool StillPlaying(MidiHeader* header);
    void ReturnFront(MidiHandle handle, InPort& port, std::vector<Notice>& notices);
    void Feed(const std::vector<uint8_t>& bytes);
    void Notify(const std::vector<Notice>& notices);
    uint64_t Post(Task task);  // returns the task's ticket
    void RunOnDriverThread(Task task);
    void Loop();

    const std::vector<std::string> m_InNames;
    const std::vector<std::string> m_OutNames;

    mutable std::mutex m_Mutex;
    std::map<Op, std::deque<MidiResult>> m_Script;
    std::map<Op, uint32_t> m_StillPlaying;
    Responder m_Responder;
    std::vector<Op> m_Calls;
    std::vector<uint32_t> m_ShortSent;
    std::vector<std::vector<uint8_t>> m_LongSent;
    MidiHandle m_NextHandle = 0x100;
    std::set<MidiHandle> m_OutPorts;
    std::map<MidiHandle, InPort> m_InPorts;
    struct Pending {
        MidiHandle handle;
        uint32_t polls;  // still-playing answers left
    };
    std::map<MidiHeader*, Pending> m_Pending;
    std::set<MidiHeader*> m_InCallback;  // returned, its callback not yet finished

    std::mutex m_TaskMutex;
    std::condition_variable m_Wake;
    std::deque<Task> m_Tasks;
    uint64_t m_Posted = 0;
    uint64_t m_Finished = 0;
    std::condition_variable m_TaskDone;
    bool m_Quit = false;
    std::thread m_Thread;
};
