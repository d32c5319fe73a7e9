#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "FuzzCheck.h"
#include "conversation/EXParams.h"
#include "conversation/Midi.h"
#include "midi/MidiParams.h"
#include "support/InlineMidiDriver.h"
#include "voice/EXException.h"

// Whatever comes back for the Identity Request, the identification must recognise it, refuse it
// with its error, or report that nothing answered, reading no byte beyond what arrived.
// Input: an options byte (bit 0 detail logging, bit 1 take the answering device number), then
// the bytes the instrument sends back, as they come.

namespace {

FILE* Log() {
    static FILE* const log = std::fopen("/dev/null", "w");
    return log;
}

bool KnownResult(const char* text) {
    for (const char* known : {"EX5", "EX7", "EX5R", "Yamaha Other", "Nothing known found."}) {
        if (std::strcmp(text, known) == 0) {
            return true;
        }
    }
    return false;
}

void Identify(EXParams& job, MidiParams& ports, bool takeDeviceNo) {
    Midi midi;
    const int answered = midi.RequestIdentity(job, ports, takeDeviceNo);
    Check(answered == 0 || answered == -1);
    Check((answered == 0) == (ports.m_Manufacturer >= 0));
    Check(job.m_DeviceNo <= 0x7F);
    midi.Identify(job, ports, answered == 0);
    Check(answered == 0 ? KnownResult(job.m_InstrumentText)
                        : std::strcmp(job.m_InstrumentText, "No reply to ID request.") == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    InlineMidiDriver::Installed().SetAnswer(std::vector<uint8_t>(data + 1, data + size));
    EXParams job;
    job.m_Verbose = data[0] & 1;
    job.m_LogFile = Log();
    job.m_MidiInDevice = 0;
    job.m_MidiOutDevice = 0;
    job.m_DeviceNo = 1;
    job.m_Tries = 2;
    MidiParams ports;
    EXException::Catch(
        [&] {
            ports.m_MidiIn.Open(job.m_MidiInDevice);
            ports.m_MidiOut.Open(job);
            Identify(job, ports, data[0] & 2);
        },
        [](const EXException* error) {
            Check(error && std::strcmp(error->m_Message, "Cannot translate the reply.") == 0);
        });
    ports.m_MidiIn.Close(job);
    ports.m_MidiOut.Close(job);
    return 0;
}
