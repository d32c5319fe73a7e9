#include "support/FakeMidiDriver.h"

#include <algorithm>

#include "midi/MidiHeaderState.h"

namespace {

constexpr uint8_t kEndOfExclusive = 0xF7;

bool IsPrepared(const MidiHeader* header) {
    return header->flags.load() & MidiHeader::kPrepared;
}

}  // namespace

FakeMidiDriver::FakeMidiDriver(std::vector<std::string> inNames,
                               std::vector<std::string> outNames)
    : m_InNames(std::move(inNames)), m_OutNames(std::move(outNames)),
      m_Thread([this] { Loop(); }) {}

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
    Post([this, bytes = std::move(bytes)] { Feed(bytes); });
}

void FakeMidiDriver::DeliverShort(uint32_t packed) {
    Post([this, packed] {
        std::vector<Notice> notices;
        {
            std::lock_guard lock(m_Mutex);
            for (auto& [handle, port] : m_InPorts) {
                if (port.started) {
                    notices.push_back({port.callback, handle, port.instance, kMimData, packed});
                }
            }
        }
        Notify(notices);
    });
}

void FakeMidiDriver::Flush() {
    RunOnDriverThread([] {});
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
    std::lock_guard lock(m_Mutex);
    size_t count = 0;
    for (const auto& [handle, port] : m_InPorts) {
        count += port.queue.size();
    }
    return count;
}

uint32_t FakeMidiDriver::OutCount() {
    return static_cast<uint32_t>(m_OutNames.size());
}

std::string FakeMidiDriver::OutName(uint32_t index) {
    return index < m_OutNames.size() ? m_OutNames[index] : std::string();
}

MidiResult FakeMidiDriver::OutOpen(uint32_t index, MidiHandle& handle) {
    std::lock_guard lock(m_Mutex);
    handle = 0;
    if (const MidiResult result = Begin(Op::OutOpen); result != kMidiOk) {
        return result;
    }
    if (index >= m_OutNames.size()) {
        return kMidiBadDeviceId;
    }
    handle = m_NextHandle++;
    m_OutPorts.insert(handle);
    return kMidiOk;
}

MidiResult FakeMidiDriver::OutShortMsg(MidiHandle handle, uint32_t packed) {
    std::lock_guard lock(m_Mutex);
    if (const MidiResult result = BeginOut(Op::OutShortMsg, handle, nullptr); result != kMidiOk) {
        return result;
    }
    m_ShortSent.push_back(packed);
    return kMidiOk;
}

MidiResult FakeMidiDriver::OutPrepare(MidiHandle handle, MidiHeader* header) {
    std::lock_guard lock(m_Mutex);
    if (const MidiResult result = BeginOut(Op::OutPrepare, handle, header); result != kMidiOk) {
        return result;
    }
    header->flags.store(MidiHeader::kPrepared);
    return kMidiOk;
}

MidiResult FakeMidiDriver::OutLongMsg(MidiHandle handle, MidiHeader* header) {
    std::lock_guard lock(m_Mutex);
    if (const MidiResult result = BeginOut(Op::OutLongMsg, handle, header); result != kMidiOk) {
        return result;
    }
    if (!IsPrepared(header)) {
        return kMidiUnprepared;
    }
    const std::vector<uint8_t> sent(header->data, header->data + header->bufferLength);
    m_LongSent.push_back(sent);
    header->flags.store(MidiHeader::kPrepared | MidiHeader::kInQueue);
    m_Pending[header] = {handle, m_StillPlaying[Op::OutUnprepare]};
    if (m_Responder) {
        if (std::vector<uint8_t> reply = m_Responder(sent); !reply.empty()) {
            Deliver(std::move(reply));
        }
    }
    return kMidiOk;
}

MidiResult FakeMidiDriver::OutUnprepare(MidiHandle handle, MidiHeader* header) {
    std::lock_guard lock(m_Mutex);
    if (const MidiResult result = BeginOut(Op::OutUnprepare, handle, header); result != kMidiOk) {
        return result;
    }
    if (StillPlaying(header)) {
        return kMidiStillPlaying;
    }
    if (IsPrepared(header)) {
        header->flags.store(MidiHeader::kDone);
    }
    return kMidiOk;
}

