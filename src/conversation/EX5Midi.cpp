#include "conversation/EX5Midi.h"

EX5Midi::EX5Midi() : m_Banks(nullptr), m_BankSize(0) {
    m_Banks = new PatchBank[kBankCount];
    m_BankSize = PatchBank::kSlotCount;
}

EX5Midi::~EX5Midi() {
    delete[] m_Banks;
}
