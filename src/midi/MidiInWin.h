#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "midi/MidiDriver.h"
#include "midi/SysexMessage.h"
#include "platform/Event.h"

class PortParams;

// One MIDI input device that collects System Exclusive replies. Errors are raised as
// EXException pointers from module "MidiInWin.cpp".
class MidiInWin {
public:
    // Status bits, one per callback message.
    static constexpr uint32_t kStatusOpen = 0x01;
    static constexpr uint32_t kStatusClose = 0x02;
    static constexpr uint32_t kStatusData = 0x04;
    static constexpr uint32_t kStatusLongData = 0x08;
    static constexpr uint32_t kStatusError = 0x10;
    static constexpr uint32_t kStatusLongError = 0x20;
    static constexpr uint32_t kStatusMoreData = 0x40;

    MidiInWin();
    virtual ~MidiInWin();
    MidiInWin(const MidiInWin&) = delete;
    MidiInWin& operator=(const MidiInWin&) = delete;

    static int GetDeviceName(int32_t deviceIndex, char* lpszDeviceName, uint32_t length);

    int Open(int32_t deviceIndex);
    // Arms the port for `expected` whole messages; the event is set when they have arrived.
    Event& Start(PortParams& job, int32_t capacity, int32_t expected);
    int Stop(PortParams& job);
    int Close(PortParams& job);
    uint32_t GetCallbackStatus() const { return m_Status; }
    int32_t GetReceivedCount() const { return m_Received; }
    int32_t ReadMessage(uint8_t* dest, int32_t capacity, int32_t index);
    int32_t GetBufferCount() const { return m_BufferCount; }
    bool IsOpen() const { return m_IsOpen; }
    bool IsStarted() const { return m_IsStarted; }

private:
    static void MidiInCallback(MidiHandle handle, uint32_t message, std::uintptr_t instance,
                               std::uintptr_t param1, std::uintptr_t param2);
    void OnMessage(uint32_t message, std::uintptr_t param1);
    void AllocateBuffers(int32_t capacity);
    void ResetEvent();
    void Reset(PortParams& job);
    void ReleaseBuffers(PortParams& job);

    MidiHandle m_Handle = 0;
    std::unique_ptr<SysexMessage[]> m_Buffers;
    int32_t m_BufferCount = 0;
    Event m_Event;
    bool m_IsOpen = false;
    bool m_IsStarted = false;
    std::atomic<uint32_t> m_Status{0};
    std::atomic<int32_t> m_Expected{0};
    std::atomic<int32_t> m_Received{0};
};
