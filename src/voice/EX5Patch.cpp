#include "voice/EX5Patch.h"

#include <algorithm>
#include <cctype>

#include "voice/EX5Info.h"
#include "voice/EX5Parser.h"

namespace {

constexpr uint8_t kHeader[] = {0xF0, 0x43, 0x00, 0x5B, 0x00, 0x00, 0x40, 0x00, 0x00};
constexpr size_t kCountPosition = 4;
constexpr uint8_t kEndOfExclusive = 0xF7;

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string TidyName(const std::string& name) {
    size_t first = 0;
    size_t last = name.size();
    while (first < last && IsBlank(name[first])) {
        ++first;
    }
    while (last > first && IsBlank(name[last - 1])) {
        --last;
    }
    std::string tidy = name.substr(first, last - first);
    for (char& c : tidy) {
        if (!std::isprint(static_cast<unsigned char>(c))) {
            c = ' ';
        }
    }
    return tidy;
}

// Packs 8-bit bytes seven at a time: the seven bytes with bit 7 cleared, then one byte holding
// their bit 7s (bit k for the k-th byte). Groups run on across the blocks fed to it.
class SevenBitPacker {
public:
    explicit SevenBitPacker(uint8_t* out) : m_Out(out) {}

    void Add(const uint8_t* data, size_t length) {
        for (size_t i = 0; i < length; ++i) {
            AddByte(data[i]);
        }
    }

    // Pads the open group with zero bytes and closes it; returns the bytes written in all.
    size_t Finish() {
        while (m_InGroup != 0) {
            AddByte(0);
        }
        return m_Written;
    }

private:
    void AddByte(uint8_t b) {
        m_Out[m_Written++] = b & 0x7F;
        if (b & 0x80) {
            m_HighBits |= static_cast<uint8_t>(1u << m_InGroup);
        }
        if (++m_InGroup == 7) {
            m_Out[m_Written++] = m_HighBits;
            m_HighBits = 0;
            m_InGroup = 0;
        }
    }

    uint8_t* m_Out;
    size_t m_Written = 0;
    uint8_t m_HighBits = 0;
    unsigned m_InGroup = 0;
};

}  // namespace

EX5Patch::EX5Patch(const std::string& name, uint32_t category)
    : m_Category(static_cast<uint8_t>(category)), m_PatchName(TidyName(name)) {
    const EX5Info info;
    m_CategoryCode = info.GetCategoryCode(m_Category);
    m_CategoryName = info.GetCategoryName(m_Category);
}

void EX5Patch::WriteName(FILE* file) const {
    WriteNameLine(file, GetPatchName());
}

const char* EX5Patch::GetPatchName() const {
    return m_PatchName.c_str();
}

const uint8_t* EX5Patch::BuildDump() {
    m_UsedElements = 0;
    std::copy(std::begin(kHeader), std::end(kHeader), m_Dump.begin());
    SevenBitPacker packer(m_Dump.data() + sizeof kHeader);
    packer.Add(m_Common.data(), m_Common.size());
    for (const auto& element : m_Elements) {
        if (element[0] != kUnusedElement) {
            packer.Add(element.data(), element.size());
            ++m_UsedElements;
        }
    }
    const size_t count = packer.Finish();
    m_Dump[kCountPosition] = static_cast<uint8_t>(count >> 7);
    m_Dump[kCountPosition + 1] = static_cast<uint8_t>(count & 0x7F);
    size_t end = sizeof kHeader + count;
    m_Dump[end] = EX5Parser().Checksum(&m_Dump[kCountPosition], end - kCountPosition);
    m_Dump[end + 1] = kEndOfExclusive;
    m_DumpLength = end + 2;
    return m_Dump.data();
}
