#include "midi/MidiInWin.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "midi/MidiSystem.h"
#include "midi/PortParams.h"
#include "midi/PortSteps.h"
#include "voice/EXException.h"

namespace {

constexpr const char* kModule = "MidiInWin.cpp";
constexpr uint8_t kEndOfExclusive = 0xF7;
const DeviceList kInputs{&MidiDriver::InCount, &MidiDriver::InName, kModule,
                         "Invalid MIDI device number"};

uint32_t StatusBit(uint32_t message) {
    switch (message) {
        case kMimOpen:
            return MidiInWin::kStatusOpen;
        case kMimClose:
            return MidiInWin::kStatusClose;
        case kMimData:
            return MidiInWin::kStatusData;
        case kMimLongData:
            return MidiInWin::kStatusLongData;
        case kMimError:
            return MidiInWin::kStatusError;
        case kMimLongError:
            return MidiInWin::kStatusLongError;
        case kMimMoreData:
            return MidiInWin::kStatusMoreData;
        default:
            return 0;
    }
}

// A returned buffer ends a message when the message ended inside it (or input was stopped or
// reset), or when it is full and its last byte ends the message.
bool EndsMessage(const MidiHeader& header) {
    const uint32_t length = header.bufferLength;
    const uint32_t recorded = std::min(header.bytesRecorded.load(), length);
    if (recorded < length) {
        return true;
    }
    return recorded > 0 && header.data && header.data[recorded - 1] == kEndOfExclusive;
}

}  // namespace

MidiInWin::MidiInWin() {
    AllocateBuffers(4096);
}

MidiInWin::~MidiInWin() {
    if (!m_IsOpen || CloseWithoutJob([this](PortParams& job) { Close(job); })) {
        return;
    }
    if (MidiSystem::Driver().InClose(m_Handle) != kMidiOk) {
        // The driver may still hold buffers: leave it the memory rather than free it under it.
        static_cast<void>(m_Buffers.release());
    }
}

int MidiInWin::GetDeviceName(int32_t deviceIndex, char* lpszDeviceName, uint32_t length) {
    return ::GetDeviceName(kInputs, deviceIndex, lpszDeviceName, length);
}

int MidiInWin::Open(int32_t deviceIndex) {
    if (m_IsOpen) {
        return 0;
    }
    const MidiResult result =
        MidiSystem::Driver().InOpen(static_cast<uint32_t>(deviceIndex), m_Handle, &MidiInCallback,
                                    reinterpret_cast<std::uintptr_t>(this));
    if (result != kMidiOk) {
        EXException::Raise("Cannot open MIDI device for input", kModule, __LINE__);
    }
    m_IsOpen = true;
    return 0;
}

Event& MidiInWin::Start(PortParams& job, int32_t capacity, int32_t expected) {
    // Cleared first, so the bits of the stop and reset below stay visible.
    m_Status = 0;
    if (m_IsStarted) {
        Stop(job);
    }
    Reset(job);
    AllocateBuffers(capacity);
    m_Expected = expected;
    m_Received = 0;
    ResetEvent();
    MidiDriver& driver = MidiSystem::Driver();
    for (int32_t i = 0; i < m_BufferCount; ++i) {
        MidiHeader* header = m_Buffers[i].GetHeader();
        MidiResult result = driver.InPrepare(m_Handle, header);
        if (result != kMidiOk) {
            EXException::RaiseCode("Error 0x%X preparing MIDI input buffer", result, kModule,
                                   __LINE__);
        }
        result = driver.InAddBuffer(m_Handle, header);
        if (result != kMidiOk) {
            EXException::RaiseCode("Error 0x%X adding MIDI input buffer", result, kModule,
                                   __LINE__);
        }
    }
    const MidiResult result = driver.InStart(m_Handle);
    if (result != kMidiOk) {
        EXException::RaiseCode("Error 0x%X starting MIDI input device", result, kModule, __LINE__);
    }
    m_IsStarted = true;
    return m_Event;
}

