#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "voice/Patch.h"

// One EX5 voice: copies of its common block and element blocks, and the bulk dump built from them.
class EX5Patch : public Patch {
public:
    static constexpr size_t kCommonSize = 236;
    static constexpr size_t kElementSize = 132;
    static constexpr size_t kElementCount = 4;
    static constexpr size_t kMaxDumpSize = 891;
    // First byte of an element block that is not in use.
    static constexpr uint8_t kUnusedElement = 0xFF;

    // Only the low 8 bits of the category number are kept.
    EX5Patch(const std::string& name, uint32_t category);

    void WriteName(FILE* file) const override;

    const char* GetPatchName() const;
    const char* GetCategoryCode() const { return m_CategoryCode.c_str(); }
    const char* GetCategoryName() const { return m_CategoryName.c_str(); }

    // Builds the voice bulk dump into the patch and returns its first byte. Elements not in use
    // leave no gap; GetDumpLength() gives the number of bytes to send.
    const uint8_t* BuildDump();
    // Valid after BuildDump.
    int32_t GetUsedElementCount() const { return m_UsedElements; }
    size_t GetDumpLength() const { return m_DumpLength; }

    std::array<uint8_t, kCommonSize> m_Common{};
    std::array<std::array<uint8_t, kElementSize>, kElementCount> m_Elements{};

private:
    int32_t m_UsedElements = 0;
    std::string m_CategoryCode;
    uint8_t m_Category;
    std::string m_CategoryName;
    std::string m_PatchName;
    std::array<uint8_t, kMaxDumpSize> m_Dump{};
    size_t m_DumpLength = 0;
};
