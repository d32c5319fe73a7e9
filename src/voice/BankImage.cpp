#include "voice/BankImage.h"

#include <algorithm>
#include <cstring>

#include "platform/AtomicFile.h"
#include "voice/EX5Patch.h"

namespace {

constexpr uint8_t kFreeEntry = 0x80;

}  // namespace

BankImage::BankImage() : m_Bytes(VoiceBank::kBankSize, 0) {
    for (int block = 0; block < VoiceBank::kElementBlockCount; ++block) {
        SetEntry(block, 0, kFreeEntry);
    }
}

uint8_t* BankImage::Common(int voice) {
    return &m_Bytes[VoiceBank::kCommonOffset + EX5Patch::kCommonSize * voice];
}

uint8_t* BankImage::Element(int block) {
    return &m_Bytes[VoiceBank::kElementOffset + EX5Patch::kElementSize * block];
}

void BankImage::SetVoice(int voice, const std::string& name, uint8_t category) {
    std::memset(Common(voice), 0, VoiceBank::kNameLength);
    std::memcpy(Common(voice), name.data(), std::min(name.size(), VoiceBank::kNameLength));
    Common(voice)[VoiceBank::kCategoryByte] = category;
}

void BankImage::SetEntry(int block, uint8_t voice, uint8_t element) {
    m_Bytes[VoiceBank::kDirectoryOffset + 2 * block] = voice;
    m_Bytes[VoiceBank::kDirectoryOffset + 2 * block + 1] = element;
}

void BankImage::MarkElementsUnused() {
    for (int block = 0; block < VoiceBank::kElementBlockCount; ++block) {
        Element(block)[0] = EX5Patch::kUnusedElement;
    }
}

bool BankImage::Write(const std::string& path, std::size_t size) const {
    std::vector<uint8_t> out(m_Bytes);
    out.resize(size, 0);
    return AtomicFile::Replace(path, out.data(), out.size());
}
