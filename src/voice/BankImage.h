#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "voice/VoiceBank.h"

// A voice-bank file built byte by byte: the bank generator writes the demo banks with it, the
// tests and the benchmarks their own banks. It starts with every directory entry free and every
// voice a nameless "--" voice, every other byte zero.
class BankImage {
public:
    BankImage();

    uint8_t* Common(int voice);
    uint8_t* Element(int block);
    // The name is cut at 12 bytes and padded with zeros.
    void SetVoice(int voice, const std::string& name, uint8_t category);
    void SetEntry(int block, uint8_t voice, uint8_t element);
    // Marks every element block as not in use.
    void MarkElementsUnused();

    const std::vector<uint8_t>& Bytes() const { return m_Bytes; }
    // Writes the first `size` bytes, zero-padded beyond the image, replacing the file in one
    // step; false when it cannot.
    bool Write(const std::string& path, std::size_t size = VoiceBank::kBankSize) const;

private:
    std::vector<uint8_t> m_Bytes;
};
