#pragma once

#include <cstdint>
#include <cstdio>

#include "midi/MidiDriver.h"

// The part of the job record (EXParams) that the ports read and write. It lives here so that
// the ports need nothing from the conversation layer above them.
class PortParams {
public:
    virtual ~PortParams() = default;

    // Appends printf-formatted text to the job log when one is open.
    void Log(const char* format, ...) const __attribute__((format(printf, 2, 3)));

    int32_t m_MidiOutDevice = -1;
    uint32_t m_Delay = 0;
    uint32_t m_Tries = 0;
    FILE* m_LogFile = nullptr;
    MidiHandle m_MidiOutHandle = 0;
};
