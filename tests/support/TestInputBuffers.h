#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

#include "midi/MidiDriver.h"

// Five 1024-byte input buffers, as the input port keeps them, and a driver callback that records
// what comes back (from any thread).
class TestInputBuffers {
public:
    static constexpr int kCount = 5;

    struct Returned {
        uint32_t message;
        std::vector<uint8_t> bytes;  // of a returned buffer
        uint32_t flags;
    };

    TestInputBuffers() {
        for (int i = 0; i < kCount; ++i) {
            m_Headers[i].data = m_Data[i].data();
            m_Headers[i].bufferLength = static_cast<uint32_t>(m_Data[i].size());
        }
    }
    TestInputBuffers(const TestInputBuffers&) = delete;
    TestInputBuffers& operator=(const TestInputBuffers&) = delete;

    static void Callback(MidiHandle, uint32_t message, std::uintptr_t instance,
                         std::uintptr_t param1, std::uintptr_t) {
        auto* self = reinterpret_cast<TestInputBuffers*>(instance);
        Returned returned{message, {}, 0};
        if (message == kMimLongData) {
            const auto* header = reinterpret_cast<const MidiHeader*>(param1);
            returned.bytes.assign(header->data, header->data + header->bytesRecorded);
            returned.flags = header->flags;
        }
        std::lock_guard lock(self->m_Mutex);
        self->m_Returned.push_back(std::move(returned));
    }

    std::uintptr_t Instance() { return reinterpret_cast<std::uintptr_t>(this); }
    MidiHeader* Header(int i) { return &m_Headers[i]; }

    std::vector<Returned> All() {
        std::lock_guard lock(m_Mutex);
        return m_Returned;
    }

    // The bytes of every returned buffer, in order.
    std::vector<std::vector<uint8_t>> Buffers() {
        std::vector<std::vector<uint8_t>> buffers;
        for (const Returned& r : All()) {
            if (r.message == kMimLongData) {
                buffers.push_back(r.bytes);
            }
        }
        return buffers;
    }

private:
    std::array<std::array<uint8_t, 1024>, kCount> m_Data{};
    std::array<MidiHeader, kCount> m_Headers;
    std::mutex m_Mutex;
    std::vector<Returned> m_Returned;
};