int MidiInWin::Stop(PortParams&) {
    if (!m_IsStarted) {
        return 0;
    }
    ResetEvent();
    const MidiResult result = MidiSystem::Driver().InStop(m_Handle);
    if (result != kMidiOk) {
        EXException::RaiseCode("Error 0x%X stopping MIDI input device", result, kModule, __LINE__);
    }
    m_IsStarted = false;
    return 0;
}

int MidiInWin::Close(PortParams& job) {
    Stop(job);
    Reset(job);
    if (m_IsOpen) {
        const MidiResult result = MidiSystem::Driver().InClose(m_Handle);
        if (result != kMidiOk) {
            EXException::RaiseCode("Error 0x%X closing MIDI input device", result, kModule,
                                   __LINE__);
        }
        m_IsOpen = false;
        m_Handle = 0;
    }
    return 0;
}

int32_t MidiInWin::ReadMessage(uint8_t* dest, int32_t capacity, int32_t index) {
    if (!dest || capacity <= 0) {
        return 0;
    }
    std::memset(dest, 0, static_cast<size_t>(capacity));
    uint8_t scratch[SysexMessage::kDefaultCapacity];
    int32_t next = 0;
    for (int32_t skipped = 0; skipped < index && next < m_BufferCount; ++next) {
        const int32_t count = m_Buffers[next].CopyReceived(scratch, sizeof scratch);
        if (count > 0 && scratch[count - 1] == kEndOfExclusive) {
            ++skipped;
        }
    }
    int32_t copied = 0;
    for (; next < m_BufferCount; ++next) {
        copied += m_Buffers[next].CopyReceived(dest + copied, capacity - copied);
        if (copied > 0 && dest[copied - 1] == kEndOfExclusive) {
            break;
        }
    }
    return copied;
}

void MidiInWin::MidiInCallback(MidiHandle, uint32_t message, std::uintptr_t instance,
                               std::uintptr_t param1, std::uintptr_t) {
    if (instance) {
        reinterpret_cast<MidiInWin*>(instance)->OnMessage(message, param1);
    }
}

void MidiInWin::OnMessage(uint32_t message, std::uintptr_t param1) {
    m_Status.fetch_or(StatusBit(message));
    if (message != kMimLongData || !param1) {
        return;
    }
    if (EndsMessage(*reinterpret_cast<const MidiHeader*>(param1)) &&
        m_Received.fetch_add(1) + 1 >= m_Expected.load()) {
        m_Event.Set();
    }
}

void MidiInWin::AllocateBuffers(int32_t capacity) {
    m_Buffers.reset();
    m_BufferCount = 0;
    const int32_t count = std::max(capacity, 0) / SysexMessage::kDefaultCapacity + 1;
    m_Buffers.reset(new (std::nothrow) SysexMessage[static_cast<size_t>(count)]);
    const auto shortOfMemory = [](const SysexMessage& buffer) {
        return buffer.GetCapacity() < SysexMessage::kDefaultCapacity;
    };
    if (!m_Buffers || std::any_of(m_Buffers.get(), m_Buffers.get() + count, shortOfMemory)) {
        m_Buffers.reset();
        EXException::Raise("Out of memory", kModule, __LINE__);
    }
    m_BufferCount = count;
}

void MidiInWin::ResetEvent() {
    if (!m_Event.Reset()) {
        // The event reports no code of its own, so the text reads 0x0.
        EXException::RaiseCode("Error 0x%X resetting synchronization event", 0, kModule, __LINE__);
    }
}

void MidiInWin::Reset(PortParams& job) {
    if (!m_IsOpen) {
        return;
    }
    // A failed reset leaves buffers with the driver; releasing them below reports that.
    static_cast<void>(MidiSystem::Driver().InReset(m_Handle));
    ReleaseBuffers(job);
}

void MidiInWin::ReleaseBuffers(PortParams& job) {
    for (int32_t i = 0; i < m_BufferCount; ++i) {
        const MidiResult result =
            WaitForUnprepare(job, "Waiting for MIDI in.", &MidiDriver::InUnprepare, m_Handle,
                             m_Buffers[i].GetHeader());
        if (result != kMidiOk) {
            EXException::RaiseCode("Error 0x%X unpreparing MIDI input buffer", result, kModule,
                                   __LINE__);
        }
        m_Buffers[i].Clear();
    }
}
