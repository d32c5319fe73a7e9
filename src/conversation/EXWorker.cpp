#include "conversation/EXWorker.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "conversation/EXParams.h"
#include "conversation/Midi.h"
#include "conversation/MidiFactory.h"
#include "conversation/TextSink.h"
#include "midi/MidiParams.h"
#include "platform/FileKind.h"
#include "platform/Sleep.h"
#include "platform/TimeStamp.h"
#include "voice/DriverInfo.h"
#include "voice/DriverRegistry.h"
#include "voice/EX5Patch.h"
#include "voice/EXException.h"

namespace {

constexpr const char* kModule = "EXWorker.cpp";
constexpr const char* kLogName = "Sonavist.log";

// Shows a text in the record's status sink, where the identification reports when it has no log.
// A text the sink fails to show is dropped: nothing escapes a job.
void ToStatus(EXParams& job) {
    if (!job.m_StatusWnd) {
        return;
    }
    try {
        job.m_StatusWnd->InsertText(job.m_MessageText);
    } catch (...) {
    }
}

void Report(EXParams& job, const EXException* error, bool statusWithoutLog) {
    if (!error) {
        job.Log("Unidentified error\r\n");
        return;
    }
    if (job.m_LogFile) {
        char line[2 * sizeof error->m_Message + 16];
        error->FormatLine(line, sizeof line);
        job.Log("%s", line);
    } else if (statusWithoutLog) {
        error->FormatLine(job.m_MessageText, sizeof job.m_MessageText);
        ToStatus(job);
    }
}

// Runs one step of a job, catching and reporting whatever it raises.
template <typename Step>
void Guarded(EXParams& job, bool statusWithoutLog, Step step) {
    try {
        EXException::Catch(step,
                           [&](const EXException* error) { Report(job, error, statusWithoutLog); });
    } catch (...) {
        Report(job, nullptr, statusWithoutLog);
    }
}

void OpenLog(EXParams& job, const char* mode, int line, char (&buffer)[4]) {
    // A named pipe in the log's place would hold the job until something reads it.
    job.m_LogFile = FileKind::MayBlockOnOpen(kLogName) ? nullptr : std::fopen(kLogName, mode);
    if (!job.m_LogFile) {
        EXException::Raise("Cannot open log file", kModule, line);
    }
    std::setvbuf(job.m_LogFile, buffer, _IOFBF, sizeof buffer);
}

void CloseLog(EXParams& job) {
    if (job.m_LogFile) {
        std::fclose(job.m_LogFile);
        job.m_LogFile = nullptr;
    }
}

// How a job's log begins.
struct LogStart {
    const char* mode;
    int line;  // of the error raised when the log cannot be opened
    const char* header;
};
constexpr LogStart kIdentifyLog = {"wb", 146, "Sonavist %s started at %s"};
constexpr LogStart kSendVoiceLog = {"ab", 60, "Sonavist %s sent voice patch at %s"};

// Makes the port pair, opens the log with its first line, then opens the ports.
void Begin(EXParams& job, const LogStart& start, char (&logBuffer)[4],
           std::unique_ptr<MidiParams>& ports) {
    ports = std::make_unique<MidiParams>();
    OpenLog(job, start.mode, start.line, logBuffer);
    char stamp[TimeStamp::kSize];
    TimeStamp::Now(stamp);
    job.Log(start.header, job.m_Version, stamp);
    ports->m_MidiIn.Open(job.m_MidiInDevice);
    ports->m_MidiOut.Open(job);
}

// Each port gets its own guard so that a failing input close still closes the output with the
// job's record.
void ClosePorts(EXParams& job, MidiParams* ports, bool statusWithoutLog) {
    if (!ports) {
        return;
    }
    Guarded(job, statusWithoutLog, [&] { ports->m_MidiIn.Close(job); });
    Guarded(job, statusWithoutLog, [&] { ports->m_MidiOut.Close(job); });
}

void Signal(TextSink* done) {
    if (done) {
        done->InsertText("Done");
    }
}

void LogParameters(EXParams& job, const DriverInfo& info) {
    char name[EXParams::kTextSize];
    MidiOutWin::GetDeviceName(job.m_MidiOutDevice, name, sizeof name);
    job.Log("Parameters: MIDI OUT=%s", name);
    MidiInWin::GetDeviceName(job.m_MidiInDevice, name, sizeof name);
    job.Log(", MIDI IN=%s", name);
    job.Log("\r\n");
    job.Log("Instrument=%s", info.GetName() ? info.GetName() : "");
    job.Log(", Device number=%u", job.m_DeviceNo);
    job.Log(", Delay=%u", job.m_Delay);
    job.Log(", Timeout=%u", job.m_Timeout);
    job.Log(", Retries=%u", job.m_Tries - 1);
    job.Log("\r\n");
}

// Asks on the record's device number, then on the all-call number; the family's conversation
// object when the instrument answered the first request.
std::unique_ptr<Midi> Identification(EXParams& job, MidiParams& ports, const DriverInfo& info) {
    Midi midi;
    bool firstTryAnswered = midi.RequestIdentity(job, ports, false) == 0;
    if (!firstTryAnswered) {
        job.m_DeviceNo = 127;
        midi.RequestIdentity(job, ports, true);
    }
    if (!midi.Identify(job, ports, firstTryAnswered)) {
        return nullptr;
    }
    return std::unique_ptr<Midi>(MidiFactory::CreateMidi(info));
}

}  // namespace

unsigned EXWorker::IdentifyThread(void* param) {
    EXParams& job = *static_cast<EXParams*>(param);
    char logBuffer[4];
    std::unique_ptr<MidiParams> ports;
    std::unique_ptr<Midi> conversation;
    Guarded(job, true, [&] {
        Begin(job, kIdentifyLog, logBuffer, ports);
        const DriverInfo* info =
            DriverRegistry::GetDriverInfo(static_cast<uint32_t>(job.m_DriverIndex));
        if (!info) {
            return;
        }
        LogParameters(job, *info);
        conversation = Identification(job, *ports, *info);
    });
    conversation.reset();
    ClosePorts(job, ports.get(), true);
    Guarded(job, true, [&] { Signal(job.m_IdentDoneWnd); });
    char stamp[TimeStamp::kSize];
    TimeStamp::Now(stamp);
    if (job.m_LogFile) {
        job.Log("Finished instrument ident %s", stamp);
        CloseLog(job);
    } else {
        std::snprintf(job.m_MessageText, sizeof job.m_MessageText,
                      "Finished instrument ident on %s", stamp);
        ToStatus(job);
    }
    return 0;
}

unsigned EXWorker::SendVoiceThread(void* param) {
    EXParams& job = *static_cast<EXParams*>(param);
    char logBuffer[4];
    std::unique_ptr<MidiParams> ports;
    unsigned exitCode = 0;
    Guarded(job, false, [&] {
        Begin(job, kSendVoiceLog, logBuffer, ports);
        Midi midi;
        if (midi.SendVoice(job, *ports) == 1) {
            exitCode = 1;
        }
    });
    // SendVoice destroys the patch it sends; this covers the paths that never reached it.
    delete std::exchange(job.m_Patch, nullptr);
    Sleep(job.m_MidiDelay);
    ClosePorts(job, ports.get(), false);
    Guarded(job, false, [&] { Signal(job.m_SendDoneWnd); });
    CloseLog(job);
    return exitCode;
}
