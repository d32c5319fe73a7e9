#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One voice as the index keeps it.
struct IndexedVoice {
    int slot = 0;      // 0 to 255: I1-001 to I2-128
    std::string code;  // as the voice list shows it, "xx" for "--"
    std::string name;  // its bytes, up to 12
    uint64_t fingerprint = 0;
};

// What reading one bank file gave: its voices, or the error that stopped the loader.
struct BankRecord {
    std::string problem;
    std::vector<IndexedVoice> voices;
};

// Reads bank files through the voice list's own loader.
class BankReader {
public:
    static BankRecord Read(const std::string& path);
};
