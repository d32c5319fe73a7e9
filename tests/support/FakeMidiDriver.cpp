#include "support/FakeMidiDriver.h"

#include <algorithm>

FakeMidiDriver::FakeMidiDriver(std::vector<std::string> inNames, std::vector<std::string> outNames)
    : InlineMidiDriver(std::move(inNames), std::move(outNames)), m_Thread([this] { Loop(); }) {}

FakeMidiDriver::~FakeMidiDriver() {
    {
        std::lock_guard lock(m_TaskMutex);
        m_Quit = true;
    }
    m_Wake.notify_all();
    m_Thread.join();
}

void FakeMidiDriver::Script(Op op, std::vector<MidiResult> results) {
    std::lock_guard lock(m_Mutex);
    m_Script[op].insert(m_Script[op].end(), results.begin(), results.end());
}

void FakeMidiDriver::SetStillPlaying(Op unprepare, uint32_t polls) {
    std::lock_guard lock(m_Mutex);
    m_StillPlaying[unprepare] = polls;
}

void FakeMidiDriver::SetResponder(Responder responder) {
    std::lock_guard lock(m_Mutex);
    m_Responder = std::move(responder);
}

void FakeMidiDriver::Deliver(std::vector<uint8_t> bytes) {
    Post([this, bytes = std::move(bytes)] { Feed(bytes.data(), bytes.size()); });
}

void FakeMidiDriver::DeliverShort(uint32_t packed) {
    Post([this, packed] { FeedShort(packed); });
}

void FakeMidiDriver::Flush() {
    const uint64_t ticket = Post([] {});
    std::unique_lock lock(m_TaskMutex);
    m_TaskDone.wait(lock, [this, ticket] { return m_Finished >= ticket; });
}

std::vector<FakeMidiDriver::Op> FakeMidiDriver::Calls() const {
    std::lock_guard lock(m_Mutex);
    return m_Calls;
}

std::vector<uint32_t> FakeMidiDriver::ShortSent() const {
    std::lock_guard lock(m_Mutex);
    return m_ShortSent;
}

std::vector<std::vector<uint8_t>> FakeMidiDriver::LongSent() const {
    std::lock_guard lock(m_Mutex);
    return m_LongSent;
}

size_t FakeMidiDriver::QueuedBuffers() const {
    size_t count = 0;
    m_Inputs.ForEach([&](MidiInputTable::Input& input) { count += input.queue.QueuedCount(); });
    return count;
}

MidiResult FakeMidiDriver::OutOpen(uint32_t index, MidiHandle& handle) {
    handle = 0;
    return Call(Op::OutOpen, [&] { return InlineMidiDriver::OutOpen(index, handle); });
}

MidiResult FakeMidiDriver::OutShortMsg(MidiHandle handle, uint32_t packed) {
    return Call(Op::OutShortMsg, [&] {
        const MidiResult result = InlineMidiDriver::OutShortMsg(handle, packed);
        if (result == kMidiOk) {
            std::lock_guard lock(m_Mutex);
            m_ShortSent.push_back(packed);
        }
        return result;
    });
}

MidiResult FakeMidiDriver::OutPrepare(MidiHandle handle, MidiHeader* header) {
    return Call(Op::OutPrepare, [&] { return InlineMidiDriver::OutPrepare(handle, header); });
}

MidiResult FakeMidiDriver::OutLongMsg(MidiHandle handle, MidiHeader* header) {
    return Call(Op::OutLongMsg, [&] {
        const MidiResult result = InlineMidiDriver::OutLongMsg(handle, header);
        if (result != kMidiOk) {
            return result;
        }
        const std::vector<uint8_t> sent(header->data, header->data + header->bufferLength);
        Responder responder;
        {
            std::lock_guard lock(m_Mutex);
            m_LongSent.push_back(sent);
            responder = m_Responder;
        }
        Arm(Op::OutUnprepare, handle, header);
        if (responder) {
            if (std::vector<uint8_t> reply = responder(sent); !reply.empty()) {
                Deliver(std::move(reply));
            }
        }
        return result;
    });
}

MidiResult FakeMidiDriver::OutUnprepare(MidiHandle handle, MidiHeader* header) {
    return Call(Op::OutUnprepare, [&] {
        return Held(header) ? kMidiStillPlaying : InlineMidiDriver::OutUnprepare(handle, header);
    });
}

MidiResult FakeMidiDriver::OutClose(MidiHandle handle) {
    return Call(Op::OutClose, [&] {
        const MidiResult result = InlineMidiDriver::OutClose(handle);
        if (result == kMidiOk) {
            Forget(handle);
        }
        return result;
    });
}

