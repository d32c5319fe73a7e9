#pragma once

#include <chrono>
#include <cstdint>

#include "midi/MidiDriver.h"
#include "midi/SysexMessage.h"

class PortParams;

// One MIDI output device for the length of a job or an audition. Errors are raised as
// EXException pointers from module "MidiOutWin.cpp".
class MidiOutWin {
public:
    MidiOutWin();
    virtual ~MidiOutWin();
    MidiOutWin(const MidiOutWin&) = delete;
    MidiOutWin& operator=(const MidiOutWin&) = delete;

    static int GetDeviceName(int32_t deviceIndex, char* lpszDeviceName, uint32_t length);

    // The driver's result; raises nothing.
    MidiResult Open(PortParams& job);
    int SendShort(PortParams& job, uint8_t status, uint8_t data1, uint8_t data2);
    int SendLong(PortParams& job, const uint8_t* data, int32_t length);
    void Close(PortParams& job);
    int32_t GetSentCount() const { return m_SentCount; }
    bool IsOpen() const { return m_IsOpen; }

private:
    void WaitAndUnprepare(PortParams& job);

    int32_t m_SentCount = 0;
    SysexMessage m_Buffer;
    bool m_IsOpen = false;
    // Set by Open, also when it fails, so that the next send reports the driver's error for it.
    // Kept here rather than in the job record: a port destroyed while open still closes its
    // device when the record is gone.
    MidiHandle m_Handle = 0;
    // When the last long message's bytes have left the cable at the latest.
    std::chrono::steady_clock::time_point m_LeavesBy;
};
