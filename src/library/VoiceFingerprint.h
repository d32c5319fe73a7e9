#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class VoiceBank;

// A 64-bit hash of the bytes a voice's bulk dump carries, its name left out, so that the same
// voice saved under another name or in another bank is recognised.
class VoiceFingerprint {
public:
    static uint64_t Of(const VoiceBank& bank, int voice, const std::array<int, 4>& elements);
    // MurmurHash64A: fast on whole words, and the same on every machine and build.
    static uint64_t Hash(const uint8_t* data, size_t length);
};
