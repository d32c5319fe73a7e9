#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The instrument as the program meets it over MIDI: it answers the Identity Request, takes voice
// bulk dumps and notes. Shared by the in-process driver and the standalone JACK client. Every
// member is safe to call from any thread.
class VirtualInstrument {
public:
    // How it answers an Identity Request.
    enum class Reply {
        kEX5,
        kEX7,
        kEX5R,
        kUnknownMember,  // the maker's, but no model the program knows
        kOtherMaker,
        kShort14,  // the 14-byte layout without a maker code
        kLong17,   // the 17-byte layout with a three-byte maker code
        kGarbage,  // a reply of a length no layout has
        kSilent,
    };

    struct Voice {
        std::string name;
        int elements = 0;
        std::vector<uint8_t> dump;
        bool checksumOk = false;
    };

    // What one received message was, and the reply it calls for (empty for none).
    struct Outcome {
        std::string what;
        std::vector<uint8_t> reply;
    };

    static constexpr uint8_t kAllCall = 0x7F;
    static constexpr uint8_t kDefaultDeviceNo = 1;

    // EX5, EX7, EX5R, other (an unknown member), maker, 14, 17, garbage, silent.
    static std::optional<Reply> ReplyByName(const std::string& name);

    Outcome Receive(const uint8_t* data, std::size_t length);

    void SetReply(Reply reply);
    void SetDeviceNo(uint8_t deviceNo);
    void SetLatency(std::chrono::milliseconds latency);
    std::chrono::milliseconds Latency() const;
    // Back to an EX5 on device 1 answering at once, with nothing received.
    void Reset();

    std::optional<Voice> LastVoice() const;
    // (channel 0-15, note) pairs, in order.
    std::vector<std::pair<uint8_t, uint8_t>> SoundingNotes() const;
    std::vector<std::vector<uint8_t>> ReceivedMessages() const;

private:
    Outcome Identify(uint8_t deviceNo) const;
    std::vector<uint8_t> IdentityReply() const;
    Outcome TakeVoice(const uint8_t* data, std::size_t length);
    Outcome TakeChannelMessage(const uint8_t* data, std::size_t length);

    mutable std::mutex m_Mutex;
    Reply m_Reply = Reply::kEX5;
    uint8_t m_DeviceNo = kDefaultDeviceNo;
    std::chrono::milliseconds m_Latency{0};
    std::optional<Voice> m_LastVoice;
    std::set<std::pair<uint8_t, uint8_t>> m_Notes;
    std::vector<std::vector<uint8_t>> m_Received;
};
