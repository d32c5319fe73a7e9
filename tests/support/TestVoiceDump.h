#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Voice bulk dumps as the instrument expects them, made from a name and an element count
// (common block 236 bytes, 132 per element; every other byte a pattern with high bits set so
// the packing is exercised).
inline std::vector<uint8_t> TestVoiceDump(const std::string& name, int elements) {
    std::vector<uint8_t> voice(236 + 132 * static_cast<std::size_t>(elements));
    for (std::size_t i = 0; i < voice.size(); ++i) {
        voice[i] = static_cast<uint8_t>(i * 37);
    }
    for (std::size_t i = 0; i < 12; ++i) {
        voice[i] = i < name.size() ? static_cast<uint8_t>(name[i]) : 0;
    }
    while (voice.size() % 7 != 0) {
        voice.push_back(0);
    }
    std::vector<uint8_t> dump = {0xF0, 0x43, 0x00, 0x5B, 0, 0, 0x40, 0x00, 0x00};
    for (std::size_t group = 0; group < voice.size(); group += 7) {
        uint8_t high = 0;
        for (std::size_t k = 0; k < 7; ++k) {
            dump.push_back(voice[group + k] & 0x7F);
            high |= static_cast<uint8_t>((voice[group + k] >> 7) << k);
        }
        dump.push_back(high);
    }
    const std::size_t count = dump.size() - 9;
    dump[4] = static_cast<uint8_t>(count >> 7);
    dump[5] = static_cast<uint8_t>(count & 0x7F);
    unsigned sum = 0;
    for (std::size_t i = 4; i < dump.size(); ++i) {
        sum += dump[i];
    }
    dump.push_back(static_cast<uint8_t>((128 - (sum & 0x7F)) & 0x7F));
    dump.push_back(0xF7);
    return dump;
}