MidiResult FakeMidiDriver::OutClose(MidiHandle handle) {
    std::lock_guard lock(m_Mutex);
    if (const MidiResult result = BeginOut(Op::OutClose, handle, nullptr); result != kMidiOk) {
        return result;
    }
    m_OutPorts.erase(handle);
    std::erase_if(m_Pending, [handle](const auto& entry) { return entry.second.handle == handle; });
    return kMidiOk;
}

uint32_t FakeMidiDriver::InCount() {
    return static_cast<uint32_t>(m_InNames.size());
}

std::string FakeMidiDriver::InName(uint32_t index) {
    return index < m_InNames.size() ? m_InNames[index] : std::string();
}

MidiResult FakeMidiDriver::InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                                  std::uintptr_t instance) {
    std::unique_lock lock(m_Mutex);
    handle = 0;
    if (const MidiResult result = Begin(Op::InOpen); result != kMidiOk) {
        return result;
    }
    if (index >= m_InNames.size()) {
        return kMidiBadDeviceId;
    }
    const bool inUse = std::any_of(m_InPorts.begin(), m_InPorts.end(),
                                   [index](const auto& entry) { return entry.second.index == index; });
    if (inUse) {
        return kMidiAllocated;
    }
    handle = m_NextHandle++;
    InPort& port = m_InPorts[handle];
    port.index = index;
    port.callback = callback;
    port.instance = instance;
    const std::vector<Notice> notices{{callback, handle, instance, kMimOpen, 0}};
    lock.unlock();
    RunOnDriverThread([this, notices] { Notify(notices); });
    return kMidiOk;
}

MidiResult FakeMidiDriver::InPrepare(MidiHandle handle, MidiHeader* header) {
    std::lock_guard lock(m_Mutex);
    InPort* port = nullptr;
    if (const MidiResult result = BeginIn(Op::InPrepare, handle, header, port); result != kMidiOk) {
        return result;
    }
    header->flags.store(MidiHeader::kPrepared);
    return kMidiOk;
}

MidiResult FakeMidiDriver::InAddBuffer(MidiHandle handle, MidiHeader* header) {
    std::lock_guard lock(m_Mutex);
    InPort* port = nullptr;
    if (const MidiResult result = BeginIn(Op::InAddBuffer, handle, header, port);
        result != kMidiOk) {
        return result;
    }
    if (!IsPrepared(header)) {
        return kMidiUnprepared;
    }
    header->bytesRecorded.store(0);
    header->flags.store(MidiHeader::kPrepared | MidiHeader::kInQueue);
    port->queue.push_back(header);
    return kMidiOk;
}

MidiResult FakeMidiDriver::InStart(MidiHandle handle) {
    std::lock_guard lock(m_Mutex);
    InPort* port = nullptr;
    if (const MidiResult result = BeginIn(Op::InStart, handle, nullptr, port); result != kMidiOk) {
        return result;
    }
    port->started = true;
    return kMidiOk;
}

MidiResult FakeMidiDriver::InStop(MidiHandle handle) {
    return Halt(Op::InStop, handle);
}

MidiResult FakeMidiDriver::InReset(MidiHandle handle) {
    return Halt(Op::InReset, handle);
}

MidiResult FakeMidiDriver::InUnprepare(MidiHandle handle, MidiHeader* header) {
    std::lock_guard lock(m_Mutex);
    InPort* port = nullptr;
    if (const MidiResult result = BeginIn(Op::InUnprepare, handle, header, port);
        result != kMidiOk) {
        return result;
    }
    const bool held = (header->flags.load() & MidiHeader::kInQueue) || m_InCallback.count(header);
    if (held || StillPlaying(header)) {
        return kMidiStillPlaying;
    }
    header->flags.store(header->flags.load() & ~MidiHeader::kPrepared);
    return kMidiOk;
}

MidiResult FakeMidiDriver::InClose(MidiHandle handle) {
    std::unique_lock lock(m_Mutex);
    InPort* port = nullptr;
    if (const MidiResult result = BeginIn(Op::InClose, handle, nullptr, port); result != kMidiOk) {
        return result;
    }
    if (!port->queue.empty()) {
        return kMidiStillPlaying;
    }
    const std::vector<Notice> notices{{port->callback, handle, port->instance, kMimClose, 0}};
    m_InPorts.erase(handle);
    lock.unlock();
    // Runs after every delivery already posted, so no callback follows the close.
    RunOnDriverThread([this, notices] { Notify(notices); });
    return kMidiOk;
}

