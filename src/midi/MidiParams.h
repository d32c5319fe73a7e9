#pragma once

#include <cstdint>

#include "midi/MidiInWin.h"
#include "midi/MidiOutWin.h"

// The input and output port of one job or audition, with the identity the instrument reported.
class MidiParams {
public:
    MidiParams() = default;
    virtual ~MidiParams() = default;  // m_MidiOut goes first, then m_MidiIn

    int32_t m_Manufacturer = -1;
    int32_t m_Family = 0;
    int32_t m_Member = 0;
    int32_t m_Revision1 = 0;
    int32_t m_Revision2 = 0;
    MidiInWin m_MidiIn;
    MidiOutWin m_MidiOut;
};
