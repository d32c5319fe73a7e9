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

    // Appends printf-formatted text to the job log when one is open; a failed write is noted in
    // m_LogError.
    void Log(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    // Notes errno as the log's failure unless an earlier one is noted.
    void NoteLogError() const;

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
    // The job's outcome, complete when its completion is signalled: the job function's result,
    // the first error line it met (without the line end, empty when none) and the system's error
    // number of the first failure to open or write the log (0 when none).
    unsigned m_Result = 0;
    char m_ErrorLine[kTextSize] = {};
    mutable int m_LogError = 0;
};