MidiResult FakeMidiDriver::Begin(Op op) {
    m_Calls.push_back(op);
    auto& script = m_Script[op];
    if (script.empty()) {
        return kMidiOk;
    }
    const MidiResult result = script.front();
    script.pop_front();
    return result;
}

MidiResult FakeMidiDriver::BeginIn(Op op, MidiHandle handle, MidiHeader* header, InPort*& port) {
    if (const MidiResult result = Begin(op); result != kMidiOk) {
        return result;
    }
    const auto found = m_InPorts.find(handle);
    if (found == m_InPorts.end()) {
        return kMidiInvalidHandle;
    }
    port = &found->second;
    const bool needsHeader = op == Op::InPrepare || op == Op::InAddBuffer || op == Op::InUnprepare;
    return needsHeader && !header ? kMidiInvalidParam : kMidiOk;
}

MidiResult FakeMidiDriver::BeginOut(Op op, MidiHandle handle, MidiHeader* header) {
    if (const MidiResult result = Begin(op); result != kMidiOk) {
        return result;
    }
    if (!m_OutPorts.count(handle)) {
        return kMidiInvalidHandle;
    }
    const bool needsHeader = op == Op::OutPrepare || op == Op::OutLongMsg || op == Op::OutUnprepare;
    return needsHeader && !header ? kMidiInvalidParam : kMidiOk;
}

MidiResult FakeMidiDriver::Halt(Op op, MidiHandle handle) {
    std::unique_lock lock(m_Mutex);
    InPort* port = nullptr;
    if (const MidiResult result = BeginIn(op, handle, nullptr, port); result != kMidiOk) {
        return result;
    }
    port->started = false;
    // A stop gives back only a partly filled buffer; a reset gives back every buffer.
    std::vector<Notice> notices;
    while (!port->queue.empty() && (op == Op::InReset || port->filling > 0)) {
        ReturnFront(handle, *port, notices);
    }
    lock.unlock();
    RunOnDriverThread([this, notices] { Notify(notices); });
    return kMidiOk;
}

bool FakeMidiDriver::StillPlaying(MidiHeader* header) {
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

void FakeMidiDriver::ReturnFront(MidiHandle handle, InPort& port, std::vector<Notice>& notices) {
    MidiHeader* header = port.queue.front();
    port.queue.pop_front();
    header->bytesRecorded.store(port.filling);
    MidiHeaderState::Finish(header);
    port.filling = 0;
    m_InCallback.insert(header);
    m_Pending[header] = {handle, m_StillPlaying[Op::InUnprepare]};
    notices.push_back({port.callback, handle, port.instance, kMimLongData,
                       reinterpret_cast<std::uintptr_t>(header)});
}

void FakeMidiDriver::Feed(const std::vector<uint8_t>& bytes) {
    for (const uint8_t byte : bytes) {
        std::vector<Notice> notices;
        {
            std::lock_guard lock(m_Mutex);
            for (auto& [handle, port] : m_InPorts) {
                // A byte with no buffer queued is lost, as on a real driver.
                if (!port.started || port.queue.empty()) {
                    continue;
                }
                MidiHeader* header = port.queue.front();
                if (port.filling < header->bufferLength) {
                    header->data[port.filling++] = byte;
                }
                if (port.filling >= header->bufferLength || byte == kEndOfExclusive) {
                    ReturnFront(handle, port, notices);
                }
            }
        }
        Notify(notices);
    }
}

void FakeMidiDriver::Notify(const std::vector<Notice>& notices) {
    for (const Notice& notice : notices) {
        if (notice.callback) {
            notice.callback(notice.handle, notice.message, notice.instance, notice.param1, 0);
        }
        if (notice.message == kMimLongData) {
            std::lock_guard lock(m_Mutex);
            m_InCallback.erase(reinterpret_cast<MidiHeader*>(notice.param1));
        }
    }
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

void FakeMidiDriver::RunOnDriverThread(Task task) {
    const uint64_t ticket = Post(std::move(task));
    std::unique_lock lock(m_TaskMutex);
    m_TaskDone.wait(lock, [this, ticket] { return m_Finished >= ticket; });
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
