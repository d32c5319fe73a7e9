#include "library/VoiceFingerprint.h"

#include <cstring>
#include <span>

#include "voice/EX5Patch.h"
#include "voice/VoiceBank.h"

namespace {

constexpr size_t kParametersStart = VoiceBank::kNameLength;
constexpr size_t kMaxData =
    EX5Patch::kCommonSize - kParametersStart + EX5Patch::kElementCount * EX5Patch::kElementSize;

}  // namespace

uint64_t VoiceFingerprint::Of(const VoiceBank& bank, int voice,
                              const std::array<int, 4>& elements) {
    std::array<uint8_t, kMaxData> data;
    const std::span<const uint8_t> common = bank.CommonBlock(voice).subspan(kParametersStart);
    std::memcpy(data.data(), common.data(), common.size());
    size_t length = common.size();
    for (const int block : elements) {
        if (block < 0) {
            continue;
        }
        const std::span<const uint8_t> element = bank.ElementBlock(block);
        // The dump leaves such a block out.
        if (element[0] == EX5Patch::kUnusedElement) {
            continue;
        }
        std::memcpy(data.data() + length, element.data(), element.size());
        length += element.size();
    }
    return Hash(data.data(), length);
}

uint64_t VoiceFingerprint::Hash(const uint8_t* data, size_t length) {
    constexpr uint64_t m = 0xc6a4a7935bd1e995ULL;
    constexpr int r = 47;
    uint64_t h = 0x5A5A5A5A5A5A5A5AULL ^ (length * m);
    const size_t words = length / 8;
    for (size_t i = 0; i < words; ++i) {
        uint64_t k = 0;
        for (int b = 7; b >= 0; --b) {
            k = (k << 8) | data[8 * i + static_cast<size_t>(b)];
        }
        k *= m;
        k ^= k >> r;
        k *= m;
        h ^= k;
        h *= m;
    }
    const size_t tail = length & 7;
    if (tail) {
        for (size_t b = 0; b < tail; ++b) {
            h ^= uint64_t{data[8 * words + b]} << (8 * b);
        }
        h *= m;
    }
    h ^= h >> r;
    h *= m;
    h ^= h >> r;
    return h;
}
