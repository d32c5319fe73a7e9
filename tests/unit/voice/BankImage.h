#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "voice/EX5Patch.h"
#include "voice/VoiceBank.h"

// A bank file built byte by byte for the tests: every directory entry free, every voice a
// nameless "--" voice, every element block zero.
struct BankImage {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(VoiceBank::kBankSize, 0);

    BankImage() {
        for (int block = 0; block < VoiceBank::kElementBlockCount; ++block) {
            SetEntry(block, 0, 0x80);
        }
    }

    uint8_t* Common(int voice) {
        return &bytes[VoiceBank::kCommonOffset + EX5Patch::kCommonSize * voice];
    }
    uint8_t* Element(int block) {
        return &bytes[VoiceBank::kElementOffset + EX5Patch::kElementSize * block];
    }

    void SetVoice(int voice, const std::string& name, uint8_t category) {
        std::memset(Common(voice), 0, VoiceBank::kNameLength);
        std::memcpy(Common(voice), name.data(), std::min(name.size(), VoiceBank::kNameLength));
        Common(voice)[VoiceBank::kCategoryByte] = category;
    }
    void SetEntry(int block, uint8_t voice, uint8_t element) {
        bytes[VoiceBank::kDirectoryOffset + 2 * block] = voice;
        bytes[VoiceBank::kDirectoryOffset + 2 * block + 1] = element;
    }

    // Writes the first `size` bytes, zero-padded beyond the image.
    void Write(const std::string& path, size_t size = VoiceBank::kBankSize) const {
        std::vector<uint8_t> out(bytes);
        out.resize(size, 0);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(size));
    }

    // A bank holding this image, loaded through a file.
    VoiceBank Load(const std::string& path) const {
        Write(path);
        VoiceBank bank;
        bank.LoadBank(path);
        return bank;
    }
};
