#include "conversation/PatchBank.h"

#include "voice/Patch.h"

PatchBank::PatchBank() : m_Slots(new Patch*[kSlotCount]()), m_Count(kSlotCount) {}

PatchBank::~PatchBank() {
    for (int32_t i = 0; i < m_Count; ++i) {
        delete m_Slots[i];
    }
    delete[] m_Slots;
}
