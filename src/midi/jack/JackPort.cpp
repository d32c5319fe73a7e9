#include "midi/jack/JackPort.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <limits>

namespace {

using Length = uint32_t;

// Room for several of the longest dumps with their lengths.
constexpr std::size_t kRingSize = 16384;

}  // namespace

JackPort::JackPort(MidiInQueue* queue, std::size_t maxEvent)
    : m_Queue(queue),
      m_MaxEvent(maxEvent),
      m_Ring(queue == nullptr ? jack_ringbuffer_create(kRingSize) : nullptr) {}

JackPort::~JackPort() {
    if (m_Ring != nullptr) {
        jack_ringbuffer_free(m_Ring);
    }
}

bool JackPort::Fits(std::size_t length) const {
    return m_Ring != nullptr && length > 0 && length <= m_MaxEvent &&
           jack_ringbuffer_write_space(m_Ring) >= sizeof(Length) + length;
}

bool JackPort::Push(const uint8_t* data, std::size_t length) {
    if (!Fits(length)) {
        return false;
    }
    const auto size = static_cast<Length>(length);
    jack_ringbuffer_write(m_Ring, reinterpret_cast<const char*>(&size), sizeof size);
    jack_ringbuffer_write(m_Ring, reinterpret_cast<const char*>(data), length);
    ++m_Pushed;
    return true;
}

void JackPort::GiveUp() {
    m_Gone = std::numeric_limits<uint64_t>::max();
}

void JackPort::Process(uint32_t frames, uint64_t cycle) {
    void* buffer = jack_port_get_buffer(port, frames);
    if (IsInput()) {
        Deliver(buffer);
        return;
    }
    jack_midi_clear_buffer(buffer);
    if (cycle >= m_HeldUntil.load()) {
        Write(buffer);
    }
    // Never undoes a give-up made meanwhile.
    uint64_t gone = m_Gone.load();
    if (gone != std::numeric_limits<uint64_t>::max()) {
        m_Gone.compare_exchange_strong(gone, m_Written);
    }
}

// Whole messages only, in order; what finds no room waits for the next cycle.
void JackPort::Write(void* buffer) {
    Length size = 0;
    while (jack_ringbuffer_peek(m_Ring, reinterpret_cast<char*>(&size), sizeof size) ==
               sizeof size &&
           jack_ringbuffer_read_space(m_Ring) >= sizeof size + size) {
        jack_midi_data_t* event = jack_midi_event_reserve(buffer, 0, size);
        if (event == nullptr) {
            return;
        }
        jack_ringbuffer_read_advance(m_Ring, sizeof size);
        jack_ringbuffer_read(m_Ring, reinterpret_cast<char*>(event), size);
        ++m_Written;
    }
}

void JackPort::Deliver(void* buffer) {
    const uint32_t count = jack_midi_get_event_count(buffer);
    for (uint32_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, i) == 0 && event.size > 0) {
            m_Queue->Deliver(event.buffer, event.size);
        }
    }
}
