#include "midi/virtual/VirtualInstrument.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr uint8_t kSysex = 0xF0;
constexpr uint8_t kEndOfSysex = 0xF7;
constexpr uint8_t kMaker = 0x43;
constexpr uint8_t kOtherMaker = 0x41;
constexpr uint8_t kModel = 0x5B;
constexpr std::size_t kDumpHeader = 9;               // F0 43 0n 5B, byte count, address
constexpr std::size_t kDumpFrame = kDumpHeader + 2;  // and the checksum and F7
constexpr std::size_t kCommonBytes = 236;
constexpr std::size_t kElementBytes = 132;
constexpr std::size_t kNameBytes = 12;
constexpr std::array<std::size_t, 4> kByteCounts = {424, 576, 728, 880};

// Family, member and revision bytes as the instrument sends them.
constexpr std::array<uint8_t, 2> kFamily = {0x00, 0x00};
constexpr std::array<uint8_t, 4> kRevision = {0x01, 0x00, 0x00, 0x00};

std::array<uint8_t, 2> MemberBytes(VirtualInstrument::Reply reply) {
    switch (reply) {
        case VirtualInstrument::Reply::kEX7:
            return {0x02, 0x34};
        case VirtualInstrument::Reply::kEX5R:
            return {0x02, 0x40};
        case VirtualInstrument::Reply::kUnknownMember:
            return {0x03, 0x33};
        default:
            return {0x02, 0x33};
    }
}

std::string Hex(const uint8_t* data, std::size_t length) {
    std::string text;
    char byte[4];
    for (std::size_t i = 0; i < length; ++i) {
        std::snprintf(byte, sizeof byte, i == 0 ? "%02X" : " %02X", data[i]);
        text += byte;
    }
    return text;
}

// Seven data bytes, then a byte holding their top bits (bit k for the k-th byte).
std::vector<uint8_t> Unpack(const uint8_t* packed, std::size_t length) {
    std::vector<uint8_t> bytes;
    for (std::size_t group = 0; group + 8 <= length; group += 8) {
        const uint8_t high = packed[group + 7];
        for (int k = 0; k < 7; ++k) {
            bytes.push_back(static_cast<uint8_t>(packed[group + k] | ((high >> k) & 1) << 7));
        }
    }
    return bytes;
}

bool IsIdentityRequest(const uint8_t* data, std::size_t length) {
    return length == 6 && data[0] == kSysex && data[1] == 0x7E && data[3] == 0x06 &&
           data[4] == 0x01 && data[5] == kEndOfSysex;
}

bool IsVoiceDump(const uint8_t* data, std::size_t length) {
    return length >= 4 && data[0] == kSysex && data[1] == kMaker && data[3] == kModel;
}

}  // namespace

std::optional<VirtualInstrument::Reply> VirtualInstrument::ReplyByName(const std::string& name) {
    static const std::array<std::pair<const char*, Reply>, 9> kNames = {{
        {"EX5", Reply::kEX5},
        {"EX7", Reply::kEX7},
        {"EX5R", Reply::kEX5R},
        {"other", Reply::kUnknownMember},
        {"maker", Reply::kOtherMaker},
        {"14", Reply::kShort14},
        {"17", Reply::kLong17},
        {"garbage", Reply::kGarbage},
        {"silent", Reply::kSilent},
    }};
    for (const auto& [text, reply] : kNames) {
        if (name == text) {
            return reply;
        }
    }
    return std::nullopt;
}

VirtualInstrument::Outcome VirtualInstrument::Receive(const uint8_t* data, std::size_t length) {
    std::lock_guard lock(m_Mutex);
    m_Received.emplace_back(data, data + length);
    if (length == 0) {
        return {"empty message", {}};
    }
    if (IsIdentityRequest(data, length)) {
        return Identify(data[2]);
    }
    if (IsVoiceDump(data, length)) {
        return TakeVoice(data, length);
    }
    if (data[0] == kSysex) {
        return {"SysEx of " + std::to_string(length) +
                    " bytes: " + Hex(data, std::min<std::size_t>(length, 8)),
                {}};
    }
    return TakeChannelMessage(data, length);
}

VirtualInstrument::Outcome VirtualInstrument::Identify(uint8_t deviceNo) const {
    std::string what = "identity request for device " + std::to_string(deviceNo);
    if (deviceNo != m_DeviceNo && deviceNo != kAllCall) {
        return {what + ": not this device", {}};
    }
    if (m_Reply == Reply::kSilent) {
        return {what + ": silent", {}};
    }
    auto reply = IdentityReply();
    return {what + ": answered " + Hex(reply.data(), reply.size()), reply};
}

