#include "library/NameMatcher.h"

#include <cstring>

#include "voice/VoiceBank.h"

NameMatcher::NameMatcher(std::string_view text)
    : m_Text(Fold(text)), m_Impossible(text.find('\0') != std::string_view::npos) {}

std::string NameMatcher::Fold(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

bool NameMatcher::Matches(std::string_view name) const {
    return !m_Impossible && Fold(name).find(m_Text) != std::string::npos;
}

std::vector<int> NameMatcher::MatchingSlots(std::string_view foldedNames) const {
    std::vector<int> slots;
    if (m_Impossible) {
        return slots;
    }
    const size_t count = foldedNames.size() / kStride;
    if (m_Text.empty()) {
        for (size_t slot = 0; slot < count; ++slot) {
            slots.push_back(static_cast<int>(slot));
        }
        return slots;
    }
    const char* begin = foldedNames.data();
    const char* end = begin + count * kStride;
    const char* from = begin;
    // The zero after each name keeps a match from running into the next one.
    while (const void* hit = memmem(from, static_cast<size_t>(end - from), m_Text.data(),
                                    m_Text.size())) {
        const size_t slot = static_cast<size_t>(static_cast<const char*>(hit) - begin) / kStride;
        slots.push_back(static_cast<int>(slot));
        from = begin + (slot + 1) * kStride;
        if (from >= end) {
            break;
        }
    }
    return slots;
}

std::string NameMatcher::FoldNames(const std::vector<IndexedVoice>& voices) {
    std::string folded(VoiceBank::kVoiceCount * kStride, '\0');
    for (const IndexedVoice& voice : voices) {
        const std::string name = Fold(voice.name);
        std::memcpy(&folded[static_cast<size_t>(voice.slot) * kStride], name.data(),
                    std::min(name.size(), VoiceBank::kNameLength));
    }
    return folded;
}
