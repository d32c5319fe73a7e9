#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "library/BankReader.h"

// Finds a text in voice names, ASCII letters compared without regard to case. A bank's names
// are kept folded side by side (12 bytes and a zero each), so one search covers its 256 voices.
class NameMatcher {
public:
    static constexpr size_t kStride = 13;

    explicit NameMatcher(std::string_view text);

    bool Matches(std::string_view name) const;
    // The slots whose folded name holds the text, ascending.
    std::vector<int> MatchingSlots(std::string_view foldedNames) const;

    // The folded names of a bank's voices, slot by slot.
    static std::string FoldNames(const std::vector<IndexedVoice>& voices);
    static std::string Fold(std::string_view text);

private:
    std::string m_Text;
    bool m_Impossible;  // a zero byte never occurs inside a name
};