std::vector<uint8_t> VirtualInstrument::IdentityReply() const {
    std::vector<uint8_t> reply = {kSysex, 0x7E, m_DeviceNo, 0x06, 0x02};
    switch (m_Reply) {
        case Reply::kShort14:
            break;
        case Reply::kLong17:
            reply.insert(reply.end(), {0x00, kMaker, 0x00});
            break;
        case Reply::kOtherMaker:
            reply.push_back(kOtherMaker);
            break;
        default:
            reply.push_back(kMaker);
    }
    const auto member = MemberBytes(m_Reply);
    reply.insert(reply.end(), kFamily.begin(), kFamily.end());
    reply.insert(reply.end(), member.begin(), member.end());
    reply.insert(reply.end(), kRevision.begin(), kRevision.end());
    if (m_Reply == Reply::kGarbage) {
        reply.push_back(0x00);  // 16 bytes: no layout has that length
    }
    reply.push_back(kEndOfSysex);
    return reply;
}

VirtualInstrument::Outcome VirtualInstrument::TakeVoice(const uint8_t* data, std::size_t length) {
    const std::string rejected = "voice dump of " + std::to_string(length) + " bytes rejected: ";
    const bool headerOk = length >= kDumpFrame && (data[2] & 0xF0) == 0 && data[6] == 0x40 &&
                          data[7] == 0x00 && data[8] == 0x00 && data[length - 1] == kEndOfSysex;
    if (!headerOk) {
        return {rejected + "bad header or end", {}};
    }
    const std::size_t count = static_cast<std::size_t>(data[4]) << 7 | data[5];
    if (count + kDumpFrame != length) {
        return {rejected + "byte count " + std::to_string(count) + " does not match", {}};
    }
    if (std::find(kByteCounts.begin(), kByteCounts.end(), count) == kByteCounts.end()) {
        return {rejected + "byte count " + std::to_string(count) + " is no voice", {}};
    }
    unsigned sum = 0;
    for (std::size_t i = 4; i <= kDumpHeader + count; ++i) {
        sum += data[i];
    }
    const auto unpacked = Unpack(data + kDumpHeader, count);
    Voice voice;
    for (std::size_t i = 0; i < kNameBytes && unpacked[i] != 0; ++i) {
        voice.name += static_cast<char>(unpacked[i]);
    }
    voice.elements = static_cast<int>((unpacked.size() - kCommonBytes) / kElementBytes);
    voice.dump.assign(data, data + length);
    voice.checksumOk = (sum & 0x7F) == 0;
    m_LastVoice = voice;
    return {"voice \"" + voice.name + "\", " + std::to_string(voice.elements) +
                " elements, checksum " + (voice.checksumOk ? "ok" : "bad"),
            {}};
}

VirtualInstrument::Outcome VirtualInstrument::TakeChannelMessage(const uint8_t* data,
                                                                 std::size_t length) {
    const uint8_t kind = data[0] & 0xF0;
    const uint8_t channel = data[0] & 0x0F;
    if ((kind == 0x90 || kind == 0x80) && length >= 3) {
        const bool on = kind == 0x90 && data[2] != 0;
        const std::pair<uint8_t, uint8_t> note{channel, data[1]};
        if (on) {
            m_Notes.insert(note);
        } else {
            m_Notes.erase(note);
        }
        return {std::string(on ? "note on " : "note off ") + std::to_string(data[1]) +
                    " velocity " + std::to_string(data[2]) + " channel " +
                    std::to_string(channel + 1),
                {}};
    }
    return {"message " + Hex(data, length), {}};
}

void VirtualInstrument::SetReply(Reply reply) {
    std::lock_guard lock(m_Mutex);
    m_Reply = reply;
}

void VirtualInstrument::SetDeviceNo(uint8_t deviceNo) {
    std::lock_guard lock(m_Mutex);
    m_DeviceNo = deviceNo & 0x7F;
}

void VirtualInstrument::SetLatency(std::chrono::milliseconds latency) {
    std::lock_guard lock(m_Mutex);
    m_Latency = latency;
}

std::chrono::milliseconds VirtualInstrument::Latency() const {
    std::lock_guard lock(m_Mutex);
    return m_Latency;
}

void VirtualInstrument::Reset() {
    std::lock_guard lock(m_Mutex);
    m_Reply = Reply::kEX5;
    m_DeviceNo = kDefaultDeviceNo;
    m_Latency = std::chrono::milliseconds(0);
    m_LastVoice.reset();
    m_Notes.clear();
    m_Received.clear();
}

std::optional<VirtualInstrument::Voice> VirtualInstrument::LastVoice() const {
    std::lock_guard lock(m_Mutex);
    return m_LastVoice;
}

std::vector<std::pair<uint8_t, uint8_t>> VirtualInstrument::SoundingNotes() const {
    std::lock_guard lock(m_Mutex);
    return {m_Notes.begin(), m_Notes.end()};
}

std::vector<std::vector<uint8_t>> VirtualInstrument::ReceivedMessages() const {
    std::lock_guard lock(m_Mutex);
    return m_Received;
}
