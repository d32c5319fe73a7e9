#include "voice/StandardMidiFile.h"

#include <string_view>

namespace {

constexpr uint64_t kBitsPerByte = 10;
constexpr uint64_t kBaud = 31250;
constexpr uint64_t kPauseMs = 500;
// 120 quarter notes a minute.
constexpr uint64_t kTicksPerSecond = StandardMidiFile::kTicksPerQuarter * 2;
constexpr uint8_t kSysexStatus = 0xF0;
constexpr uint8_t kEndOfTrack[] = {0xFF, 0x2F, 0x00};

void Append(std::vector<uint8_t>& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

void AppendBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

// Seven bits a byte, most significant first, bit 7 set on all but the last.
void AppendVariableLength(std::vector<uint8_t>& out, uint32_t value) {
    int shift = 28;
    while (shift > 0 && (value >> shift) == 0) {
        shift -= 7;
    }
    for (; shift > 0; shift -= 7) {
        out.push_back(static_cast<uint8_t>(0x80 | ((value >> shift) & 0x7F)));
    }
    out.push_back(static_cast<uint8_t>(value & 0x7F));
}

std::vector<uint8_t> Track(const std::vector<std::vector<uint8_t>>& messages) {
    std::vector<uint8_t> track;
    uint32_t delta = 0;
    for (const std::vector<uint8_t>& message : messages) {
        if (message.empty()) {
            continue;
        }
        AppendVariableLength(track, delta);
        track.push_back(kSysexStatus);
        AppendVariableLength(track, static_cast<uint32_t>(message.size() - 1));
        track.insert(track.end(), message.begin() + 1, message.end());
        delta = StandardMidiFile::TicksAfter(message.size());
    }
    // The track lasts until the last message has been taken, so a player does not cut it short.
    AppendVariableLength(track, delta);
    track.insert(track.end(), std::begin(kEndOfTrack), std::end(kEndOfTrack));
    return track;
}

}  // namespace

uint32_t StandardMidiFile::TicksAfter(size_t messageLength) {
    const uint64_t numerator =
        kTicksPerSecond * (messageLength * kBitsPerByte * 1000 + kPauseMs * kBaud);
    const uint64_t denominator = kBaud * 1000;
    return static_cast<uint32_t>((numerator + denominator - 1) / denominator);
}

std::vector<uint8_t> StandardMidiFile::OfSysex(const std::vector<std::vector<uint8_t>>& messages) {
    const std::vector<uint8_t> track = Track(messages);
    std::vector<uint8_t> file;
    Append(file, "MThd");
    AppendBigEndian(file, 6, 4);
    AppendBigEndian(file, 0, 2);  // format 0
    AppendBigEndian(file, 1, 2);  // one track
    AppendBigEndian(file, kTicksPerQuarter, 2);
    Append(file, "MTrk");
    AppendBigEndian(file, static_cast<uint32_t>(track.size()), 4);
    file.insert(file.end(), track.begin(), track.end());
    return file;
}
