#pragma once

#include <cstdint>

#include "conversation/Midi.h"
#include "conversation/PatchBank.h"
#include "voice/EX5Info.h"

// The conversation object of the EX5 family: the plain conversation, the family's descriptor and
// one bank of empty slots per bank the descriptor names.
class EX5Midi : public Midi {
public:
    static constexpr int32_t kBankCount = 5;

    EX5Midi();
    ~EX5Midi() override;
    EX5Midi(const EX5Midi&) = delete;
    EX5Midi& operator=(const EX5Midi&) = delete;

    PatchBank* m_Banks;
    int32_t m_BankSize;
    EX5Info m_Info;
};
