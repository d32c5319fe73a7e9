#pragma once

#include <string>
#include <string_view>
#include <vector>

// Finds a text in voice names, ASCII letters compared without regard to case. A bank's names
// are kept folded side by side (BankColumns), so one search covers its 256 voices.
class NameMatcher {
public:
    explicit NameMatcher(std::string_view text);

    bool Matches(std::string_view name) const;
    // The slots whose name, in a bank's folded names, holds the text; ascending.
    std::vector<int> MatchingSlots(std::string_view foldedNames) const;

    static std::string Fold(std::string_view text);

private:
    // The first occurrence of the text in [from, end), or end.
    const char* Search(const char* from, const char* end) const;

    std::string m_Text;
    bool m_Impossible;  // a zero byte never occurs inside a name
};
