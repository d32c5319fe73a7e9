#include "midi/MidiOutWin.h"

#include "midi/MidiOutQueue.h"
#include "midi/MidiSystem.h"
#include "midi/PortParams.h"
#include "midi/PortSteps.h"
#include "voice/EXException.h"

namespace {

constexpr const char* kModule = "MidiOutWin.cpp";
const DeviceList kOutputs{&MidiDriver::OutCount, &MidiDriver::OutName, kModule,
                          "Invalid MIDI out device number"};

}  // namespace

MidiOutWin::MidiOutWin() {
    if (m_Buffer.GetCapacity() < SysexMessage::kDefaultCapacity) {
        EXException::Raise("Out of memory", kModule, __LINE__);
    }
}

MidiOutWin::~MidiOutWin() {
    if (m_IsOpen && !CloseWithoutJob([this](PortParams& job) { Close(job); })) {
        // The message would not leave in time: closing makes the driver let go of the buffer.
        // A destructor has no one to tell of a failure.
        static_cast<void>(MidiSystem::Driver().OutClose(m_Handle));
    }
}

int MidiOutWin::GetDeviceName(int32_t deviceIndex, char* lpszDeviceName, uint32_t length) {
    return ::GetDeviceName(kOutputs, deviceIndex, lpszDeviceName, length);
}

MidiResult MidiOutWin::Open(PortParams& job) {
    if (m_IsOpen) {
        return kMidiOk;
    }
    m_Handle = 0;
    const MidiResult result =
        MidiSystem::Driver().OutOpen(static_cast<uint32_t>(job.m_MidiOutDevice), m_Handle);
    m_IsOpen = result == kMidiOk;
    return result;
}

int MidiOutWin::SendShort(PortParams& /*job*/, uint8_t status, uint8_t data1, uint8_t data2) {
    const uint32_t packed = status | uint32_t{data1} << 8 | uint32_t{data2} << 16;
    const MidiResult result = MidiSystem::Driver().OutShortMsg(m_Handle, packed);
    if (result != kMidiOk) {
        EXException::RaiseCode("Error 0x%X sending MIDI message", result, kModule, __LINE__);
    }
    ++m_SentCount;
    return 0;
}

int MidiOutWin::SendLong(PortParams& job, const uint8_t* data, int32_t length) {
    WaitAndUnprepare(job);
    if (m_Buffer.SetData(data, length) != 0) {
        EXException::Raise("MIDI message longer than the send buffer", kModule, __LINE__);
    }
    MidiDriver& driver = MidiSystem::Driver();
    MidiResult result = driver.OutPrepare(m_Handle, m_Buffer.GetHeader());
    if (result != kMidiOk) {
        EXException::RaiseCode("Error 0x%X preparing MIDI out header", result, kModule, __LINE__);
    }
    result = driver.OutLongMsg(m_Handle, m_Buffer.GetHeader());
    if (result != kMidiOk) {
        EXException::RaiseCode("Error 0x%X sending MIDI message", result, kModule, __LINE__);
    }
    m_LeavesBy = MidiOutQueue::Clock::now() + MidiOutQueue::WireTime(static_cast<size_t>(length));
    ++m_SentCount;
    return 0;
}

void MidiOutWin::Close(PortParams& job) {
    if (!m_IsOpen) {
        return;
    }
    WaitAndUnprepare(job);
    // The output port has no close error: the buffer is back, and a device that will not close
    // leaves nothing for the job to do.
    static_cast<void>(MidiSystem::Driver().OutClose(m_Handle));
    m_IsOpen = false;
}

void MidiOutWin::WaitAndUnprepare(PortParams& job) {
    const MidiResult result =
        WaitForUnprepare(job, "Waiting for MIDI Out.", &MidiDriver::OutUnprepare, m_Handle,
                         m_Buffer.GetHeader(), m_LeavesBy);
    if (result != kMidiOk) {
        EXException::RaiseCode("Error 0x%X unpreparing MIDI out header", result, kModule, __LINE__);
    }
    m_Buffer.Clear();
}
