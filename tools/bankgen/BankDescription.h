#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "voice/BankImage.h"

// A voice bank written as readable text (the format is in Help()), and the bank file it gives.
class BankDescription {
public:
    struct Voice {
        int slot = -1;
        uint8_t category = 0;
        std::string name;
        std::optional<uint32_t> commonSeed;
        std::vector<std::pair<int, uint32_t>> elements;  // element number, seed
    };

    // The description in the text, or none with "line N: problem" in error.
    static std::optional<BankDescription> Parse(std::istream& in, std::string& error);

    // The bank file, or none with the problem in error.
    std::optional<BankImage> BuildImage(std::string& error) const;

    static const char* Help();

private:
    std::vector<Voice> m_Voices;
};