MidiResult FakeMidiDriver::InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                                  std::uintptr_t instance) {
    handle = 0;
    return Call(Op::InOpen, [&] {
        {
            std::lock_guard lock(m_Mutex);
            const bool inUse = std::any_of(m_OpenInputs.begin(), m_OpenInputs.end(),
                                           [&](const auto& open) { return open.second == index; });
            if (inUse) {
                return kMidiAllocated;
            }
        }
        const MidiResult result = InlineMidiDriver::InOpen(index, handle, callback, instance);
        if (result == kMidiOk) {
            std::lock_guard lock(m_Mutex);
            m_OpenInputs[handle] = index;
        }
        return result;
    });
}

MidiResult FakeMidiDriver::InPrepare(MidiHandle handle, MidiHeader* header) {
    return Call(Op::InPrepare, [&] { return InlineMidiDriver::InPrepare(handle, header); });
}

MidiResult FakeMidiDriver::InAddBuffer(MidiHandle handle, MidiHeader* header) {
    return Call(Op::InAddBuffer, [&] {
        const MidiResult result = InlineMidiDriver::InAddBuffer(handle, header);
        if (result == kMidiOk) {
            Arm(Op::InUnprepare, handle, header);
        }
        return result;
    });
}

MidiResult FakeMidiDriver::InStart(MidiHandle handle) {
    return Call(Op::InStart, [&] { return InlineMidiDriver::InStart(handle); });
}

MidiResult FakeMidiDriver::InStop(MidiHandle handle) {
    return Call(Op::InStop, [&] { return InlineMidiDriver::InStop(handle); });
}

MidiResult FakeMidiDriver::InReset(MidiHandle handle) {
    return Call(Op::InReset, [&] { return InlineMidiDriver::InReset(handle); });
}

MidiResult FakeMidiDriver::InUnprepare(MidiHandle handle, MidiHeader* header) {
    return Call(Op::InUnprepare, [&] {
        // A queued buffer is still-playing by the product's own rule, using up no answer.
        const bool queued = header && (header->flags.load() & MidiHeader::kInQueue);
        return !queued && Held(header) ? kMidiStillPlaying
                                       : InlineMidiDriver::InUnprepare(handle, header);
    });
}

MidiResult FakeMidiDriver::InClose(MidiHandle handle) {
    return Call(Op::InClose, [&] {
        const MidiResult result = InlineMidiDriver::InClose(handle);
        if (result == kMidiOk) {
            {
                std::lock_guard lock(m_Mutex);
                m_OpenInputs.erase(handle);
            }
            Forget(handle);
        }
        return result;
    });
}

template <typename Step>
MidiResult FakeMidiDriver::Call(Op op, Step&& step) {
    {
        std::lock_guard lock(m_Mutex);
        m_Calls.push_back(op);
        auto& script = m_Script[op];
        if (!script.empty()) {
            const MidiResult scripted = script.front();
            script.pop_front();
            if (scripted != kMidiOk) {
                return scripted;
            }
        }
    }
    return step();
}

void FakeMidiDriver::Arm(Op unprepare, MidiHandle handle, MidiHeader* header) {
    std::lock_guard lock(m_Mutex);
    m_Pending[header] = {handle, m_StillPlaying[unprepare]};
}

bool FakeMidiDriver::Held(MidiHeader* header) {
    std::lock_guard lock(m_Mutex);
    const auto pending = m_Pending.find(header);
    if (pending == m_Pending.end()) {
        return false;
    }
    if (pending->second.polls > 0) {
        --pending->second.polls;
        return true;
    }
    m_Pending.erase(pending);
    return false;
}

void FakeMidiDriver::Forget(MidiHandle handle) {
    std::lock_guard lock(m_Mutex);
    std::erase_if(m_Pending, [handle](const auto& entry) { return entry.second.handle == handle; });
}

uint64_t FakeMidiDriver::Post(Task task) {
    uint64_t ticket = 0;
    {
        std::lock_guard lock(m_TaskMutex);
        m_Tasks.push_back(std::move(task));
        ticket = ++m_Posted;
    }
    m_Wake.notify_all();
    return ticket;
}

void FakeMidiDriver::Loop() {
    std::unique_lock lock(m_TaskMutex);
    for (;;) {
        m_Wake.wait(lock, [this] { return m_Quit || !m_Tasks.empty(); });
        if (m_Tasks.empty()) {
            return;
        }
        Task task = std::move(m_Tasks.front());
        m_Tasks.pop_front();
        lock.unlock();
        task();
        lock.lock();
        ++m_Finished;
        m_TaskDone.notify_all();
    }
}
