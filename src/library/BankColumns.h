#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "library/BankReader.h"

// A bank's 256 voices as four columns of fixed-width fields in slot order, the way the index
// keeps them: one row a bank, so a scan writes 1,000 rows rather than 256,000 and a search reads
// a few megabytes in one pass. The views point into the row being read.
struct BankColumns {
    static constexpr size_t kCodeWidth = 2;
    static constexpr size_t kNameWidth = 13;        // 12 bytes, zero-padded, and a zero
    static constexpr size_t kFingerprintWidth = 8;  // least significant byte first

    std::string_view folded;  // the names with ASCII letters in lower case
    std::string_view codes;
    std::string_view names;
    std::string_view fingerprints;

    // The four columns' bytes, in the order above.
    static std::array<std::string, 4> Pack(const std::vector<IndexedVoice>& voices);
    // False when a column has not the size 256 voices give (a damaged index).
    bool IsWhole() const;

    std::string Code(int slot) const;
    std::string Name(int slot) const;
    uint64_t Fingerprint(int slot) const;
};
