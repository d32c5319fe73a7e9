#include "voice/VoiceBank.h"

#include <cstdio>
#include <cstring>

#include "platform/FileKind.h"
#include "voice/EX5Info.h"
#include "voice/EX5Patch.h"
#include "voice/EXException.h"

namespace {

// The bank was first loaded by the dialog, and its error lines still name that module: logs and
// scripts read them byte for byte.
constexpr const char* kModule = "SonavistDlg.cpp";
constexpr int kVoicesPerBank = 128;
constexpr uint8_t kFreeEntry = 0x80;
constexpr size_t kInitNameLength = 10;
// Row positions: code, tab, bank "I1"/"I2", "-", three digits, tab, name.
constexpr size_t kBankDigitPos = 4;
constexpr size_t kNumberPos = 6;
constexpr size_t kDigits = 3;

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

// The number 1 to 128 written as three digits at text[pos], or -1.
int SlotNumber(const std::string& text, size_t pos) {
    if (text.size() < pos + kDigits) {
        return -1;
    }
    int number = 0;
    for (size_t i = pos; i < pos + kDigits; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return -1;
        }
        number = number * 10 + (text[i] - '0');
    }
    return number >= 1 && number <= kVoicesPerBank ? number : -1;
}

int VoiceIndex(bool secondBank, int number) {
    if (number < 0) {
        return -1;
    }
    return number - 1 + (secondBank ? kVoicesPerBank : 0);
}

}  // namespace

VoiceBank::VoiceBank() : m_Bank(kBankSize) {}

void VoiceBank::LoadBank(const std::string& path) {
    std::unique_ptr<FILE, FileCloser> file(
        FileKind::MayBlockOnOpen(path) ? nullptr : std::fopen(path.c_str(), "rb"));
    if (!file) {
        EXException::Raise("Cannot open input file #1", kModule, 1118);
    }
    // A short file would leave the previous bank's bytes in the image; a longer one (padded off a
    // disk image) keeps its first bank's worth.
    std::vector<uint8_t> scratch(kBankSize);
    if (std::fread(scratch.data(), 1, kBankSize, file.get()) != kBankSize) {
        EXException::Raise("Cannot read voice file #1", kModule, 1124);
    }
    m_Bank.swap(scratch);
}

const uint8_t* VoiceBank::Common(int voice) const {
    return &m_Bank[kCommonOffset + EX5Patch::kCommonSize * static_cast<size_t>(voice)];
}

std::span<const uint8_t> VoiceBank::CommonBlock(int voice) const {
    return {Common(voice), EX5Patch::kCommonSize};
}

std::span<const uint8_t> VoiceBank::ElementBlock(int block) const {
    return {&m_Bank[kElementOffset + EX5Patch::kElementSize * static_cast<size_t>(block)],
            EX5Patch::kElementSize};
}

std::string VoiceBank::ShownCode(int voice) const {
    const char* code = EX5Info().GetCategoryCode(Common(voice)[kCategoryByte]);
    return code[0] == '-' ? "xx" : code;
}

std::string VoiceBank::Name(int voice) const {
    const char* name = reinterpret_cast<const char*>(Common(voice));
    return std::string(name, strnlen(name, kNameLength));
}

bool VoiceBank::IsInitName(const std::string& name) {
    return name.compare(0, kInitNameLength, "Init Voice") == 0;
}

std::string VoiceBank::VoiceRow(int voice) const {
    if (voice < 0 || voice >= kVoiceCount) {
        return {};
    }
    return ShownCode(voice) + '\t' + SlotOfVoice(voice) + '\t' + Name(voice);
}

void VoiceBank::FillVoiceList(const std::function<void(const std::string&)>& addRow) const {
    for (int voice = 0; voice < kVoiceCount; ++voice) {
        if (m_ShowInits || !IsInitName(Name(voice))) {
            addRow(VoiceRow(voice));
        }
    }
}

int VoiceBank::VoiceIndexFromRow(const std::string& row) {
    if (row.size() <= kBankDigitPos) {
        return -1;
    }
    return VoiceIndex(row[kBankDigitPos] == '2', SlotNumber(row, kNumberPos));
}

int VoiceBank::VoiceIndexFromSlot(const std::string& slot) {
    if (slot.size() != 6 || slot.compare(0, 1, "I") != 0 || slot[2] != '-' ||
        (slot[1] != '1' && slot[1] != '2')) {
        return -1;
    }
    return VoiceIndex(slot[1] == '2', SlotNumber(slot, 3));
}

std::string VoiceBank::SlotOfVoice(int voice) {
    char slot[16];
    std::snprintf(slot, sizeof slot, "%s-%03d", voice >= kVoicesPerBank ? "I2" : "I1",
                  voice % kVoicesPerBank + 1);
    return slot;
}

bool VoiceBank::IsDrumRow(const std::string& row) {
    return row.compare(0, 2, "Dr") == 0;
}

std::array<int, 4> VoiceBank::FindElements(int voice) const {
    if (voice < 0 || voice >= kVoiceCount) {
        return {-1, -1, -1, -1};
    }
    return FindAllElements()[static_cast<size_t>(voice)];
}

std::array<std::array<int, 4>, VoiceBank::kVoiceCount> VoiceBank::FindAllElements() const {
    std::array<std::array<int, 4>, kVoiceCount> blocks;
    for (auto& voice : blocks) {
        voice.fill(-1);
    }
    for (int block = 0; block < kElementBlockCount; ++block) {
        const uint8_t* entry = &m_Bank[kDirectoryOffset + 2 * static_cast<size_t>(block)];
        // Free entries and element numbers beyond the four a voice can hold name nothing.
        if (!(entry[1] & kFreeEntry) && entry[1] < EX5Patch::kElementCount) {
            blocks[entry[0]][entry[1]] = block;
        }
    }
    return blocks;
}

bool VoiceBank::AssemblePatch(EX5Patch& patch, const std::string& row) const {
    const int voice = VoiceIndexFromRow(row);
    if (voice < 0) {
        return false;
    }
    std::memcpy(patch.m_Common.data(), Common(voice), EX5Patch::kCommonSize);
    const std::array<int, 4> blocks = FindElements(voice);
    int used = 0;
    for (size_t element = 0; element < blocks.size(); ++element) {
        uint8_t* target = patch.m_Elements[element].data();
        if (blocks[element] < 0) {
            std::memset(target, EX5Patch::kUnusedElement, 4);
            continue;
        }
        std::memcpy(
            target,
            &m_Bank[kElementOffset + EX5Patch::kElementSize * static_cast<size_t>(blocks[element])],
            EX5Patch::kElementSize);
        used += target[0] != EX5Patch::kUnusedElement;
    }
    // The dump has no byte count for a voice without elements, so such a voice is not sent.
    return used > 0;
}

std::unique_ptr<EX5Patch> VoiceBank::PatchForRow(const std::string& row) const {
    const char* refusal = nullptr;
    auto patch = TryPatchForRow(row, &refusal);
    if (refusal == kAssemblyProblemText) {
        EXException::Raise(kAssemblyProblemText, kModule, 1252);
    }
    return patch;
}

std::unique_ptr<EX5Patch> VoiceBank::TryPatchForRow(const std::string& row,
                                                    const char** refusal) const {
    if (IsDrumRow(row)) {
        *refusal = kNoDrumsText;
        return nullptr;
    }
    auto patch = std::make_unique<EX5Patch>("AssemblPatch", 0);
    if (!AssemblePatch(*patch, row)) {
        *refusal = kAssemblyProblemText;
        return nullptr;
    }
    return patch;
}
