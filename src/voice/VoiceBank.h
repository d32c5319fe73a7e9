#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class EX5Patch;

// The image of one voice-bank file (".s1v"): 256 voices in the banks I1 and I2, their rows for
// the voice list, and the patch of one voice.
class VoiceBank {
public:
    static constexpr size_t kBankSize = 197760;
    static constexpr int kVoiceCount = 256;
    static constexpr int kElementBlockCount = 1024;
    static constexpr size_t kDirectoryOffset = 128;
    static constexpr size_t kCommonOffset = 2176;
    static constexpr size_t kElementOffset = 62592;
    static constexpr size_t kNameLength = 12;
    static constexpr size_t kCategoryByte = 12;
    static constexpr const char* kNoDrumsText = "Sorry, no drums yet.";
    static constexpr const char* kAssemblyProblemText = "Problem assembling patch.";

    VoiceBank();

    // Reads the first kBankSize bytes of the file. All or nothing: on an error the image keeps
    // the previous bank. Raises "Cannot open input file #1" or "Cannot read voice file #1".
    void LoadBank(const std::string& path);

    // Hands the rows to addRow in bank order; "Init Voice" rows only when m_ShowInits is set.
    void FillVoiceList(const std::function<void(const std::string&)>& addRow) const;
    // The row of voice 0 to 255, whatever m_ShowInits says; empty for any other number.
    std::string VoiceRow(int voice) const;
    // A voice's category code as its row shows it ("xx" for "--"), and its name bytes.
    std::string ShownCode(int voice) const;
    std::string Name(int voice) const;
    // Names whose voices the list leaves out unless m_ShowInits is set.
    static bool IsInitName(const std::string& name);

    // The voice a row stands for, or -1 when the row names none.
    static int VoiceIndexFromRow(const std::string& row);
    // The voice of a slot text "I1-001" to "I2-128", or -1.
    static int VoiceIndexFromSlot(const std::string& slot);
    // The slot text "I1-001" to "I2-128" of voice 0 to 255.
    static std::string SlotOfVoice(int voice);
    static bool IsDrumRow(const std::string& row);

    // The element block of each of the voice's four elements, -1 where not in use.
    std::array<int, 4> FindElements(int voice) const;
    // The same for every voice at once, in one pass over the directory.
    std::array<std::array<int, 4>, kVoiceCount> FindAllElements() const;
    // The bytes of voice 0 to 255's common block and of element block 0 to 1023.
    std::span<const uint8_t> CommonBlock(int voice) const;
    std::span<const uint8_t> ElementBlock(int block) const;

    // Copies the row's voice into the patch; false when the row names no voice or the voice has
    // no element in use.
    bool AssemblePatch(EX5Patch& patch, const std::string& row) const;
    // The patch to send for a row: none for a drum row (show kNoDrumsText), else an assembled
    // patch. Raises "Problem assembling patch." when it cannot be assembled.
    std::unique_ptr<EX5Patch> PatchForRow(const std::string& row) const;
    // The same without raising: none with *refusal set to kNoDrumsText or kAssemblyProblemText.
    std::unique_ptr<EX5Patch> TryPatchForRow(const std::string& row, const char** refusal) const;

    bool m_ShowInits = false;

private:
    const uint8_t* Common(int voice) const;

    std::vector<uint8_t> m_Bank;
};
