#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "conversation/TextSink.h"
#include "platform/Event.h"
#include "platform/Settings.h"

class EX5Patch;
class EXParams;

// Starts the identification and the voice send as the dialog's ID button and voice double-click
// do: fills the job record from the settings, then runs the job on a worker thread of its own.
// The dialog and the command-line tool share it.
//
// Threads. Every operation is called from one controlling thread (the dialog's, or the tool's
// main thread). The completion sinks given here are called on the worker thread with "Done";
// the job waits until InsertText returns, and the record is the worker's until then, so a sink
// may read the record's results (m_InstrumentText) and the job's outcome (m_Result,
// m_ErrorLine, m_LogError) while it handles the text.
//
// One job at a time. A launch is refused while a job runs, that is until it has reached its
// completion; a launch after that waits, at most kLastLinesMs, for the worker to write its last
// log lines and end, which needs no other thread once the completion sink has returned. Never
// launch or wait for a job (WaitFor, destruction) on the thread that handles its completion sink
// before the sink has returned: the job would wait for that thread and that thread for the job.
class JobLauncher {
public:
    static constexpr uint32_t kTimeout = 2000;
    static constexpr uint32_t kTries = 4;
    // Generous: closing the log takes no time worth showing, but the machine may be busy.
    static constexpr uint32_t kLastLinesMs = 2000;

    // The record and the sinks outlive the launcher.
    JobLauncher(EXParams& record, TextSink* identDone, TextSink* sendDone);
    ~JobLauncher();  // waits for a running job to end
    JobLauncher(const JobLauncher&) = delete;
    JobLauncher& operator=(const JobLauncher&) = delete;

    // The reply time-out and the tries of every later job; fixed for the dialog and the tool,
    // tests shorten them.
    void SetTiming(uint32_t timeout, uint32_t tries);

    // False when refused. A worker thread that cannot be made throws std::system_error, with
    // the record as before and the patch destroyed.
    bool LaunchIdentify(const Settings& settings);
    // Takes the patch in every case; a refused patch is destroyed.
    bool LaunchSendVoice(const Settings& settings, std::unique_ptr<EX5Patch> patch);

    // True from a launch until the worker has ended (also while it writes its last log lines).
    bool IsBusy() const;
    // True when no job runs, after waiting at most the given milliseconds for it to end.
    bool WaitFor(uint32_t milliseconds);
    // Posts the cancellation message to the running job; it ends at its next request.
    void Cancel();

private:
    // Notes that the job has reached its completion, then passes the completion on. A launch
    // that follows the sink's handling must find the note, so it is made first.
    class Relay : public TextSink {
    public:
        Relay(TextSink* target, std::atomic<bool>& signalled);
        void InsertText(const char* text) override;

    private:
        TextSink* m_Target;
        std::atomic<bool>& m_Signalled;
    };

    bool MakeRoom();
    void Fill(const Settings& settings);
    void Start(unsigned (*job)(void*));

    EXParams& m_Record;
    uint32_t m_Timeout = kTimeout;
    uint32_t m_Tries = kTries;
    std::atomic<bool> m_Signalled{false};
    Relay m_IdentRelay;
    Relay m_SendRelay;
    mutable Event m_Ended;
    std::thread m_Worker;
};
