#pragma once

#include <cstdint>
#include <cstdio>

#include "midi/MidiDriver.h"

// The part of the job record (EXParams) that the ports read and write. It lives here so that
// the ports need nothing from the conversation layer above them.
class PortParams {
public:
    virtual ~PortParams() = default;

    // Appends printf-formatted text to the job log when one is open; a failed write is noted in
    // m_LogError.
    void Log(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    // Notes errno as the log's failure unless an earlier one is noted.
    void NoteLogError() const;

    int32_t m_MidiOutDevice = -1;
    uint32_t m_Delay = 0;
    uint32_t m_Tries = 0;
    FILE* m_LogFile = nullptr;
    // The system's error number of the first failure to open or write the log; 0 when none.
    mutable int m_LogError = 0;
};
