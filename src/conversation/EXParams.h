#pragma once

#include <cstdint>

#include "midi/PortParams.h"

class EX5Patch;
class TextSink;

// The job record that the dialog, the worker threads and the audition share. The fields the
// ports use (device, handle, delay, tries, log) come from PortParams.
class EXParams : public PortParams {
public:
    static constexpr unsigned kTextSize = 260;

    EXParams();
    ~EXParams() override = default;

    int32_t m_Verbose = 0;
    TextSink* m_StatusWnd = nullptr;
    TextSink* m_IdentDoneWnd = nullptr;
    TextSink* m_SendDoneWnd = nullptr;
    int32_t m_DriverIndex = -1;
    int32_t m_MidiInDevice = -1;
    uint32_t m_DeviceNo = 0;
    uint32_t m_MidiDelay = 0;
    uint32_t m_Timeout = 0;
    char m_Version[kTextSize] = {};
    char m_InstrumentText[kTextSize] = {};
    char m_MessageText[kTextSize] = {};
    EX5Patch* m_Patch = nullptr;
    // The job's outcome, complete when its completion is signalled: the job function's result
    // and the first error line it met (without the line end, empty when none); m_LogError says
    // why the log could not be written.
    unsigned m_Result = 0;
    char m_ErrorLine[kTextSize] = {};
};
