#pragma once

#include <cstdint>

class Patch;

// One bank of the instrument: a fixed number of slots, each empty or owning one patch.
class PatchBank {
public:
    static constexpr int32_t kSlotCount = 128;

    PatchBank();
    virtual ~PatchBank();
    PatchBank(const PatchBank&) = delete;
    PatchBank& operator=(const PatchBank&) = delete;

    Patch** m_Slots;
    int32_t m_Count;
};
