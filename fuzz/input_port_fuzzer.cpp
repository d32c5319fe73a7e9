#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "FuzzCheck.h"
#include "conversation/EXParams.h"
#include "midi/MidiInWin.h"
#include "support/InlineMidiDriver.h"
#include "voice/EXException.h"

// Replies arrive in pieces of any size. Whatever the pieces, the input port must count and join
// exactly the messages that the bytes it had room for hold.
//
// Input: a byte choosing the messages expected and the port's capacity, a byte choosing the room
// given to ReadMessage, then pieces: a length byte and that many bytes. A length of 0 delivers a
// short message, 0xFF stops the port.

namespace {

constexpr uint8_t kEndOfExclusive = 0xF7;
constexpr size_t kBufferSize = 1024;
constexpr uint8_t kShortPiece = 0x00;
constexpr uint8_t kStopPiece = 0xFF;

// What the port can hold: buffers filled in order, each ending at F7 or when full; bytes finding
// no free buffer are lost.
class Room {
public:
    explicit Room(int32_t buffers) : m_BuffersLeft(buffers) {}

    void Take(const uint8_t* data, size_t length) {
        for (size_t i = 0; i < length && m_Running && m_BuffersLeft > 0; ++i) {
            m_Kept.push_back(data[i]);
            if (++m_Filling == kBufferSize || data[i] == kEndOfExclusive) {
                m_Filling = 0;
                --m_BuffersLeft;
            }
        }
    }
    void Stop() { m_Running = false; }

    // The messages the bytes kept hold: each ends after an F7, the last may be unfinished.
    std::vector<std::vector<uint8_t>> Messages() const {
        std::vector<std::vector<uint8_t>> messages(1);
        for (uint8_t byte : m_Kept) {
            messages.back().push_back(byte);
            if (byte == kEndOfExclusive) {
                messages.emplace_back();
            }
        }
        return messages;
    }

    // Every finished message counts once, and so does an unfinished tail that a stop returned
    // in a buffer not full.
    int32_t Counted() const {
        const auto messages = Messages();
        const size_t tail = messages.back().size();
        return static_cast<int32_t>(messages.size() - 1) + (tail % kBufferSize != 0 ? 1 : 0);
    }

private:
    int32_t m_BuffersLeft;
    size_t m_Filling = 0;
    bool m_Running = true;
    std::vector<uint8_t> m_Kept;
};

void CheckMessages(MidiInWin& port, const Room& room, int32_t readCapacity) {
    Check(port.GetReceivedCount() == room.Counted());
    const auto messages = room.Messages();
    std::vector<uint8_t> dest(8192);
    for (size_t index = 0; index <= messages.size(); ++index) {
        const std::vector<uint8_t> none;
        const auto& expected = index < messages.size() ? messages[index] : none;
        int32_t count = port.ReadMessage(dest.data(), static_cast<int32_t>(dest.size()),
                                         static_cast<int32_t>(index));
        Check(count == static_cast<int32_t>(expected.size()) &&
              std::equal(expected.begin(), expected.end(), dest.begin()));
        count = port.ReadMessage(dest.data(), readCapacity, static_cast<int32_t>(index));
        const size_t prefix = std::min(expected.size(), static_cast<size_t>(readCapacity));
        Check(count == static_cast<int32_t>(prefix) &&
              std::equal(expected.begin(), expected.begin() + prefix, dest.begin()));
    }
}

void Run(MidiInWin& port, EXParams& job, const uint8_t* data, size_t size) {
    const int32_t expected = (data[0] & 3) + 1;
    const int32_t capacity = (data[0] >> 2) * 80;
    const int32_t readCapacity = 1 + data[1] * 24;
    Event& arrived = port.Start(job, capacity, expected);
    Room room(port.GetBufferCount());
    InlineMidiDriver& driver = InlineMidiDriver::Installed();
    bool stopped = false;
    for (size_t at = 2; at < size;) {
        const uint8_t length = data[at++];
        if (length == kShortPiece) {
            driver.FeedShort(0xFE);
        } else if (length == kStopPiece) {
            port.Stop(job);
            room.Stop();
            stopped = true;
        } else {
            const size_t piece = std::min<size_t>(length, size - at);
            driver.Feed(data + at, piece);
            room.Take(data + at, piece);
            at += piece;
        }
    }
    if (!stopped) {
        const auto whole = room.Messages();
        const int32_t finished = static_cast<int32_t>(whole.size() - 1);
        Check(arrived.IsSet() == (finished >= expected));
    }
    port.Stop(job);
    CheckMessages(port, room, readCapacity);
    // Re-arming forgets everything received.
    port.Start(job, 4096, 1);
    uint8_t byte = 0;
    Check(port.ReadMessage(&byte, 1, 0) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    InlineMidiDriver::Installed();  // the port below opens on it
    EXParams job;
    job.m_Tries = 1;
    MidiInWin port;
    // Nothing here can fail: the driver takes every buffer.
    EXException::Catch(
        [&] {
            port.Open(0);
            Run(port, job, data, size);
            port.Close(job);
        },
        [](const EXException*) { __builtin_trap(); });
    return 0;
}
