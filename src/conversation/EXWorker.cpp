#include "conversation/EXWorker.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "conversation/EXParams.h"
#include "conversation/Midi.h"
#include "conversation/MidiFactory.h"
#include "conversation/TextSink.h"
#include "midi/MidiParams.h"
#include "platform/Sleep.h"
#include "platform/TimeStamp.h"
#include "voice/DriverInfo.h"
#include "voice/DriverRegistry.h"
#include "voice/EX5Patch.h"
#include "voice/EXException.h"

namespace {

constexpr const char* kModule = "EXWorker.cpp";
constexpr const char* kLogName = "Sonavist.log";

// How a job's log begins.
struct LogStart {
    int flags;  // of open(2): the identification starts the log afresh, a send appends
    const char* mode;
    int line;  // of the error raised when the log cannot be opened
    const char* header;
};
constexpr LogStart kIdentifyLog = {O_TRUNC, "wb", 146, "Sonavist %s started at %s"};
constexpr LogStart kSendVoiceLog = {O_APPEND, "ab", 60, "Sonavist %s sent voice patch at %s"};

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

// Keeps the job's first error line, without its line end, for its completion.
void KeepFirst(EXParams& job, const char* line) {
    if (job.m_ErrorLine[0] == '\0') {
        std::snprintf(job.m_ErrorLine, sizeof job.m_ErrorLine, "%.*s",
                      static_cast<int>(std::strcspn(line, "\r\n")), line);
    }
}

void Report(EXParams& job, const EXException* error, bool statusWithoutLog) {
    if (!error) {
        KeepFirst(job, "Unidentified error");
        job.Log("Unidentified error\r\n");
        return;
    }
    char line[2 * sizeof error->m_Message + 16];
    error->FormatLine(line, sizeof line);
    KeepFirst(job, line);
    if (job.m_LogFile) {
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

// Opens without waiting: a named pipe in the log's place that nothing reads would hold the job
// for good, and fails instead with the system's reason.
FILE* OpenWithoutWaiting(int flags, const char* mode) {
    const int fd = open(kLogName, flags | O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        return nullptr;
    }
    FILE* file =
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0 ? fdopen(fd, mode) : nullptr;
    if (!file) {
        close(fd);
    }
    return file;
}

void OpenLog(EXParams& job, const LogStart& start, char (&buffer)[4]) {
    job.m_LogFile = OpenWithoutWaiting(start.flags, start.mode);
    if (!job.m_LogFile) {
        job.NoteLogError();
        EXException::Raise("Cannot open log file", kModule, start.line);
    }
    std::setvbuf(job.m_LogFile, buffer, _IOFBF, sizeof buffer);
}

void CloseLog(EXParams& job) {
    if (job.m_LogFile) {
        std::fclose(job.m_LogFile);
        job.m_LogFile = nullptr;
    }
}

// Makes the port pair, opens the log with its first line, then opens the ports.
void Begin(EXParams& job, const LogStart& start, char (&logBuffer)[4],
           std::unique_ptr<MidiParams>& ports) {
    ports = std::make_unique<MidiParams>();
    OpenLog(job, start, logBuffer);
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

// Completes the job's outcome, then hands it to the completion sink.
void Signal(EXParams& job, unsigned result, TextSink* done) {
    job.m_Result = result;
    if (job.m_LogFile && std::fflush(job.m_LogFile) != 0) {
        job.NoteLogError();
    }
    if (done) {
        done->InsertText("Done");
    }
}

void ClearOutcome(EXParams& job) {
    job.m_Result = 0;
    job.m_ErrorLine[0] = '\0';
    job.m_LogError = 0;
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
    ClearOutcome(job);
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
    Guarded(job, true, [&] { Signal(job, 0, job.m_IdentDoneWnd); });
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
    ClearOutcome(job);
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
    Guarded(job, false, [&] { Signal(job, exitCode, job.m_SendDoneWnd); });
    CloseLog(job);
    return exitCode;
}
