#include "library/BankColumns.h"

#include <cstring>

#include "library/NameMatcher.h"
#include "voice/VoiceBank.h"

namespace {

constexpr size_t kVoices = VoiceBank::kVoiceCount;

size_t Slot(int slot) {
    return static_cast<size_t>(slot);
}

}  // namespace

std::array<std::string, 4> BankColumns::Pack(const std::vector<IndexedVoice>& voices) {
    std::string codes(kVoices * kCodeWidth, ' ');
    std::string names(kVoices * kNameWidth, '\0');
    std::string fingerprints(kVoices * kFingerprintWidth, '\0');
    for (const IndexedVoice& voice : voices) {
        const size_t slot = Slot(voice.slot);
        if (slot >= kVoices) {
            continue;
        }
        std::memcpy(&codes[slot * kCodeWidth], voice.code.data(),
                    std::min(voice.code.size(), kCodeWidth));
        std::memcpy(&names[slot * kNameWidth], voice.name.data(),
                    std::min(voice.name.size(), VoiceBank::kNameLength));
        for (size_t byte = 0; byte < kFingerprintWidth; ++byte) {
            fingerprints[slot * kFingerprintWidth + byte] =
                static_cast<char>(voice.fingerprint >> (8 * byte));
        }
    }
    std::string folded = NameMatcher::Fold(names);
    return {std::move(folded), std::move(codes), std::move(names), std::move(fingerprints)};
}

bool BankColumns::IsWhole() const {
    return codes.size() == kVoices * kCodeWidth && names.size() == kVoices * kNameWidth &&
           folded.size() == names.size() && fingerprints.size() == kVoices * kFingerprintWidth;
}

std::string BankColumns::Code(int slot) const {
    return std::string(codes.substr(Slot(slot) * kCodeWidth, kCodeWidth));
}

std::string BankColumns::Name(int slot) const {
    const std::string_view name = names.substr(Slot(slot) * kNameWidth, VoiceBank::kNameLength);
    return std::string(name.substr(0, name.find('\0')));
}

uint64_t BankColumns::Fingerprint(int slot) const {
    uint64_t value = 0;
    for (size_t byte = kFingerprintWidth; byte-- > 0;) {
        value = (value << 8) |
                static_cast<uint8_t>(fingerprints[Slot(slot) * kFingerprintWidth + byte]);
    }
    return value;
}
