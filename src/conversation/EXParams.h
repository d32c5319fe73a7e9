#pragma once

#include <cstdint>
#include <cstdio>

#include "midi/MidiDriver.h"

class EX5Patch;
class TextSink;

// The job record that the dialog, the worker threads and the audition share.
class EXParams {
public:
    static constexpr unsigned kTextSize = 260;

    EXParams();
    virtual ~EXParams() = default;

    // Appends printf-formatted text to the job log when one is open.
    void Log(const char* format, ...) const __attribute__((format(printf, 2, 3)));

    int32_t m_Verbose = 0;
    TextSink* m_StatusWnd = nullptr;
    TextSink* m_IdentDoneWnd = nullptr;
    TextSink* m_SendDoneWnd = nullptr;
    int32_t m_DriverIndex = -1;
    int32_t m_MidiInDevice = -1;
    int32_t m_MidiOutDevice = -1;
    uint32_t m_DeviceNo = 0;
    uint32_t m_Delay = 0;
    uint32_t m_MidiDelay = 0;
    uint32_t m_Timeout = 0;
    uint32_t m_Tries = 0;
    char m_Version[kTextSize] = {};
    char m_InstrumentText[kTextSize] = {};
    char m_MessageText[kTextSize] = {};
    FILE* m_LogFile = nullptr;
    EX5Patch* m_Patch = nullptr;
    MidiHandle m_MidiOutHandle = 0;
};
